#include "system/mod_relation.h"

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"
#include "unit/system/recording_registry.h"

namespace tarvik {
namespace {

using test::RegistryChange;

constexpr char kExe[] = "/opt/Tarvik App/tarvik";
const std::string kJ = "\"/opt/Tarvik App/tarvik\" /j %1";
const std::string kU = "\"/opt/Tarvik App/tarvik\" /u %1";
const std::string kH = "\"/opt/Tarvik App/tarvik\" /h %1";

RegistryChange W(std::string key, std::string name, std::string data) {
  return {"write", std::move(key), std::move(name), std::move(data)};
}
RegistryChange D(std::string key, std::string sub) {
  return {"delete", std::move(key), std::move(sub), ""};
}

class RelationTest : public ::testing::Test {
 protected:
  std::vector<RegistryChange> Start() {
    registry.changes.clear();
    RegisterAssociations(registry, settings, kExe);
    return registry.changes;
  }
  std::string Done() { return settings.Get("Setting", "RelationDone", "(absent)"); }

  test::TempDir dir;
  KeyFileClassRegistry store{dir.file("classes.ini")};
  test::RecordingRegistry registry{store};
  SettingsStore settings{dir.file("settings.ini")};
};

TEST_F(RelationTest, FirstStartWritesTheWholeTableInOrder) {
  const std::vector<RegistryChange> expected = {
      W(".tvj", "", "TarvikJobFile"),
      W(".tvj", "Content Type", "text/plain"),
      W("TarvikJobFile", "", "Tarvikｼﾞｮﾌﾞﾌｧｲﾙ"),
      W("TarvikJobFile\\shell\\open\\command", "", kJ),
      W("TarvikJobFile\\DefaultIcon", "", std::string(kExe) + ",1"),
      W(".url", "", ".url File"),
      W(".url File", "", ".urlﾌｧｲﾙ"),
      W(".url File\\shell\\OpenWithTarvik\\command", "", kU),
      W(".url File\\shell\\OpenWithTarvik", "", "Tarvikで開く(&B)"),
      W(".htm", "", ".htm File"),
      W(".htm File", "", ".htmﾌｧｲﾙ"),
      W(".htm File\\shell\\OpenWithTarvik\\command", "", kH),
      W(".htm File\\shell\\OpenWithTarvik", "", "Tarvikで開く(&B)"),
      W("http\\shell\\OpenWithTarvik\\command", "", kH),
      W("http\\shell\\OpenWithTarvik", "", "Tarvikで開く(&B)"),
  };
  EXPECT_EQ(Start(), expected);
  EXPECT_EQ(Done(), "1.20.0000");
  // What was written is what the store holds.
  EXPECT_EQ(RegReadString(store, ".url File\\shell\\OpenWithTarvik\\command", ""), kU);

  EXPECT_TRUE(Start().empty()) << "a second start writes nothing";
  EXPECT_EQ(Done(), "1.20.0000");
}

TEST_F(RelationTest, ExistingTypesCarryTheVerbAndKeepTheirExtensionKeys) {
  ASSERT_TRUE(store.Write(".htm", "", "htmlfile"));
  ASSERT_TRUE(store.Write(".url", "", "InternetShortcut"));
  const auto changes = Start();
  for (const auto& c : changes) {
    EXPECT_NE(c.key, ".htm") << c;
    EXPECT_NE(c.key, ".url") << c;
  }
  EXPECT_EQ(RegReadString(store, ".htm", ""), "htmlfile");
  EXPECT_EQ(RegReadString(store, "htmlfile\\shell\\OpenWithTarvik\\command", ""), kH);
  EXPECT_EQ(RegReadString(store, "htmlfile\\shell\\OpenWithTarvik", ""), "Tarvikで開く(&B)");
  EXPECT_EQ(RegReadString(store, "InternetShortcut\\shell\\OpenWithTarvik\\command", ""), kU);
  EXPECT_FALSE(store.KeyExists(".htm File"));
  EXPECT_FALSE(store.KeyExists(".url File"));
}

TEST_F(RelationTest, TrueReplacesTheCaptionNamedVerbsAndLeavesJobFilesAlone) {
  ASSERT_TRUE(store.Write(".url", "", "InternetShortcut"));
  ASSERT_TRUE(store.Write("InternetShortcut\\shell\\Tarvikで開く(&B)\\command", "", "old u"));
  ASSERT_TRUE(store.Write(".htm", "", "htmlfile"));
  ASSERT_TRUE(store.Write("htmlfile\\shell\\Tarvikで開く(&B)\\command", "", "old h"));
  ASSERT_TRUE(store.Write("htmlfile\\shell\\open\\command", "", "viewer %1"));
  settings.Save("Setting", "RelationDone", "True");

  const std::vector<RegistryChange> expected = {
      D("InternetShortcut\\shell", "Tarvikで開く(&B)"),
      D("htmlfile\\shell", "Tarvikで開く(&B)"),
      W("InternetShortcut\\shell\\OpenWithTarvik\\command", "", kU),
      W("InternetShortcut\\shell\\OpenWithTarvik", "", "Tarvikで開く(&B)"),
      W("htmlfile\\shell\\OpenWithTarvik\\command", "", kH),
      W("htmlfile\\shell\\OpenWithTarvik", "", "Tarvikで開く(&B)"),
      W("http\\shell\\OpenWithTarvik\\command", "", kH),
      W("http\\shell\\OpenWithTarvik", "", "Tarvikで開く(&B)"),
  };
  EXPECT_EQ(Start(), expected);
  EXPECT_FALSE(store.KeyExists("InternetShortcut\\shell\\Tarvikで開く(&B)"));
  EXPECT_FALSE(store.KeyExists("htmlfile\\shell\\Tarvikで開く(&B)\\command"))
      << "the old verb goes with its command";
  EXPECT_EQ(RegReadString(store, "htmlfile\\shell\\open\\command", ""), "viewer %1");
  EXPECT_FALSE(store.KeyExists(".tvj"));
  EXPECT_FALSE(store.KeyExists("TarvikJobFile"));
  EXPECT_EQ(Done(), "1.20.0000");
}

TEST_F(RelationTest, OtherMarkersMeanDone) {
  for (const char* marker :
       {"false", "FALSE", "true", "TRUE", " False", "True ", "", "0", "1.20.0000", "1.22.0000"}) {
    settings.Save("Setting", "RelationDone", marker);
    EXPECT_TRUE(Start().empty()) << '"' << marker << '"';
    EXPECT_EQ(Done(), marker) << "the marker is left as it was";
  }
  EXPECT_FALSE(store.KeyExists(".tvj"));
}

TEST_F(RelationTest, ARegistrationThatCannotBeStoredIsMadeAgainNextTime) {
  ASSERT_TRUE(WriteFileAtomically(dir.file("blocked"), "not a folder"));
  KeyFileClassRegistry blocked(dir.file("blocked/classes.ini"));
  RegisterAssociations(blocked, settings, kExe);
  EXPECT_EQ(Done(), "(absent)");
}

TEST_F(RelationTest, FalseRegistersAgain) {
  Start();
  settings.Save("Setting", "RelationDone", "False");
  EXPECT_EQ(Start().size(), 11u) << "the types made on the first start are reused";
  EXPECT_EQ(Done(), "1.20.0000");
}

TEST_F(RelationTest, RemoveVerbWithoutATypeTouchesNothing) {
  ASSERT_TRUE(store.Write("shell\\OpenWithTarvik\\command", "", "someone else's"));
  RemoveVerb(registry, ".url", "OpenWithTarvik");
  SetDefaultVerb(registry, ".htm");
  EXPECT_TRUE(registry.changes.empty());
  EXPECT_TRUE(store.KeyExists("shell\\OpenWithTarvik\\command"));
}

TEST_F(RelationTest, RegisterFileTypeWritesTheIconIndexInDecimal) {
  RegisterFileType(registry, ".abc", "AbcFile", "d", "text/plain", "edit", "/x", "/bin/p",
                   "/icons/p", -12);
  EXPECT_EQ(RegReadString(store, "AbcFile\\DefaultIcon", ""), "/icons/p,-12");
  EXPECT_EQ(RegReadString(store, "AbcFile\\shell\\edit\\command", ""), "\"/bin/p\" /x %1");
}

class DefaultBrowserTest : public RelationTest {
 protected:
  void SetUp() override {
    Start();
    registry.changes.clear();
  }

