#include "jobs/bookmarks.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "favorites/shortcut_file.h"
#include "jobs/shortcut_folder_export.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {

void PrintTo(const JobEntry& e, std::ostream* os) {
  *os << "{\"" << e.Title << "\", \"" << e.URL << "\"}";
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> Names(const std::vector<BookmarkJob>& jobs) {
  std::vector<std::string> names;
  for (const BookmarkJob& j : jobs) names.push_back(j.name);
  return names;
}

// Entries that a naive writer or reader would break: Japanese text, commas and quotes in titles,
// markup characters, and addresses with commas, fragments, percent escapes and ampersands.
std::vector<JobEntry> TrickyEntries() {
  return {
      {"ニュース速報 ― 今日の天気", "https://example.jp/ニュース?q=天気"},
      {"Smith, John \"Johnny\" <b>bold</b> & co", "https://example.com/a,b,c?x=1&y=2#frag"},
      {"100% done 'quoted'", "https://example.com/path%20with%2Cescapes#top"},
      {"&amp; stays literal", "http://example.org/?q=a%26b&r=\"quoted\""},
      {"a", "javascript:alert('x, y')"},
  };
}

// ---- Names -------------------------------------------------------------------------------------

TEST(BookmarkJobNames, InvalidCharactersBecomeFullWidthAndBreaksSpaces) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  };
  const Row rows[] = {
      {"plain", "News", "News"},
      {"all eleven", "a\\b/c:d;e,f*g?h\"i<j>k|l", "a＼b／c：d；e，f＊g？h＂i＜j＞k｜l"},
      {"line breaks", "Tech\r\nNews\tDaily", "Tech  News Daily"},
      {"ends trimmed", "  \n Folder \r ", "Folder"},
      {"japanese kept", "お気に入り：仕事", "お気に入り：仕事"},
      {"empty", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string name = ValidJobNameFrom(r.in);
    EXPECT_EQ(name, r.out);
    EXPECT_TRUE(IsValidJobName(name));
  }
}

TEST(BookmarkJobNames, LongNamesAreCutAtACharacterBoundary) {
  std::string long_name;
  for (int i = 0; i < 100; ++i) long_name += "あ";  // 300 bytes
  const std::string name = ValidJobNameFrom(long_name);
  EXPECT_LE(name.size(), kMaxImportedJobNameBytes);
  EXPECT_EQ(name.size() % 3, 0u);
  EXPECT_TRUE(g_utf8_validate(name.c_str(), static_cast<gssize>(name.size()), nullptr));

  // A numbered name is cut further, never past the limit.
  const std::string second = UnusedJobName(name, {name});
  EXPECT_LE(second.size(), kMaxImportedJobNameBytes);
  EXPECT_THAT(second, ::testing::EndsWith(" (2)"));
  EXPECT_TRUE(g_utf8_validate(second.c_str(), static_cast<gssize>(second.size()), nullptr));
}

TEST(BookmarkJobNames, UnusedNameCountsOnFromTwo) {
  EXPECT_EQ(UnusedJobName("News", {}), "News");
  EXPECT_EQ(UnusedJobName("News", {"news", "Other"}), "News");  // names are file names: case counts
  EXPECT_EQ(UnusedJobName("News", {"News"}), "News (2)");
  EXPECT_EQ(UnusedJobName("News", {"News", "News (2)", "News (3)"}), "News (4)");
}

TEST(BookmarkJobNames, FileJobNameIsTheBaseNameWithoutExtension) {
  EXPECT_EQ(BookmarksFileJobName("/home/u/bookmarks.html"), "bookmarks");
  EXPECT_EQ(BookmarksFileJobName("/home/u/my.bookmarks.2024.htm"), "my.bookmarks.2024");
  EXPECT_EQ(BookmarksFileJobName("/tmp/a:b.html"), "a：b");
  EXPECT_EQ(BookmarksFileJobName("/tmp/.hidden"), ".hidden");
}

// ---- Round trips -------------------------------------------------------------------------------

