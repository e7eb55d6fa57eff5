// The job editor's and the job commands' decisions, without any window.
#include "jobs/job_editing.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <cstring>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;
using test::WriteBytes;

std::string FileUri(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  std::string result = uri;
  g_free(uri);
  return result;
}

// ---- Typed entries -----------------------------------------------------------------------------

TEST(TypedEntryTest, TrimsOnlySpacesAtBothEnds) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces(""), "");
  EXPECT_EQ(TrimSpaces("\tx\t"), "\tx\t");
  EXPECT_EQ(TrimSpaces("　全角　"), "　全角　");
}

TEST(TypedEntryTest, URLOfSpacesIsRefusedBeforeAnEmptyTitle) {
  TypedEntry typed = CheckTypedEntry("", "    ");
  EXPECT_FALSE(typed.accepted());
  EXPECT_STREQ(typed.refusal, kNoURLMessage);
}

TEST(TypedEntryTest, TitleOfSpacesIsRefused) {
  TypedEntry typed = CheckTypedEntry("  ", "http://a/");
  EXPECT_STREQ(typed.refusal, kNoTitleMessage);
}

TEST(TypedEntryTest, AcceptedEntryIsTrimmed) {
  TypedEntry typed = CheckTypedEntry(" ニュース ", " http://news.example/ ");
  ASSERT_TRUE(typed.accepted());
  EXPECT_EQ(typed.entry, (JobEntry{"ニュース", "http://news.example/"}));
}

// ---- Titles ------------------------------------------------------------------------------------

