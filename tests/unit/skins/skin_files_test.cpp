#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "skins/skin_choice.h"
#include "skins/skin_files.h"
#include "skins/skin_state.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;
using Names = std::vector<std::string>;

void Touch(const std::string& path) {
  ASSERT_TRUE(g_file_set_contents(path.c_str(), "BM", 2, nullptr));
}
void MakeDir(const std::string& path) { ASSERT_EQ(g_mkdir_with_parents(path.c_str(), 0755), 0); }

// A skin folder holding `files`.
std::string MakeSkin(const std::string& app, const std::string& name, const Names& files) {
  const std::string folder = SkinFolder(app, name);
  MakeDir(folder);
  for (const auto& f : files) Touch(folder + "/" + f);
  return folder;
}

Names AllFiles() { return Names(kSkinFiles.begin(), kSkinFiles.end()); }

Names Without(Names files, const std::string& gone) {
  std::erase(files, gone);
  return files;
}

TEST(SkinFolder, AllEighteenFilesMakeItComplete) {
  TempDir app;
  EXPECT_TRUE(IsSkinFolderComplete(MakeSkin(app.path(), "Full", AllFiles())));
}

TEST(SkinFolder, AnyOneMissingFileMakesItIncomplete) {
  TempDir app;
  for (const char* gone : kSkinFiles)
    EXPECT_FALSE(IsSkinFolderComplete(
        MakeSkin(app.path(), std::string("No") + gone, Without(AllFiles(), gone))))
        << gone;
}

TEST(SkinFolder, NamesMatchInAnyLetterCase) {
  TempDir app;
  Names lower, upper;
  for (const char* f : kSkinFiles) {
    std::string s = f;
    for (char& c : s) c = static_cast<char>(g_ascii_tolower(c));
    lower.push_back(s);
    for (char& c : s) c = static_cast<char>(g_ascii_toupper(c));
    upper.push_back(s);
  }
  const std::string a = MakeSkin(app.path(), "Lower", lower);
  EXPECT_TRUE(IsSkinFolderComplete(a));
  EXPECT_TRUE(IsSkinFolderComplete(MakeSkin(app.path(), "Upper", upper)));
  EXPECT_EQ(ResolveSkinFile(a, "ClbBack.bmp"), a + "/clbback.bmp");
  EXPECT_EQ(ResolveSkinFile(a, "NotThere.bmp"), std::nullopt);
}

TEST(SkinFolder, ExactNameWinsOverOtherCases) {
  TempDir app;
  const std::string folder =
      MakeSkin(app.path(), "Both", {"clbback.bmp", "ClbBack.bmp", "CLBBACK.BMP"});
  EXPECT_EQ(ResolveSkinFile(folder, "ClbBack.bmp"), folder + "/ClbBack.bmp");
  EXPECT_EQ(ResolveSkinFile(folder, "Clbback.bmp"), folder + "/CLBBACK.BMP");
}

TEST(SkinFolder, ExtraFilesAreIgnored) {
  TempDir app;
  Names files = AllFiles();
  files.push_back("readme.txt");
  files.push_back("ClbBack.png");
  EXPECT_TRUE(IsSkinFolderComplete(MakeSkin(app.path(), "Extra", files)));
}

TEST(SkinFolder, DirectoriesAndHiddenFilesDoNotCount) {
  TempDir app;
  const std::string folder = MakeSkin(app.path(), "Odd", Without(AllFiles(), "DirBtn3.bmp"));
  MakeDir(folder + "/DirBtn3.bmp");
  EXPECT_FALSE(IsSkinFolderComplete(folder));
  EXPECT_EQ(ResolveSkinFile(folder, "DirBtn3.bmp"), std::nullopt);
  Touch(folder + "/.DirBtn3.bmp");
  EXPECT_FALSE(IsSkinFolderComplete(folder));
}

TEST(SkinFolder, MissingFolderOrPlainFileIsIncomplete) {
  TempDir app;
  EXPECT_FALSE(IsSkinFolderComplete(app.file("nothing")));
  Touch(app.file("plain"));
  EXPECT_FALSE(IsSkinFolderComplete(app.file("plain")));
}

TEST(SkinMenu, ListsFoldersAndPlainFilesSortedWithoutDefault) {
  TempDir app;
  for (const char* name :
       {"default", "Default", "DEFAULT", "sakura", "abc", "夜", "skin10", "skin9"})
    MakeDir(SkinFolder(app.path(), name));
  Touch(SkinFolder(app.path(), "notes.txt"));
  Touch(SkinFolder(app.path(), ".hidden"));
  MakeDir(SkinFolder(app.path(), ".hidden-folder"));
  // File-name collation: numbers compare as numbers. (How letter case orders depends on the
  // locale, so the names here share one case.)
  EXPECT_EQ(ListSkinMenuEntries(app.path()),
            (Names{"abc", "notes.txt", "sakura", "skin9", "skin10", "夜"}));
}

