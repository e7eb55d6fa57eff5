#include "favorites/shortcut_file.h"

#include <sys/stat.h>

#include <glib.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;
using test::WriteBytes;

std::string Bytes(const std::string& path) { return ReadFileBytes(path).value_or("<unreadable>"); }

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) names.push_back(name);
    g_dir_close(dir);
  }
  return names;
}

struct ReadCase {
  const char* name;
  std::string bytes;
  std::string url;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadShortcutTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadShortcutTest, ReadsTheUrlLineAfterTheHeader) {
  TempDir dir;
  std::string path = dir.file("page.url");
  WriteBytes(path, GetParam().bytes);
  EXPECT_EQ(ReadShortcutURL(path), GetParam().url);
  EXPECT_EQ(TryReadShortcutURL(path), GetParam().url);
}

// "表示" in code page 932 is 95 5C 8E A6: its first character's second byte is a back slash.
const std::string kCp932Hyouji = "\x95\x5c\x8e\xa6";
const std::string kCp932News = "\x83\x6a\x83\x85\x81\x5b\x83\x58";  // "ニュース"

INSTANTIATE_TEST_SUITE_P(
    Files, ReadShortcutTest,
    testing::Values(
        ReadCase{
            "BaseUrlBeforeHeaderIgnored",
            "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nURL=http://real.example/\r\n",
            "http://real.example/"},
        ReadCase{"HeaderInLowerCase", "[internetshortcut]\r\nURL=http://a.example/\r\n",
                 "http://a.example/"},
        ReadCase{"HeaderWithTrailingSpaceIsNoHeader",
                 "[InternetShortcut] \r\nURL=http://a.example/\r\n", ""},
        ReadCase{"HeaderWithLeadingSpaceIsNoHeader",
                 " [InternetShortcut]\r\nURL=http://a.example/\r\n", ""},
        ReadCase{"LowerCaseKeyKeepsEqualsInQuery",
                 "[InternetShortcut]\r\nurl=http://a.example/?x=1&a=b\r\n",
                 "http://a.example/?x=1&a=b"},
        ReadCase{
            "BaseUrlAfterHeaderCountsAsUrlLine",
            "[InternetShortcut]\r\nBASEURL=http://base.example/\r\nURL=http://real.example/\r\n",
            "http://base.example/"},
        ReadCase{"SplitAtFirstEqualsOfTheLine",
                 "[InternetShortcut]\r\nProp=URL=http://a.example/\r\n", "URL=http://a.example/"},
        ReadCase{"NoHeader", "URL=http://a.example/\r\n", ""},
        ReadCase{"HeaderWithoutUrlLine", "[InternetShortcut]\r\nIconIndex=1\r\n", ""},
        ReadCase{"EmptyFile", "", ""},
        ReadCase{"UrlLineInLaterSectionCounts",
                 "[InternetShortcut]\r\nIconIndex=0\r\n[Other]\r\nURL=http://later.example/\r\n",
                 "http://later.example/"},
        ReadCase{"FirstUrlLineWins", "[InternetShortcut]\r\nURL=http://one/\r\nURL=http://two/\r\n",
                 "http://one/"},
        ReadCase{"ValueKeptUntrimmedAndUndecoded", "[InternetShortcut]\r\nURL= http://a/%20b \r\n",
                 " http://a/%20b "},
        ReadCase{"EmptyValue", "[InternetShortcut]\r\nURL=\r\nURL=http://later/\r\n", ""},
        ReadCase{"LineFeedEnds", "[InternetShortcut]\nURL=http://lf.example/\n",
                 "http://lf.example/"},
        ReadCase{"CarriageReturnEnds", "[InternetShortcut]\rURL=http://cr.example/\r",
                 "http://cr.example/"},
        ReadCase{"NoFinalLineEnd", "[InternetShortcut]\r\nURL=http://a.example/",
                 "http://a.example/"},
        ReadCase{"Utf8ByteOrderMark",
                 "\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://bom.example/\r\n",
                 "http://bom.example/"},
        ReadCase{
            "ShiftJisFileFromWindows",
            "[DEFAULT]\r\nBASEURL=http://example.jp/" + kCp932Hyouji +
                "\r\n[InternetShortcut]\r\nURL=http://example.jp/" + kCp932Hyouji +
                "?q=" + kCp932News +
                "\r\nIDList=\r\nHotKey=0\r\nIconFile=http://example.jp/favicon.ico\r\nIconIndex=1\r\n"
                "[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\n",
            "http://example.jp/表示?q=ニュース"},
        ReadCase{"Utf8File", "[InternetShortcut]\r\nURL=http://example.jp/表示?q=ニュース\r\n",
                 "http://example.jp/表示?q=ニュース"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReadShortcutFailure, FileThatCannotBeReadGivesNothing) {
  TempDir dir;
  EXPECT_EQ(TryReadShortcutURL(dir.file("missing.url")), std::nullopt);
  EXPECT_EQ(ReadShortcutURL(dir.file("missing.url")), "");
  EXPECT_EQ(TryReadShortcutURL(dir.path()), std::nullopt);  // a folder
}

struct WriteCase {
  const char* name;
  std::string url;
  std::string bytes;  // what the file must hold afterwards
  std::string read_back;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteShortcutTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteShortcutTest, WritesTwoLinesThatReadBack) {
  TempDir dir;
  std::string path = dir.file("saved.url");
  // An older, longer file in its place must leave nothing behind.
  WriteBytes(
      path,
      "[InternetShortcut]\r\nURL=http://old.example/a/very/long/address/that/was/here\r\nIconIndex=3\r\n");
  ASSERT_TRUE(WriteShortcut(path, GetParam().url));
  EXPECT_EQ(Bytes(path), GetParam().bytes);
  EXPECT_EQ(ReadShortcutURL(path), GetParam().read_back);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"saved.url"});  // no temporary left
}

