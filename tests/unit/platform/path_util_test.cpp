#include <glib.h>
#include <gtest/gtest.h>

#include "platform/path_util.h"

namespace tarvik {
namespace {

TEST(LocalFileName, OnlySlashSeparatesAndNamesAreText) {
  EXPECT_EQ(LocalFileName("/home/u/Favorites/News\\Sport"), "News\\Sport");
  EXPECT_EQ(LocalFileName("/home/u/Favorites/Work/"), "Work");
  EXPECT_EQ(LocalFileName("/tmp/朝刊.url"), "朝刊.url");
  EXPECT_EQ(LocalFileName("/"), "");
  EXPECT_EQ(LocalFileName(""), "");
  const std::string latin1 = LocalFileName("/tmp/caf\xE9");
  EXPECT_TRUE(g_utf8_validate(latin1.c_str(), -1, nullptr)) << latin1;
  EXPECT_EQ(latin1.substr(0, 3), "caf");
}

TEST(FileNamePart, TakesTheTextAfterTheLastSeparator) {
  struct Row {
    const char* name;
    const char* path;
    const char* expected;
  } rows[] = {
      {"unix_file", "/home/u/Jobs/News.tvj", "News.tvj"},
      {"windows_file", "C:\\Jobs\\Old.News.tvj", "Old.News.tvj"},
      {"mixed", "C:\\a/b\\c.url", "c.url"},
      {"folder", "/home/u/Favorites/Work", "Work"},
      {"trailing_separator", "/home/u/Favorites/", "Favorites"},
      {"no_separator", "News.tvj", "News.tvj"},
      {"drive_relative", ":\\a.tvj", "a.tvj"},
      {"root", "/", ""},
      {"empty", "", ""},
      {"japanese", "/tmp/ジョブ/朝刊.tvj", "朝刊.tvj"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(FileNamePart(r.path), r.expected);
  }
}

TEST(JoinPath, DoesNotDoubleSeparators) {
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

}  // namespace
}  // namespace tarvik