TEST(BookmarksRoundTrip, HtmlExportReadsBackAsTheSameJob) {
  test::TempDir dir;
  const std::string path = dir.file("export.html");
  const std::vector<JobEntry> entries = TrickyEntries();
  std::string error;
  ASSERT_TRUE(WriteBookmarksFile(path, "仕事のジョブ", entries, &error)) << error;

  auto jobs = ReadBookmarksFile(path, {}, {}, &error);
  ASSERT_TRUE(jobs.has_value()) << error;
  ASSERT_EQ(jobs->size(), 1u);
  EXPECT_EQ((*jobs)[0], (BookmarkJob{"仕事のジョブ", entries}));

  // The file is what the browsers' importers look for: UTF-8 without a byte-order mark, the
  // Netscape DOCTYPE first, the escaped address inside HREF.
  const std::string html = *ReadFileBytes(path);
  EXPECT_EQ(html.rfind("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n", 0), 0u);
  EXPECT_NE(html.find("charset=UTF-8"), std::string::npos);
  EXPECT_NE(html.find("<DT><H3>仕事のジョブ</H3>"), std::string::npos);
  EXPECT_NE(html.find("HREF=\"http://example.org/?q=a%26b&amp;r=&quot;quoted&quot;\""),
            std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;bold&lt;/b&gt; &amp; co</A>"), std::string::npos);
}

TEST(BookmarksRoundTrip, EmptyJobExportsAFileThatImportsAsNoJob) {
  EXPECT_THAT(ParseBookmarksHtml(FormatBookmarksHtml("Empty", {}), "file", {}), IsEmpty());
}

TEST(BookmarksRoundTrip, ShortcutFolderExportReadsBackInOrder) {
  test::TempDir dir;
  // Twelve entries, so that a name sort that did not pad ("10" before "2") would show.
  std::vector<JobEntry> entries = TrickyEntries();
  // The folder form changes , ; and " (see below).
  entries[1].Title = "Smith and John";
  entries[3].Title = "&amp stays literal";
  for (int i = 0; i < 7; ++i)
    entries.push_back({"ページ " + std::to_string(i), "https://example.com/p" + std::to_string(i)});
  const std::string folder = dir.file("job folder");
  std::string error;
  ASSERT_TRUE(ExportShortcutFolder(folder, entries, &error)) << error;

  EXPECT_EQ(ReadShortcutFolderInOrder(folder), entries);
  // Each file is a shortcut of the entry's address that the shortcut reader understands.
  EXPECT_EQ(ReadShortcutURL(folder + "/001 ニュース速報 ― 今日の天気.url"), entries[0].URL);
  EXPECT_EQ(ReadShortcutURL(folder + "/012 ページ 6.url"), entries[11].URL);
}

TEST(BookmarksRoundTrip, ShortcutFolderTitlesWithInvalidCharactersComeBackFullWidth) {
  test::TempDir dir;
  const std::vector<JobEntry> entries = {{"a, \"b\": c/d", "https://x.example/1,2#3%20"},
                                         {"", "https://x.example/untitled"}};
  ASSERT_TRUE(ExportShortcutFolder(dir.file("out"), entries));
  EXPECT_THAT(ReadShortcutFolderInOrder(dir.file("out")),
              ElementsAre(JobEntry{"a， ＂b＂： c／d", "https://x.example/1,2#3%20"},
                          JobEntry{"", "https://x.example/untitled"}));
}

TEST(BookmarksRoundTrip, FolderNotWrittenByTheExportKeepsItsTitles) {
  test::TempDir dir;
  ASSERT_TRUE(WriteShortcut(dir.file("2024 Olympics.url"), "https://olympics.example/"));
  ASSERT_TRUE(WriteShortcut(dir.file("News.url"), "https://news.example/"));
  EXPECT_THAT(ReadShortcutFolderInOrder(dir.path()),
              ElementsAre(JobEntry{"2024 Olympics", "https://olympics.example/"},
                          JobEntry{"News", "https://news.example/"}));
  // An exported folder with one favorite added by hand is no export any more.
  ASSERT_TRUE(ExportShortcutFolder(dir.file("job"), {{"A", "https://a.example/"}}));
  ASSERT_TRUE(WriteShortcut(dir.file("job/Added.url"), "https://added.example/"));
  EXPECT_THAT(ReadShortcutFolderInOrder(dir.file("job")),
              ElementsAre(JobEntry{"001 A", "https://a.example/"},
                          JobEntry{"Added", "https://added.example/"}));
  // Names that merely begin with numbers: one year alone, or positions out of order or with gaps.
  ASSERT_EQ(g_mkdir(dir.file("tax").c_str(), 0755), 0);
  ASSERT_EQ(g_mkdir(dir.file("gap").c_str(), 0755), 0);
  ASSERT_TRUE(WriteShortcut(dir.file("tax/2024 Tax.url"), "https://tax.example/"));
  EXPECT_THAT(ReadShortcutFolderInOrder(dir.file("tax")),
              ElementsAre(JobEntry{"2024 Tax", "https://tax.example/"}));
  ASSERT_TRUE(WriteShortcut(dir.file("gap/001 One.url"), "https://one.example/"));
  ASSERT_TRUE(WriteShortcut(dir.file("gap/003 Three.url"), "https://three.example/"));
  EXPECT_EQ(ReadShortcutFolderInOrder(dir.file("gap"))[1].Title, "003 Three");
  EXPECT_EQ(TitleWithoutPosition("0012 News"), "News");
  EXPECT_EQ(TitleWithoutPosition("12 News"), "12 News");
  EXPECT_EQ(TitleWithoutPosition("0012News"), "0012News");
}

TEST(BookmarksRoundTrip, ShortcutFileNamesArePaddedToTheEntryCount) {
  EXPECT_EQ(ShortcutFileNameAt(7, 5, "News"), "007 News.url");
  EXPECT_EQ(ShortcutFileNameAt(7, 999, "News"), "007 News.url");
  EXPECT_EQ(ShortcutFileNameAt(7, 1200, "News"), "0007 News.url");
  EXPECT_EQ(ShortcutFileNameAt(12345, 12345, "a|b"), "12345 a｜b.url");

  std::string long_title;
  for (int i = 0; i < 200; ++i) long_title += "長";  // 600 bytes
  const std::string name = ShortcutFileNameAt(1, 1, long_title);
  EXPECT_LE(name.size(), 200u);
  EXPECT_THAT(name, ::testing::EndsWith("長.url"));
  // Such a name is written, and reads back as its cut title.
  test::TempDir dir;
  ASSERT_TRUE(ExportShortcutFolder(dir.file("long"), {{long_title, "https://l.example/"}}));
  const auto back = ReadShortcutFolderInOrder(dir.file("long"));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].Title, name.substr(4, name.size() - 8));
}