INSTANTIATE_TEST_SUITE_P(
    Urls, WriteShortcutTest,
    testing::Values(
        WriteCase{"Ascii", "http://example.com/?a=b",
                  "[InternetShortcut]\r\nURL=http://example.com/?a=b\r\n",
                  "http://example.com/?a=b"},
        WriteCase{"JapaneseInCodePage932", "http://example.jp/表示?q=ニュース",
                  "[InternetShortcut]\r\nURL=http://example.jp/" + kCp932Hyouji +
                      "?q=" + kCp932News + "\r\n",
                  "http://example.jp/表示?q=ニュース"},
        WriteCase{"CharacterOutsideCodePage932KeptAsUtf8", "http://example.kr/한국",
                  "\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://example.kr/한국\r\n",
                  "http://example.kr/한국"},
        WriteCase{"LineBreakCannotStartALine", "http://a.example/x\r\n[Evil]\nURL=http://b/",
                  "[InternetShortcut]\r\nURL=http://a.example/x%0D%0A[Evil]%0AURL=http://b/\r\n",
                  "http://a.example/x%0D%0A[Evil]%0AURL=http://b/"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(WriteShortcutFailure, CreatesTheFileInAMissingFolder) {
  TempDir dir;
  std::string path = dir.file("new/sub/page.url");
  ASSERT_TRUE(WriteShortcut(path, "http://a.example/"));
  EXPECT_EQ(ReadShortcutURL(path), "http://a.example/");
}

TEST(WriteShortcutFailure, ReadOnlyFileIsLeftAsItWas) {
  TempDir dir;
  std::string path = dir.file("locked.url");
  const std::string old = "[InternetShortcut]\r\nURL=http://old.example/\r\n";
  WriteBytes(path, old);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(WriteShortcut(path, "http://new.example/"));
  EXPECT_EQ(Bytes(path), old);
}

TEST(WriteShortcutFailure, PathBelowAFileFails) {
  TempDir dir;
  WriteBytes(dir.file("plain"), "x");
  std::string error;
  EXPECT_FALSE(WriteShortcut(dir.file("plain/page.url"), "http://a.example/", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Bytes(dir.file("plain")), "x");
}

struct NameCase {
  const char* name;
  std::string title;
  std::optional<std::string> proposed;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class ProposedNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(ProposedNameTest, FromPageTitle) {
  EXPECT_EQ(ProposedFavoriteFileName(GetParam().title), GetParam().proposed);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, ProposedNameTest,
    testing::Values(NameCase{"PlainTitle", "Example Domain", "Example Domain.url"},
                    NameCase{"JapaneseTitle", "ニュース - 表示", "ニュース - 表示.url"},
                    NameCase{"TitleWithDotStillGetsExtension", "example.com", "example.com.url"},
                    NameCase{"AllowedPunctuation", "A&B (1) [x] {y} 'z' ! # $ % ~ = +",
                             "A&B (1) [x] {y} 'z' ! # $ % ~ = +.url"},
                    NameCase{"Colon", "Tarvik: ようこそ", std::nullopt},
                    NameCase{"AddressAsTitle", "http://example.com/", std::nullopt},
                    NameCase{"Empty", "", std::nullopt}, NameCase{"Dot", ".", std::nullopt},
                    NameCase{"DotDot", "..", std::nullopt},
                    NameCase{"LineBreak", "one\ntwo", std::nullopt},
                    NameCase{"Tab", "one\ttwo", std::nullopt},
                    NameCase{"LongestThatFits", std::string(251, 'a'),
                             std::string(251, 'a') + ".url"},
                    NameCase{"TooLongForAFileName", std::string(252, 'a'), std::nullopt}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

TEST(ProposedFavoriteFileName, NoneForATitleWithAnyOfTheElevenCharacters) {
  const std::string forbidden = "\\/:;,*?\"<>|";
  for (char c : forbidden) {
    SCOPED_TRACE(std::string(1, c));
    EXPECT_EQ(ProposedFavoriteFileName(std::string("a") + c + "b"), std::nullopt);
    EXPECT_EQ(ProposedFavoriteFileName(std::string(1, c)), std::nullopt);
    EXPECT_EQ(ProposedFavoriteFileName(std::string("page") + c), std::nullopt);
  }
  // Every other printable ASCII character is allowed.
  for (char c = 0x21; c < 0x7F; ++c) {
    if (forbidden.find(c) == std::string::npos && c != '.') {
      EXPECT_EQ(ProposedFavoriteFileName(std::string(1, c)), std::string(1, c) + ".url") << c;
    }
  }
  // The full-width forms are other characters and are allowed.
  EXPECT_EQ(ProposedFavoriteFileName("Ａ：Ｂ／Ｃ＼"), std::string("Ａ：Ｂ／Ｃ＼.url"));
}

}  // namespace
}  // namespace tarvik