TEST(SkinMenu, ListingTwiceGivesTheSameAndPicksUpANewFolder) {
  TempDir app;
  MakeDir(SkinFolder(app.path(), "One"));
  const Names first = ListSkinMenuEntries(app.path());
  EXPECT_EQ(first, ListSkinMenuEntries(app.path()));
  MakeDir(SkinFolder(app.path(), "Two"));
  EXPECT_EQ(ListSkinMenuEntries(app.path()), (Names{"One", "Two"}));
}

TEST(SkinMenu, MissingSkinsFolderListsNothing) {
  TempDir app;
  EXPECT_TRUE(ListSkinMenuEntries(app.path()).empty());
}

class SkinChoice : public testing::Test {
 protected:
  void SetUp() override { CurrentSkinName() = "previous"; }
  void TearDown() override { CurrentSkinName().clear(); }
  std::string Stored() {
    return settings.Get(setting::kSkin.section, setting::kSkin.key, "<absent>");
  }

  TempDir app;
  TempDir config;
  SettingsStore settings{config.file("settings.ini")};
};

TEST_F(SkinChoice, EmptySettingEmptiesTheCurrentNameAndChangesNothing) {
  SkinToApply d = DecideSkinToApply(settings, app.path());
  EXPECT_EQ(d.kind, SkinToApply::Kind::kNone);
  EXPECT_EQ(CurrentSkinName(), "");
  EXPECT_EQ(Stored(), "<absent>");
}

TEST_F(SkinChoice, CompleteSkinIsToBeApplied) {
  const std::string folder = MakeSkin(app.path(), "Sakura", AllFiles());
  settings.Save(setting::kSkin.section, setting::kSkin.key, "Sakura");
  SkinToApply d = DecideSkinToApply(settings, app.path());
  EXPECT_EQ(d.kind, SkinToApply::Kind::kApply);
  EXPECT_EQ(d.folder, folder);
  EXPECT_EQ(CurrentSkinName(), "previous");  // until its pictures are applied
  EXPECT_EQ(Stored(), "Sakura");
}

TEST_F(SkinChoice, DeletedOrIncompleteSkinEmptiesTheSettingAndKeepsTheCurrentName) {
  settings.Save(setting::kSkin.section, setting::kSkin.key, "Gone");
  EXPECT_EQ(DecideSkinToApply(settings, app.path()).kind, SkinToApply::Kind::kSettingCleared);
  EXPECT_EQ(Stored(), "");
  EXPECT_EQ(CurrentSkinName(), "previous");

  MakeSkin(app.path(), "Half", Without(AllFiles(), "PktIcon1.bmp"));
  settings.Save(setting::kSkin.section, setting::kSkin.key, "Half");
  EXPECT_EQ(DecideSkinToApply(settings, app.path()).kind, SkinToApply::Kind::kSettingCleared);
  EXPECT_EQ(Stored(), "");
  EXPECT_EQ(CurrentSkinName(), "previous");
}

TEST_F(SkinChoice, DefaultItemIsTakenWithoutACheckAndMakesTheSkinsFolder) {
  SkinSelection s = SelectSkin(app.path(), 0, "ﾃﾞﾌｫﾙﾄ(&D)");
  EXPECT_TRUE(s.accepted);
  EXPECT_EQ(s.name, "default");
  // Stored only once it applied (ApplyChosenSkin).
  EXPECT_EQ(CurrentSkinName(), "previous");
  EXPECT_EQ(Stored(), "<absent>");
  EXPECT_TRUE(g_file_test(SkinsFolder(app.path()).c_str(), G_FILE_TEST_IS_DIR));
}

TEST_F(SkinChoice, CompleteFolderIsTakenByItsName) {
  MakeSkin(app.path(), "夜", AllFiles());
  SkinSelection s = SelectSkin(app.path(), 2, "夜");
  EXPECT_TRUE(s.accepted);
  EXPECT_EQ(s.name, "夜");
}

TEST_F(SkinChoice, FolderWithABackslashInItsNameIsStoredWhole) {
  MakeSkin(app.path(), "a\\b", AllFiles());
  EXPECT_EQ(SelectSkin(app.path(), 1, "a\\b").name, "a\\b");
}

TEST_F(SkinChoice, IncompleteFolderOrPlainFileIsRefusedAndNothingChanges) {
  MakeSkin(app.path(), "Seventeen", Without(AllFiles(), "OprBtnD.bmp"));
  Touch(SkinFolder(app.path(), "notes.txt"));
  settings.Save(setting::kSkin.section, setting::kSkin.key, "kept");
  for (const char* caption : {"Seventeen", "notes.txt", "vanished", "", ".", ".."}) {
    SkinSelection s = SelectSkin(app.path(), 1, caption);
    EXPECT_FALSE(s.accepted) << caption;
    EXPECT_EQ(s.message, "スキンデータが無効です。");
    EXPECT_EQ(s.caption, "エラー");
    EXPECT_EQ(Stored(), "kept");
    EXPECT_EQ(CurrentSkinName(), "previous");
  }
}

}  // namespace
}  // namespace tarvik
