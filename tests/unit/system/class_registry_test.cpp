#include "system/class_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

class ClassRegistryTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string path = dir.file("tarvik/classes.ini");
  KeyFileClassRegistry store{path};
};

TEST_F(ClassRegistryTest, MissingKeyOrValueReadsAsNothing) {
  EXPECT_FALSE(store.Read(".htm", "").has_value());
  ASSERT_TRUE(store.Write(".htm", "Content Type", "text/html"));
  EXPECT_FALSE(store.Read(".htm", "").has_value()) << "the default value was never written";
  EXPECT_FALSE(store.Read(".html", "Content Type").has_value());
  EXPECT_EQ(store.Read(".htm", "Content Type"), "text/html");
}

TEST_F(ClassRegistryTest, NamesRoundTripThroughTheFile) {
  struct Row {
    const char* label;
    std::string key;
    std::string name;
    std::string data;
  };
  const Row rows[] = {
      {"default value", "TarvikJobFile", "", "Tarvikｼﾞｮﾌﾞﾌｧｲﾙ"},
      {"value named like the default marker", "TarvikJobFile", "@", "at sign"},
      {"equals and brackets", "a[1]\\b=c", "x=y[z]", "[data]=1"},
      {"percent signs", "100%\\%41", "%41", "%%"},
      {"edge spaces and hash", ".url File", " #name ", " lead and trail "},
      {"caption as key name", "http\\shell\\Tarvikで開く(&B)", "", "Tarvikで開く(&B)"},
      {"command line", "t\\shell\\open\\command", "", "\"/opt/My Apps/tarvik\" /j %1"},
      {"line break in data", "k", "v", "one\ntwo"},
  };
  for (const Row& r : rows) ASSERT_TRUE(store.Write(r.key, r.name, r.data)) << r.label;
  KeyFileClassRegistry reopened(path);
  for (const Row& r : rows) EXPECT_EQ(reopened.Read(r.key, r.name), r.data) << r.label;
  EXPECT_EQ(reopened.Read("TarvikJobFile", ""), "Tarvikｼﾞｮﾌﾞﾌｧｲﾙ")
      << "the value named \"@\" must not overwrite the default value";
}

TEST_F(ClassRegistryTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  ASSERT_TRUE(store.Write("HTMLFile\\Shell", "", "open"));
  ASSERT_TRUE(store.Write("htmlfile\\shell\\OpenWithTarvik", "", "caption"));
  EXPECT_EQ(store.Read("HTMLFILE\\SHELL", ""), "open");
  ASSERT_TRUE(store.Write("htmlfile\\shell", "", "OpenWithTarvik"));
  EXPECT_EQ(store.Read("HtmlFile\\Shell", ""), "OpenWithTarvik");
  EXPECT_EQ(store.SubKeys(""), std::vector<std::string>{"HTMLFile"});
  EXPECT_EQ(store.SubKeys("htmlfile"), std::vector<std::string>{"Shell"});
  EXPECT_EQ(store.SubKeys("htmlfile\\shell"), std::vector<std::string>{"OpenWithTarvik"});
}

TEST_F(ClassRegistryTest, KeysAboveAWrittenKeyExist) {
  ASSERT_TRUE(store.Write("t\\shell\\open\\command", "", "x"));
  for (const char* key : {"", "t", "t\\shell", "t\\shell\\open", "t\\shell\\open\\command"})
    EXPECT_TRUE(store.KeyExists(key)) << key;
  EXPECT_FALSE(store.KeyExists("t\\shell\\print"));
  EXPECT_FALSE(store.KeyExists("shell"));
}

TEST_F(ClassRegistryTest, DeleteSubKeyTakesTheWholeBranch) {
  ASSERT_TRUE(store.Write("t\\shell", "", "v1"));
  ASSERT_TRUE(store.Write("t\\shell\\v1", "", "caption"));
  ASSERT_TRUE(store.Write("t\\shell\\v1\\command", "", "cmd"));
  ASSERT_TRUE(store.Write("t\\shell\\v10\\command", "", "other verb"));

  EXPECT_TRUE(store.DeleteSubKey("t\\shell", "V1"));
  EXPECT_FALSE(store.KeyExists("t\\shell\\v1"));
  EXPECT_FALSE(store.KeyExists("t\\shell\\v1\\command"));
  EXPECT_EQ(store.Read("t\\shell\\v10\\command", ""), "other verb")
      << "a sibling with a longer name";
  EXPECT_EQ(store.Read("t\\shell", ""), "v1") << "the parent keeps its values";

  EXPECT_FALSE(store.DeleteSubKey("t\\shell", "v1")) << "already gone";
  EXPECT_FALSE(store.DeleteSubKey("missing", "v10"));
  EXPECT_FALSE(store.DeleteSubKey("t\\shell", "")) << "no subkey named";
}

