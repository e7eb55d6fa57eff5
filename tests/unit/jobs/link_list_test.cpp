// Lists of links that become jobs: addresses found in prose, the links a job keeps, and files of
// addresses in each format and encoding.
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobs/link_list.h"
#include "jobs/url_list_file.h"
#include "platform/search_fold.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {

void PrintTo(const JobEntry& e, std::ostream* os) {
  *os << "{\"" << e.Title << "\", \"" << e.URL << "\"}";
}

namespace {

using ::testing::ElementsAre;
using Entries = std::vector<JobEntry>;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> Urls(const Entries& entries) {
  std::vector<std::string> urls;
  for (const JobEntry& e : entries) urls.push_back(e.URL);
  return urls;
}

TEST(LinkListTest, AddressesAreFoundInProseWhereTheyBeginAndEnd) {
  struct Row {
    const char* name;
    const char* text;
    std::vector<std::string> urls;
  };
  const Row rows[] = {
      {"sentence end",
       "See https://a.example/x. Then http://b.example/y, ok",
       {"https://a.example/x", "http://b.example/y"}},
      {"in parentheses",
       "(see https://a.example/p) and https://en.wikipedia.org/wiki/C_(lang)",
       {"https://a.example/p", "https://en.wikipedia.org/wiki/C_(lang)"}},
      {"Japanese brackets and spaces",
       "詳細は「https://a.example/資料」を参照。　https://b.example/",
       {"https://a.example/資料", "https://b.example/"}},
      {"angle brackets and quotes",
       "<https://a.example/q?x=1&y=2> \"http://b.example/\"",
       {"https://a.example/q?x=1&y=2", "http://b.example/"}},
      {"not a word start or no host",
       "xhttp://no.example/ https:// ftp://no.example/ HTTPS://A.EXAMPLE/",
       {"HTTPS://A.EXAMPLE/"}},
      {"line breaks end an address",
       "https://a.example/one\r\nhttps://a.example/two",
       {"https://a.example/one", "https://a.example/two"}},
  };
  for (const Row& row : rows) EXPECT_EQ(Urls(AddressesInText(row.text)), row.urls) << row.name;

  // A Markdown link takes its text, without emphasis; a bare address is its own title.
  EXPECT_THAT(AddressesInText("- [**日本語の** 見出し](https://a.example/j \"t\")\n"
                              "- [](https://b.example/)\n- https://c.example/"),
              ElementsAre(JobEntry{"日本語の 見出し", "https://a.example/j"},
                          JobEntry{"https://b.example/", "https://b.example/"},
                          JobEntry{"https://c.example/", "https://c.example/"}));
}

TEST(LinkListTest, AJobKeepsEachPageOnceAtItsFirstPlaceAndNoScriptOrMailLinks) {
  Entries links = {
      {"", "https://a.example/page#top"},
      {"mail", "mailto:someone@example.com"},
      {"run", "JavaScript:alert(1)"},
      {"call", "tel:+81-3-0000"},
      {"inline", "data:text/html,hi"},
      {"second", "https://b.example/"},
      {"A again", "https://a.example/page#end"},
      {"B again", "https://b.example/"},
      {"", "https://c.example/"},
  };
  EXPECT_THAT(LinksForJob(links),
              ElementsAre(JobEntry{"A again", "https://a.example/page#top"},
                          JobEntry{"second", "https://b.example/"},
                          JobEntry{"https://c.example/", "https://c.example/"}));
}

TEST(LinkListTest, TheFilterMatchesEveryWordInTitleOrAddressWhateverTheCaseOrWidth) {
  const std::string key = FilterKey(JobEntry{"ｼﾞｮﾌﾞ Guide", "https://Example.com/Manual"});
  EXPECT_TRUE(MatchesSearch(key, SearchWords("ジョブ manual")));
  EXPECT_TRUE(MatchesSearch(key, SearchWords("  GUIDE　example ")));
  EXPECT_TRUE(MatchesSearch(key, SearchWords("")));
  EXPECT_FALSE(MatchesSearch(key, SearchWords("guide other")));
}

class UrlListFileTest : public ::testing::Test {
 protected:
  Entries Read(const std::string& name, const std::string& bytes) {
    WriteBytes(dir.file(name), bytes);
    std::string error;
    auto links = ReadUrlListFile(dir.file(name), &error);
    EXPECT_TRUE(links) << error;
    return links.value_or(Entries{});
  }
  TempDir dir;
};

TEST_F(UrlListFileTest, EachFormatGivesItsTitles) {
  EXPECT_THAT(Read("list.csv",
                   "名前,URL,メモ\r\n"
                   "\"Smith, J.\",https://a.example/1,x\r\n"
                   ",https://b.example/2,\"二行の\nメモ\"\r\n"
                   "https://c.example/3\r\n"),
              ElementsAre(JobEntry{"Smith, J.", "https://a.example/1"},
                          JobEntry{"二行の メモ", "https://b.example/2"},
                          JobEntry{"https://c.example/3", "https://c.example/3"}));
  EXPECT_THAT(Read("notes.md", "# Links\n[Guide](https://a.example/g)\nsee <https://b.example/>\n"),
              ElementsAre(JobEntry{"Guide", "https://a.example/g"},
                          JobEntry{"https://b.example/", "https://b.example/"}));
  EXPECT_THAT(
      Read("saved.html",
           "<html><head><base href=\"https://site.example/dir/\"><script>var u='http://no/'"
           "</script></head><body><p>Visit http://text.example/ now</p>"
           "<a href=\"page.html\">  相対\n リンク </a><a href=\"mailto:x@y\">mail</a>"
           "<a href=\"https://img.example/\"><span><img src=x alt=\"画像\"></span></a>"
           "<a title=\"題\" href=\"https://t.example/\"></a>"
           "<a href=\"page.html#part\">again</a></body></html>"),
      ElementsAre(JobEntry{"http://text.example/", "http://text.example/"},
                  JobEntry{"相対 リンク", "https://site.example/dir/page.html"},
                  JobEntry{"画像", "https://img.example/"}, JobEntry{"題", "https://t.example/"}));
  // A file of another name is HTML when it starts with a tag and holds a link.
  EXPECT_THAT(Read("export", "<ul><li><a href=\"https://a.example/\">A</a></ul>"),
              ElementsAre(JobEntry{"A", "https://a.example/"}));
}

TEST_F(UrlListFileTest, EveryEncodingTheProgramReadsIsRead) {
  const std::string text = "日本語 https://a.example/ファイル 終わり\r\n";
  const Entries expected = {{"https://a.example/ファイル", "https://a.example/ファイル"}};
  EXPECT_EQ(Read("utf8.txt", text), expected);
  EXPECT_EQ(Read("bom.txt", std::string(kUtf8Bom) + text), expected);
  EXPECT_EQ(Read("sjis.txt", *EncodeCp932(text)), expected);
  auto utf16 = [&text](bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    gunichar2* units = g_utf8_to_utf16(text.c_str(), -1, nullptr, nullptr, nullptr);
    for (gunichar2* u = units; *u; ++u) {
      const char hi = static_cast<char>(*u >> 8), lo = static_cast<char>(*u & 0xFF);
      out += big_endian ? std::string{hi, lo} : std::string{lo, hi};
    }
    g_free(units);
    return out;
  };
  EXPECT_EQ(Read("utf16le.txt", utf16(false)), expected);
  EXPECT_EQ(Read("utf16be.txt", utf16(true)), expected);

  // A page keeps the character set it declares, in either form of the declaration.
  auto euc_jp = [](const std::string& utf8) {
    gsize n = 0;
    gchar* bytes = g_convert(utf8.c_str(), -1, "EUC-JP", "UTF-8", nullptr, &n, nullptr);
    std::string out(bytes, n);
    g_free(bytes);
    return out;
  };
  const std::string body = "<body><a href=\"https://a.example/\">日本語の表題</a></body></html>";
  const Entries page = {{"日本語の表題", "https://a.example/"}};
  EXPECT_EQ(Read("meta.html", euc_jp("<html><head><meta charset=\"EUC-JP\"></head>" + body)), page);
  EXPECT_EQ(Read("equiv.htm", euc_jp("<html><head><meta http-equiv=\"Content-Type\" "
                                     "content=\"text/html; charset=euc-jp\"></head>" +
                                     body)),
            page);
}

TEST_F(UrlListFileTest, FilesThatCannotBeReadSayWhy) {
  std::string error;
  const std::string huge = dir.file("huge.txt");
  const int fd = open(huge.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kJobFileReadLimit) + 1), 0);
  close(fd);
  EXPECT_FALSE(ReadUrlListFile(huge, &error));
  EXPECT_EQ(error, FileTooLargeMessage(huge));

  const std::string fifo = dir.file("pipe.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadUrlListFile(fifo, &error));  // returns at once: nothing writes to the pipe
  EXPECT_EQ(error, ReadFailureMessage(fifo, ReadFailure::NotRegularFile));
  EXPECT_FALSE(ReadUrlListFile(dir.path(), &error));
  EXPECT_FALSE(ReadUrlListFile(dir.file("missing.txt"), &error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos);
}

// A list's links cost a bounded amount each, whatever the file holds: an address beyond the cap
// is left out whole (cut short it would name another page), a title is cut at a character's end.
// A reading told to stop by its progress gives nothing.
TEST_F(UrlListFileTest, LongAddressesAndTitlesAreCappedAndAReadingCanBeStopped) {
  const std::string long_address = "https://long.example/" + std::string(kMaxLinkAddressBytes, 'a');
  std::string long_title;
  while (long_title.size() < 3 * kMaxLinkTitleBytes) long_title += "長い題 ";
  const Entries links =
      Read("caps.md", "[" + long_title + "](https://a.example/)\n" + long_address + "\n[x](" +
                          long_address + ")\nhttps://b.example/\n");
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].URL, "https://a.example/");
  EXPECT_LE(links[0].Title.size(), kMaxLinkTitleBytes);
  EXPECT_GT(links[0].Title.size(), kMaxLinkTitleBytes - 4);
  EXPECT_TRUE(
      g_utf8_validate(links[0].Title.data(), static_cast<gssize>(links[0].Title.size()), nullptr));
  EXPECT_EQ(links[1].URL, "https://b.example/");
  // The same caps hold for the links of a page or a drop.
  const Entries page = LinksForJob({{long_title, "https://c.example/"}, {"x", long_address}});
  ASSERT_EQ(page.size(), 1u);
  EXPECT_LE(page[0].Title.size(), kMaxLinkTitleBytes);

  std::string text;
  for (int i = 0; i < 100000; ++i) text += "https://s.example/" + std::to_string(i) + "\n";
  WriteBytes(dir.file("many.txt"), text);
  size_t heard = 0;
  std::string error;
  EXPECT_FALSE(ReadUrlListFile(dir.file("many.txt"), &error,
                               [&heard](size_t, size_t) { return ++heard < 2; }));
  EXPECT_EQ(heard, 2u);
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(ReadUrlListFile(dir.file("many.txt"))->size(), 100000u);
}

}  // namespace
}  // namespace tarvik