TEST(BookmarksRoundTrip, ShortcutFolderExportRefusesAFolderHoldingShortcuts) {
  test::TempDir dir;
  const std::string folder = dir.file("favs");
  ASSERT_TRUE(ExportShortcutFolder(folder, {{"One", "https://one.example/"}}));
  std::string error;
  EXPECT_FALSE(ExportShortcutFolder(folder, {{"Two", "https://two.example/"}}, &error));
  EXPECT_THAT(error, ::testing::HasSubstr("既にお気に入りファイルがあります"));
  EXPECT_THAT(ReadShortcutFolderInOrder(folder),
              ElementsAre(JobEntry{"One", "https://one.example/"}));

  ASSERT_TRUE(WriteFileAtomically(dir.file("plain"), "x"));
  EXPECT_FALSE(ExportShortcutFolder(dir.file("plain"), {{"Two", "https://two.example/"}}, &error));
  EXPECT_THAT(error, ::testing::HasSubstr("フォルダではありません"));
}

// ---- Browsers' own exports ---------------------------------------------------------------------

// The shape Firefox writes: a toolbar folder with PERSONAL_TOOLBAR_FOLDER, dates and icons on
// every link, descriptions in <DD>, separators, links loose in the menu, nested folders, an empty
// "Other Bookmarks" and "place:" queries.
const char kFirefoxExport[] = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<meta http-equiv="Content-Security-Policy"
      content="default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'"></meta>
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>