  std::vector<std::string> asked;
  AskFunction Answer(MsgResult answer) {
    return [this, answer](const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) {
      asked.push_back(text);
      EXPECT_EQ(caption, "確認");
      EXPECT_EQ(icon, MsgIcon::Question);
      EXPECT_EQ(buttons, MsgButtons::YesNo);
      return answer;
    };
  }
};

TEST_F(DefaultBrowserTest, YesMakesTheVerbTheDefaultOfAllThree) {
  MakeDefaultBrowser(registry, Answer(MsgResult::Yes));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0],
            "Tarvikをデフォルトブラウザ（通常使用するブラウザ）\r\nに設定してもよろしいですか？");
  const std::vector<RegistryChange> expected = {
      W(".htm File\\shell", "", "OpenWithTarvik"),
      W(".url File\\shell", "", "OpenWithTarvik"),
      W("http\\shell", "", "OpenWithTarvik"),
  };
  EXPECT_EQ(registry.changes, expected);
  EXPECT_EQ(Done(), "1.20.0000") << "the command keeps no state of its own";

  registry.changes.clear();
  MakeDefaultBrowser(registry, Answer(MsgResult::Yes));
  EXPECT_EQ(registry.changes, expected) << "the command can be repeated";
}

TEST_F(DefaultBrowserTest, NoChangesNothing) {
  for (MsgResult answer : {MsgResult::No, MsgResult::Cancel}) {
    MakeDefaultBrowser(registry, Answer(answer));
    EXPECT_TRUE(registry.changes.empty());
  }
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(RegReadString(store, "http\\shell", ""), "");
}

TEST(ExecutablePathTest, IsTheRealPathOfThisProgram) {
  std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.find("test_system"), std::string::npos) << path;
}

}  // namespace
}  // namespace tarvik