TEST_F(ClassRegistryTest, RootValuesAndUnusableTextAreRefused) {
  EXPECT_FALSE(store.Write("", "", "x"));
  EXPECT_FALSE(store.Write("\\", "v", "x"));
  EXPECT_FALSE(store.Write("k", "", std::string("\xff\xfe", 2)));
  EXPECT_FALSE(FileExists(path)) << "nothing was written";
}

TEST_F(ClassRegistryTest, TwoStoresOnOneFileSeeEachOthersWrites) {
  KeyFileClassRegistry other(path);
  ASSERT_TRUE(store.Write("a", "", "1"));
  ASSERT_TRUE(other.Write("b", "", "2"));
  ASSERT_TRUE(store.Write("c", "", "3"));
  EXPECT_EQ(other.Read("a", ""), "1");
  EXPECT_EQ(store.Read("b", ""), "2");
  EXPECT_EQ(other.Read("c", ""), "3");
}

TEST_F(ClassRegistryTest, GroupedChangesAreReportedOnce) {
  int reports = 0;
  store.set_on_change([&](const ClassRegistry& root) {
    ++reports;
    EXPECT_EQ(&root, &store);
  });
  store.Write("a", "", "1");
  EXPECT_EQ(reports, 1);
  {
    ClassRegistryChanges outer(store);
    store.Write("b", "", "2");
    {
      ClassRegistryChanges inner(store);
      store.Write("c", "", "3");
    }
    store.DeleteSubKey("", "a");
    EXPECT_EQ(reports, 1) << "nothing is reported inside a group";
  }
  EXPECT_EQ(reports, 2);
  {
    ClassRegistryChanges nothing(store);
    store.DeleteSubKey("", "missing");
  }
  EXPECT_EQ(reports, 2) << "a group without a change is not reported";
}

// A group's writes go to the file once, at its end; inside the group they read back at once.
TEST_F(ClassRegistryTest, AGroupIsStoredOnceAtItsEnd) {
  KeyFileClassRegistry other(path);
  ASSERT_TRUE(store.Write("kept", "", "0"));
  {
    ClassRegistryChanges changes(store);
    ASSERT_TRUE(store.Write("a\\b", "x", "1"));
    ASSERT_TRUE(store.Write("a\\b", "x", "2"));
    ASSERT_TRUE(store.DeleteSubKey("", "kept"));
    EXPECT_EQ(store.Read("a\\b", "x"), "2");
    EXPECT_FALSE(store.KeyExists("kept"));
    EXPECT_EQ(store.SubKeys("a"), std::vector<std::string>{"b"});
    EXPECT_EQ(*ReadFileBytes(path), "[kept]\n@=0\n") << "nothing is written before the end";
    EXPECT_TRUE(changes.Commit());
  }
  EXPECT_EQ(other.Read("a\\b", "x"), "2");
  EXPECT_FALSE(other.KeyExists("kept"));
}

TEST_F(ClassRegistryTest, AGroupThatCannotBeStoredSaysSo) {
  // The store's folder is a file, so nothing can be written below it.
  ASSERT_TRUE(WriteFileAtomically(dir.file("blocked"), "not a folder"));
  KeyFileClassRegistry blocked(dir.file("blocked/classes.ini"));
  int reports = 0;
  blocked.set_on_change([&](const ClassRegistry&) { ++reports; });
  ClassRegistryChanges changes(blocked);
  EXPECT_TRUE(blocked.Write("a", "", "1"));
  EXPECT_FALSE(changes.Commit());
  EXPECT_EQ(reports, 0) << "a change that was not stored is not reported";
}

// A registry file past its size limit could not be read, and a change stored what little was
// known over it.
TEST_F(ClassRegistryTest, AFileThatCannotBeReadIsNotOverwritten) {
  ASSERT_TRUE(WriteFileAtomically(path, "[.htm]\n@=htmlfile\n"));
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(kSettingsReadLimit) + 1), 0);
  auto size = [&] {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
  };
  const long long before = size();
  EXPECT_FALSE(store.Write(".url", "", "InternetShortcut"));
  EXPECT_EQ(size(), before);
  {
    ClassRegistryChanges changes(store);
    store.Write(".tvj", "", "Tarvik.Job");
    EXPECT_FALSE(changes.Commit());
  }
  EXPECT_EQ(size(), before);
  char start[7] = {};
  FILE* f = fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(fread(start, 1, 6, f), 6u);
  fclose(f);
  EXPECT_STREQ(start, "[.htm]");
}

TEST(SplitKeyPathTest, DropsEmptyNames) {
  EXPECT_EQ(SplitKeyPath("\\a\\\\b\\"), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(SplitKeyPath("").empty());
  EXPECT_EQ(SplitKeyPath(".url File"), std::vector<std::string>{".url File"});
}

}  // namespace
}  // namespace tarvik