<DL><p>
    <DT><H3 ADD_DATE="1700000000" LAST_MODIFIED="1700000100" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks Toolbar</H3>
    <DL><p>
        <DT><A HREF="https://www.mozilla.org/ja/firefox/" ADD_DATE="1700000001" LAST_MODIFIED="1700000002" ICON_URI="https://www.mozilla.org/favicon.ico" ICON="data:image/png;base64,iVBORw0KGgo=">Firefox &amp; 友達</A>
        <DD>Mozilla&#39;s &quot;browser&quot; page
        <DT><A HREF="place:sort=8&amp;maxResults=10" ADD_DATE="1700000003" LAST_MODIFIED="1700000004">Most Visited</A>
        <HR>
        <DT><H3 ADD_DATE="1700000010" LAST_MODIFIED="1700000011">Tech: News/Blogs</H3>
        <DL><p>
            <DT><A HREF="https://news.example.com/?a=1&amp;b=2" ADD_DATE="1700000012" LAST_MODIFIED="1700000013">News &lt;1&gt;</A>
            <DT><H3 ADD_DATE="1700000020" LAST_MODIFIED="1700000021">Deep</H3>
            <DL><p>
                <DT><A HREF="https://deep.example.com/" ADD_DATE="1700000022" LAST_MODIFIED="1700000023">Deep link</A>
            </DL><p>
            <DT><A HREF="https://news.example.com/after" ADD_DATE="1700000014" LAST_MODIFIED="1700000015">After the subfolder</A>
        </DL><p>
        <DT><H3 ADD_DATE="1700000030" LAST_MODIFIED="1700000031">Empty folder</H3>
        <DL><p>
        </DL><p>
    </DL><p>
    <HR>
    <DT><A HREF="https://support.mozilla.org/" ADD_DATE="1700000040" LAST_MODIFIED="1700000041" ICON_URI="https://support.mozilla.org/favicon.ico">Get Help</A>
    <DT><A HREF="https://www.mozilla.org/about/" ADD_DATE="1700000042" LAST_MODIFIED="1700000043"></A>
    <DT><H3 ADD_DATE="1700000050" LAST_MODIFIED="1700000051" UNFILED_BOOKMARKS_FOLDER="true">Other Bookmarks</H3>
    <DL><p>
    </DL><p>
    <DT><H3 ADD_DATE="1700000060" LAST_MODIFIED="1700000061">Deep</H3>
    <DL><p>
        <DT><A HREF="https://second-deep.example.com/" ADD_DATE="1700000062" LAST_MODIFIED="1700000063">Second "Deep"</A>
    </DL><p>
</DL>
)";

TEST(BookmarksImport, FirefoxExportGivesJobsInFileOrder) {
  std::vector<std::pair<size_t, size_t>> reports;
  const auto jobs =
      ParseBookmarksHtml(kFirefoxExport, "bookmarks", {"Tech： News／Blogs"},
                         [&](size_t done, size_t total) { reports.emplace_back(done, total); });
  ASSERT_THAT(Names(jobs), ElementsAre("Bookmarks Toolbar", "Tech： News／Blogs (2)", "Deep",
                                       "bookmarks", "Deep (2)"));
  EXPECT_THAT(jobs[0].entries,
              ElementsAre(JobEntry{"Firefox & 友達", "https://www.mozilla.org/ja/firefox/"}));
  EXPECT_THAT(jobs[1].entries,
              ElementsAre(JobEntry{"News <1>", "https://news.example.com/?a=1&b=2"},
                          JobEntry{"After the subfolder", "https://news.example.com/after"}));
  EXPECT_THAT(jobs[2].entries, ElementsAre(JobEntry{"Deep link", "https://deep.example.com/"}));
  // Loose links of the menu; a link without a title shows its address.
  EXPECT_THAT(jobs[3].entries, ElementsAre(JobEntry{"Get Help", "https://support.mozilla.org/"},
                                           JobEntry{"https://www.mozilla.org/about/",
                                                    "https://www.mozilla.org/about/"}));
  EXPECT_THAT(jobs[4].entries,
              ElementsAre(JobEntry{"Second \"Deep\"", "https://second-deep.example.com/"}));

  // Eight links with an address (the "place:" query among them) are counted and reported.
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.front(), std::make_pair(size_t{0}, size_t{8}));
  EXPECT_EQ(reports.back(), std::make_pair(size_t{8}, size_t{8}));
}

TEST(BookmarksImport, FirefoxExportFromAFileUsesTheFileNameForLooseLinks) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir.file("firefox-2024.html"), kFirefoxExport));
  std::string error;
  auto jobs = ReadBookmarksFile(dir.file("firefox-2024.html"), {"Deep"}, {}, &error);
  ASSERT_TRUE(jobs.has_value()) << error;
  EXPECT_THAT(Names(*jobs), ElementsAre("Bookmarks Toolbar", "Tech： News／Blogs", "Deep (2)",
                                        "firefox-2024", "Deep (3)"));
}