TEST(TitleFromFileNameTest, FirstAndLastDot) {
  struct Row {
    const char* name;
    const char* first;
    const char* last;
  } rows[] = {
      {"www.example.com.url", "www", "www.example.com"},
      {"Alpha.url", "Alpha", "Alpha"},
      {"NoDot", "NoDot", "NoDot"},
      {".url", "", ""},
      {"日本語.ページ.URL", "日本語", "日本語.ページ"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(TitleBeforeFirstDot(r.name), r.first);
    EXPECT_EQ(TitleBeforeLastDot(r.name), r.last);
  }
}

// ---- Drops -------------------------------------------------------------------------------------

TEST(DropTest, LinkInUriListIsTitleAndURL) {
  auto d = DropFromUriList("http://example.com/a?b=1\r\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(*d, (DroppedEntry{"http://example.com/a?b=1", "http://example.com/a?b=1"}));
}

TEST(DropTest, FileInUriListGivesNameBeforeFirstDotAndShortcutURL) {
  TempDir dir;
  const std::string path = dir.file("news.example.com.url");
  WriteBytes(path, "[InternetShortcut]\r\nURL=http://news.example.com/\r\n");
  auto d = DropFromUriList("# comment\r\n" + FileUri(path) + "\r\n" + FileUri(dir.file("x.url")) +
                           "\r\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(*d, (DroppedEntry{"news", "http://news.example.com/"}));
}

TEST(DropTest, FileIsPreferredOverALinkBeforeIt) {
  TempDir dir;
  const std::string path = dir.file("Beta.url");
  WriteBytes(path, "[InternetShortcut]\nURL=http://beta/\n");
  auto d = DropFromUriList("http://link/\r\n" + FileUri(path) + "\r\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->title, "Beta");
  EXPECT_EQ(d->url, "http://beta/");
}

TEST(DropTest, FileThatIsNoShortcutGivesAnEmptyURL) {
  TempDir dir;
  const std::string path = dir.file("notes.txt");
  WriteBytes(path, "hello\n");
  auto d = DropFromUriList(FileUri(path));
  ASSERT_TRUE(d);
  EXPECT_EQ(*d, (DroppedEntry{"notes", ""}));
}

TEST(DropTest, EmptyDropsGiveNothing) {
  EXPECT_FALSE(DropFromUriList(""));
  EXPECT_FALSE(DropFromUriList("# only a comment\r\n"));
  EXPECT_FALSE(DropFromText(""));
  auto d = DropFromText("http://t/");
  ASSERT_TRUE(d);
  EXPECT_EQ(*d, (DroppedEntry{"http://t/", "http://t/"}));
}

// ---- Renaming ----------------------------------------------------------------------------------

TEST(RenameCheckTest, Table) {
  const std::vector<std::string> names = {"A", "B", "C"};
  struct Row {
    const char* label;
    int index;
    std::string answer;
    bool file_exists;
    RenameCheck expected;
  } rows[] = {
      {"empty answer", 1, "", false, RenameCheck::Unchanged},
      {"same name", 1, "B", true, RenameCheck::Unchanged},
      {"colon", 1, "B:2", false, RenameCheck::InvalidName},
      {"line break", 1, "B\n2", false, RenameCheck::InvalidName},
      {"another listed job", 1, "C", false, RenameCheck::NameTaken},
      {"an unlisted job file", 1, "D", true, RenameCheck::NameTaken},
      {"new name", 1, "D", false, RenameCheck::Accepted},
      {"case differs", 1, "c", false, RenameCheck::Accepted},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    EXPECT_EQ(CheckRename(names, r.index, r.answer, r.file_exists), r.expected);
  }
}

// ---- Saving ------------------------------------------------------------------------------------

// The editor saving again and again while another window adds 400 pages to the same job: the
// two writers read, change and write one real file at once, and not one page may be lost.
TEST(EditorSaveTest, AddsRacingTheEditorsSavesAreAllKept) {
  TempDir home;
  std::vector<JobEntry> job;
  for (int i = 0; i < 3000; ++i)
    job.push_back({"Entry " + std::to_string(i), "http://e/" + std::to_string(i)});
  ASSERT_TRUE(WriteJobFile(home.path(), "Big", job));
  constexpr int kPages = 400;
  std::atomic<bool> adding{true};
  std::vector<std::string> errors;
  std::thread adder([&] {
    for (int i = 0; i < kPages; ++i) {
      std::string error;
      if (!AppendEntryToJob(home.path(), "Big", {"Page", "http://p/" + std::to_string(i)}, &error))
        errors.push_back(error);
    }
    adding = false;
  });
  std::vector<JobEntry> shown = job;  // what the editor shows, and read or wrote last
  int saves = 0;
  while (adding || saves == 0) {
    std::vector<JobEntry> added;
    std::string error;
    ASSERT_TRUE(SaveEditedJob(home.path(), "Big", shown, shown, &added, &error)) << error;
    shown.insert(shown.end(), added.begin(), added.end());
    ++saves;
  }
  adder.join();
  EXPECT_TRUE(errors.empty()) << errors.front();
  std::set<std::string> pages;
  const std::optional<Job> saved = ReadJobFile(home.path(), "Big");
  ASSERT_TRUE(saved);
  for (const JobEntry& entry : saved->entries)
    if (entry.Title == "Page") pages.insert(entry.URL);
  EXPECT_EQ(pages.size(), static_cast<size_t>(kPages)) << "after " << saves << " saves";
}

// ---- Import ------------------------------------------------------------------------------------

TEST(ImportNameTest, RootAndLineBreaksAreRefused) {
  EXPECT_EQ(CheckImportName(""), ImportNameCheck::RootFolder);
  EXPECT_EQ(CheckImportName("a\nb"), ImportNameCheck::InvalidName);
  EXPECT_EQ(CheckImportName("a\rb"), ImportNameCheck::InvalidName);
  EXPECT_EQ(CheckImportName("Links; old, new"), ImportNameCheck::Accepted);
}

TEST(ImportReadingTest, ExtensionIgnoresCase) {
  EXPECT_TRUE(HasShortcutExtension("a.url"));
  EXPECT_TRUE(HasShortcutExtension("a.URL"));
  EXPECT_TRUE(HasShortcutExtension(".Url"));
  EXPECT_FALSE(HasShortcutExtension("url"));
  EXPECT_FALSE(HasShortcutExtension("a.url.txt"));
  EXPECT_FALSE(HasShortcutExtension("a.urls"));
}

TEST(ImportReadingTest, FirstLineHoldingTheKeyAnywhereWins) {
  // No header needed, any case, and a base-URL key that comes first matches too.
  EXPECT_EQ(ImportedURL("url=http://lower/\r\n"), "http://lower/");
  EXPECT_EQ(
      ImportedURL("[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://u/\r\n"),
      "http://base/");
  EXPECT_EQ(ImportedURL("x\nURL= keep spaces \n"), " keep spaces ");
  EXPECT_EQ(ImportedURL("Url=a=b URL=c\n"), "a=b URL=c");
  EXPECT_EQ(ImportedURL("ＵＲＬ=full width\n"), std::nullopt);
  EXPECT_EQ(ImportedURL("[InternetShortcut]\nIconFile=x\n"), std::nullopt);
  EXPECT_EQ(ImportedURL("URL=\n"), "");
}

TEST(ImportReadingTest, ShiftJISFileIsDecoded) {
  TempDir dir;
  // "URL=http://例/" with 例 in code page 932 (0x97 0xE1).
  WriteBytes(dir.file("Sjis.url"), std::string("URL=http://\x97\xe1/\r\n"));
  auto entries = CollectFavoriteEntries(dir.path());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], (JobEntry{"Sjis", "http://例/"}));
}

TEST(ImportReadingTest, CollectsShortcutsOnlyAndKeepsNamesBeforeTheLastDot) {
  TempDir dir;
  WriteBytes(dir.file("Alpha.url"), "[InternetShortcut]\r\nURL=http://alpha/\r\n");
  WriteBytes(dir.file("www.beta.com.URL"), "url=http://beta/\n");
  WriteBytes(dir.file("notes.txt"), "URL=http://notes/\n");
  WriteBytes(dir.file("empty.url"), "[InternetShortcut]\r\n");
  ASSERT_EQ(g_mkdir(dir.file("folder.url").c_str(), 0700), 0);
  WriteBytes(dir.file("folder.url") + "/Inner.url", "URL=http://inner/\n");
  auto entries = CollectFavoriteEntries(dir.path());
  std::sort(entries.begin(), entries.end(),
            [](const JobEntry& a, const JobEntry& b) { return a.Title < b.Title; });
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], (JobEntry{"Alpha", "http://alpha/"}));
  EXPECT_EQ(entries[1], (JobEntry{"www.beta.com", "http://beta/"}));
}