// Chromium (and Vivaldi) write a "Bookmarks bar" folder marked PERSONAL_TOOLBAR_FOLDER="true",
// with ICON data on links and "Other bookmarks" beside it.
const char kChromiumExport[] = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1699999999" LAST_MODIFIED="1700000000" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks bar</H3>
    <DL><p>
        <DT><A HREF="https://www.google.com/search?q=a,b&amp;hl=ja" ADD_DATE="1700000001" ICON="data:image/png;base64,AAAA">検索 &#x2014; Google</A>
        <DT><H3 ADD_DATE="1700000002" LAST_MODIFIED="1700000003">Work | Projects</H3>
        <DL><p>
            <DT><A HREF="https://tracker.example.com/issue/12#comment-3" ADD_DATE="1700000004">Issue #12 &ndash; &quot;crash&quot;</A>
        </DL><p>
        <DT><A HREF="https://www.example.com/%E3%81%82" ADD_DATE="1700000005">After the folder</A>
    </DL><p>
    <DT><H3 ADD_DATE="1700000006" LAST_MODIFIED="1700000007">Other bookmarks</H3>
    <DL><p>
        <DT><A HREF="https://other.example.com/" ADD_DATE="1700000008">Other</A>
    </DL><p>
</DL><p>
)";

TEST(BookmarksImport, ChromiumExportWithBookmarksBar) {
  const auto jobs = ParseBookmarksHtml(kChromiumExport, "bookmarks_12_7_26", {});
  ASSERT_THAT(Names(jobs), ElementsAre("Bookmarks bar", "Work ｜ Projects", "Other bookmarks"));
  EXPECT_THAT(jobs[0].entries,
              ElementsAre(JobEntry{"検索 — Google", "https://www.google.com/search?q=a,b&hl=ja"},
                          JobEntry{"After the folder", "https://www.example.com/%E3%81%82"}));
  EXPECT_THAT(jobs[1].entries,
              ElementsAre(JobEntry{"Issue #12 – \"crash\"",
                                   "https://tracker.example.com/issue/12#comment-3"}));
  EXPECT_THAT(jobs[2].entries, ElementsAre(JobEntry{"Other", "https://other.example.com/"}));
}

// GNOME Web writes a minimal file: no comment, no dates, each tag a folder, and its untagged
// bookmarks straight in the top list.
const char kGnomeWebExport[] = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<HTML>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<Title>Bookmarks</Title>
<H1>Bookmarks</H1>
<DL>
<DT><A HREF="https://wiki.gnome.org/Apps/Web">Web</A>
<DT><H3>Favorites</H3>
<DL><p>
<DT><A HREF="https://www.gnome.org/">GNOME &#8211; ホーム</A>
<DT><A HREF="https://planet.gnome.org/">Planet GNOME</A>
</DL><p>
<DT><A HREF="https://help.gnome.org/">Help</A>
</DL>
</HTML>
)";

TEST(BookmarksImport, GnomeWebMinimalExport) {
  const auto jobs = ParseBookmarksHtml(kGnomeWebExport, "epiphany", {});
  ASSERT_THAT(Names(jobs), ElementsAre("epiphany", "Favorites"));
  EXPECT_THAT(jobs[0].entries, ElementsAre(JobEntry{"Web", "https://wiki.gnome.org/Apps/Web"},
                                           JobEntry{"Help", "https://help.gnome.org/"}));
  EXPECT_THAT(jobs[1].entries, ElementsAre(JobEntry{"GNOME – ホーム", "https://www.gnome.org/"},
                                           JobEntry{"Planet GNOME", "https://planet.gnome.org/"}));
}

// ---- Damaged and odd files ---------------------------------------------------------------------

TEST(BookmarksImport, OddFolderNamesBecomeValidAndUnique) {
  const std::string html =
      "<DL><p><DT><H3>  </H3><DL><p><DT><A HREF='https://a.example/'>A</A></DL><p>"
      "<DT><H3>Line\nbreak; \"quoted\"</H3><DL><p><DT><A HREF='https://b.example/'>B</A></DL><p>"
      "<DT><H3>Line\nbreak; \"quoted\"</H3><DL><p><DT><A HREF='https://c.example/'>C</A></DL><p>"
      "</DL>";
  const auto jobs = ParseBookmarksHtml(html, "imported", {"imported"});
  EXPECT_THAT(Names(jobs), ElementsAre("imported (2)", "Line break； ＂quoted＂",
                                       "Line break； ＂quoted＂ (2)"));
  for (const BookmarkJob& job : jobs) EXPECT_TRUE(IsValidJobName(job.name)) << job.name;

  // Without a usable name for the loose links, they and the unnamed folder still get one.
  EXPECT_THAT(Names(ParseBookmarksHtml(html, " :\n", {})),
              ElementsAre("：", "Line break； ＂quoted＂", "Line break； ＂quoted＂ (2)"));
  EXPECT_THAT(Names(ParseBookmarksHtml(html, "\r\n", {})),
              ElementsAre("Bookmarks", "Line break； ＂quoted＂", "Line break； ＂quoted＂ (2)"));
}

TEST(BookmarksImport, TitlesAndAddressesLoseLineBreaksAndEmptyLinksAreSkipped) {
  const std::string html =
      "<DL><DT><A HREF=\"  https://a.example/x\ny \">  Two\r\nlines\t </A>"
      "<DT><A HREF=\"\">no address</A><DT><A NAME=\"anchor\">no HREF</A>"
      "<DT><A HREF=\"https://b.example/\"><B>Bold</B> part</A>"
      "<DT><A HREF=\"https://c.example/\x01z\">\x01\x7F\"</A></DL>";
  const auto jobs = ParseBookmarksHtml(html, "loose", {});
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_THAT(jobs[0].entries, ElementsAre(JobEntry{"Two  lines", "https://a.example/xy"},
                                           JobEntry{"Bold part", "https://b.example/"},
                                           JobEntry{"\"", "https://c.example/%01z"}));
}

TEST(BookmarksImport, DamagedFileGivesWhatStillParses) {
  // Lists never closed, a stray end tag and a file cut in the middle of a link.
  const std::string html =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><H3>Outer</H3><DL><p>"
      "<DT><A HREF=\"https://a.example/\">A</A></H3></DL></DL></DL>"
      "<DT><H3>Cut</H3><DL><p><DT><A HREF=\"https://b.example/\">B</A>"
      "<DT><A HREF=\"https://c.exa";
  const auto jobs = ParseBookmarksHtml(html, "loose", {});
  ASSERT_THAT(Names(jobs), ::testing::Contains("Outer"));
  EXPECT_THAT(jobs[0].entries, ElementsAre(JobEntry{"A", "https://a.example/"}));
  ASSERT_GE(jobs.size(), 2u);
  EXPECT_EQ(jobs[1].name, "Cut");
  EXPECT_EQ(jobs[1].entries.front(), (JobEntry{"B", "https://b.example/"}));

  EXPECT_THAT(ParseBookmarksHtml("", "x", {}), IsEmpty());
  EXPECT_THAT(ParseBookmarksHtml(std::string("\0\0\xff<", 4), "x", {}), IsEmpty());
}

TEST(BookmarksImport, CodePage932FileWithoutCharsetIsReadAsJapanese) {
  // "ニュース" in code page 932 as a folder name and a title.
  const std::string sjis = "\x83\x6A\x83\x85\x81\x5B\x83\x58";
  const std::string html = "<DL><DT><H3>" + sjis + "</H3><DL><DT><A HREF=\"https://n.example/\">" +
                           sjis + "</A></DL></DL>";
  const auto jobs = ParseBookmarksHtml(html, "x", {});
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0], (BookmarkJob{"ニュース", {{"ニュース", "https://n.example/"}}}));
}

TEST(BookmarksImport, DeclaredCharsetIsUsedForBytesThatAreNotUtf8) {
  const std::string html =
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">"
      "<DL><DT><H3>Caf\xE9</H3><DL><DT><A HREF=\"https://n.example/\">Na\xEFve</A></DL></DL>";
  const auto jobs = ParseBookmarksHtml(html, "x", {});
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0], (BookmarkJob{"Café", {{"Naïve", "https://n.example/"}}}));
}