TEST(FavoritesImportOrder, FollowsFileNameCollation) {
  TempDir dir;
  // Created in an order that neither the names nor a hash order would give back by chance.
  for (const char* name : {"b.url", "10 news.url", "Apple.URL", "9 news.url", "a.url", "c.Url"})
    WriteBytes(dir.file(name), std::string("URL=http://") + name + "/\n");
  std::vector<std::string> titles;
  for (const JobEntry& e : CollectFavoriteEntries(dir.path())) titles.push_back(e.Title);
  // Numbers by their value, letters without regard to case, as file managers show them.
  std::vector<std::string> expected = {"9 news", "10 news", "a", "Apple", "b", "c"};
  std::sort(expected.begin(), expected.end(), [](const std::string& x, const std::string& y) {
    gchar* kx = g_utf8_collate_key_for_filename((x + ".url").c_str(), -1);
    gchar* ky = g_utf8_collate_key_for_filename((y + ".url").c_str(), -1);
    const bool less = std::strcmp(kx, ky) < 0;
    g_free(kx);
    g_free(ky);
    return less;
  });
  EXPECT_EQ(titles, expected);
  EXPECT_LT(std::find(titles.begin(), titles.end(), "9 news"),
            std::find(titles.begin(), titles.end(), "10 news"));
}

}  // namespace
}  // namespace tarvik