TEST(BookmarksImport, BytesThatAreNotUtf8AfterAnAmpersandBecomeReplacementCharacters) {
  // libxml2 hands the first such byte over unconverted, whatever the charset. Kept, the title
  // would be no UTF-8 and would come back as other characters after an export.
  const std::string odd = "&\xBF\xC3\xBFquot;";
  for (const char* charset : {"UTF-8", "ISO-8859-1", "UTF-9"}) {
    for (int place = 0; place < 3; ++place) {
      SCOPED_TRACE(std::string(charset) + " place " + std::to_string(place));
      const std::string html =
          std::string("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=") + charset +
          "\"><DL><DT><H3>W" + (place == 0 ? odd : "") +
          "</H3><DL><DT><A HREF=\"https://n.example/" + (place == 1 ? odd : "") + "\">a" +
          (place == 2 ? odd : "") + "</A></DL></DL>";
      const auto jobs = ParseBookmarksHtml(html, "x", {});
      ASSERT_EQ(jobs.size(), 1u);
      ASSERT_EQ(jobs[0].entries.size(), 1u);
      for (const std::string& text :
           {jobs[0].name, jobs[0].entries[0].Title, jobs[0].entries[0].URL})
        EXPECT_TRUE(g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
            << text;
      const auto again =
          ParseBookmarksHtml(FormatBookmarksHtml(jobs[0].name, jobs[0].entries), "y", {});
      ASSERT_EQ(again.size(), 1u);
      EXPECT_EQ(again[0], jobs[0]);
    }
  }
}

TEST(BookmarksImport, Utf8TextWinsOverADeclaredCharset) {
  const std::string html =
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"
      "<DL><DT><H3>ニュース</H3><DL><DT><A HREF=\"https://n.example/\">天気</A></DL></DL>";
  const auto jobs = ParseBookmarksHtml(html, "x", {});
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0], (BookmarkJob{"ニュース", {{"天気", "https://n.example/"}}}));
}

TEST(BookmarksImport, AFolderPastTheJobLimitGoesOnInASecondJob) {
  std::string html = "<DL><DT><H3>Huge</H3><DL>";
  const int count = kMaxJobEntries + 5;
  for (int i = 0; i < count; ++i)
    html += "<DT><A HREF=\"https://h.example/" + std::to_string(i) + "\">" + std::to_string(i) +
            "</A>\n";
  html += "</DL></DL>";
  size_t last_done = 0, calls = 0;
  const auto jobs = ParseBookmarksHtml(html, "x", {}, [&](size_t done, size_t total) {
    EXPECT_GE(done, last_done);
    EXPECT_EQ(total, static_cast<size_t>(count));
    last_done = done;
    ++calls;
  });
  ASSERT_THAT(Names(jobs), ElementsAre("Huge", "Huge (2)"));
  EXPECT_EQ(jobs[0].entries.size(), static_cast<size_t>(kMaxJobEntries));
  EXPECT_EQ(jobs[1].entries.size(), 5u);
  EXPECT_EQ(jobs[1].entries.back().URL, "https://h.example/" + std::to_string(count - 1));
  EXPECT_EQ(last_done, static_cast<size_t>(count));
  EXPECT_GT(calls, 10u);  // a bar moves along the way, not only at the ends
}

TEST(BookmarksImport, FilesThatCannotBeReadAreRefusedWithTheirName) {
  test::TempDir dir;
  std::string error;
  EXPECT_FALSE(ReadBookmarksFile(dir.file("missing.html"), {}, {}, &error).has_value());
  EXPECT_THAT(error, ::testing::HasSubstr("missing.html"));
  ASSERT_EQ(mkdir(dir.file("folder.html").c_str(), 0700), 0);
  EXPECT_FALSE(ReadBookmarksFile(dir.file("folder.html"), {}, {}, &error).has_value());
  EXPECT_THAT(error, ::testing::HasSubstr("folder.html"));
  // A file without any link reads, as no jobs.
  ASSERT_TRUE(WriteFileAtomically(dir.file("none.html"), "<html><body>nothing</body></html>"));
  auto none = ReadBookmarksFile(dir.file("none.html"), {}, {}, &error);
  ASSERT_TRUE(none.has_value());
  EXPECT_THAT(*none, IsEmpty());
}

}  // namespace
}  // namespace tarvik
