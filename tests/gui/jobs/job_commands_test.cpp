// The job commands of the main window (edit, new job, favorites-folder import), driven through
// the real editor with scripted dialogs.
#include "job_editor_fixture.h"

namespace tarvik {
namespace {

using namespace jobeditor_test;

// ---- Edit job from the main window -------------------------------------------------------------

TEST_F(JobEditorTest, EditJobOpensOnTheSelectedJobAndReloadsTheMainWindowAfter) {
  WriteJobs({{"A", kNews}, {"B", {{"b", "http://b/"}}}, {"C", kNews}});
  host_.LoadJobList(1);
  host_.calls.clear();
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_TRUE(e.get_modal());
    EXPECT_EQ(e.get_transient_for(), &host_.window);
    EXPECT_EQ(e.cboJob().get_active_text(), "B");
    // Delete the selected job: the main window's index 1 then names C.
    dialogs_.AnswerMessage(MsgResult::OK);
    e.cmdKillJob().clicked();
    Pump();
    e.cmdCancel().clicked();
  });
  mnuEditJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:1", "LoadSelectedJob:true"}));
  EXPECT_EQ(host_.items, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(host_.index, 1);
}

TEST_F(JobEditorTest, EditJobWithNothingSelectedOnlyReloadsTheList) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(-1);
  host_.calls.clear();
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_row_number(), -1);
    e.cmdOK().clicked();
    Pump();
  });
  mnuEditJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(host_.calls, std::vector<std::string>{"LoadJobList:-1"});
  EXPECT_TRUE(dialogs_.shown.empty());
}

// ---- New job -----------------------------------------------------------------------------------

TEST_F(JobEditorTest, NewJobWithTheDefaultNameOpensTheEditorOnIt) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(0);
  host_.calls.clear();
  dialogs_.AnswerInput("New Job");
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "New Job");
    EXPECT_EQ(e.EditJobIdx(), 1);
    EXPECT_TRUE(e.Rows().empty());
    EXPECT_FALSE(host_.new_job_flag) << "the flag is cleared when the editor opens";
    // No entries: OK refuses to close; after an entry it saves and closes.
    e.cmdOK().clicked();
    Pump();
    EXPECT_FALSE(e.closed());
    e.txtTitle().set_text("first");
    e.txtURL().set_text("http://first/");
    e.cmdAdd().clicked();
    Pump();
    dialogs_.AnswerMessage(MsgResult::OK);
    e.cmdOK().clicked();
    Pump();
  });
  mnuNewJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  ASSERT_GE(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].kind, "input");
  EXPECT_EQ(dialogs_.shown[0].text, "作成するジョブの名前を入力してください");
  EXPECT_EQ(dialogs_.shown[0].caption, "ジョブ名の入力");
  EXPECT_EQ(dialogs_.shown[0].default_text, "New Job");
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "New Job"}));
  EXPECT_EQ(OnDisk("New Job"), (Entries{{"first", "http://first/"}}));
  // The main window returns to the job it had selected.
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:0", "LoadSelectedJob:true"}));
  EXPECT_EQ(host_.index, 0);
}

// Another window listed a job after this window loaded its list: the editor still opens on the
// job New Job has just made, the list's last line.
TEST_F(JobEditorTest, NewJobOpensOnItsJobWhenTheSelectorIsBehindTheList) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(0);
  ASSERT_TRUE(AppendJobName(app_.path(), "FromOtherWindow"));
  ASSERT_TRUE(CreateEmptyJobFile(app_.path(), "FromOtherWindow"));
  dialogs_.AnswerInput("Mine");
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "Mine");
    EXPECT_EQ(e.EditJobIdx(), 2);
    e.cmdCancel().clicked();
  });
  mnuNewJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
}

TEST_F(JobEditorTest, NewJobCancelledInTheEditorLeavesTheEmptyJob) {
  dialogs_.AnswerInput("Fresh");
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "Fresh");
    e.cmdCancel().clicked();
  });
  mnuNewJob_Click(host_);  // no job list yet: it is created
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Fresh"});
  EXPECT_EQ(OnDisk("Fresh"), Entries{});
}

TEST_F(JobEditorTest, NewJobWithAnInvalidNameAsksAgain) {
  WriteJobs({{"A", kNews}});
  for (const char* bad : {"a/b", "a\\b", "what?"}) dialogs_.AnswerInput(bad);
  dialogs_.AnswerInput("");
  mnuNewJob_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 7u);
  for (size_t i = 1; i < 6; i += 2)
    ExpectMessage(i, "ファイル名に使用できない文字を\r\n含んでいます", "エラー",
                  MsgIcon::Exclamation);
  EXPECT_EQ(dialogs_.shown[6].kind, "input");
  EXPECT_EQ(dialogs_.shown[6].default_text, "New Job");
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(JobEditorTest, NewJobWithAnExistingNameAnsweredNoAsksAgain) {
  WriteJobs({{"A", kNews}});
  dialogs_.AnswerInput("A");
  dialogs_.AnswerMessage(MsgResult::No);
  dialogs_.AnswerInput("");
  mnuNewJob_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 3u);
  ExpectMessage(1, JobFilePath(app_.path(), "A") + "は既に存在しています。\r\n上書きしますか？",
                "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[1].buttons, MsgButtons::YesNo);
  EXPECT_EQ(OnDisk("A"), kNews);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
}

TEST_F(JobEditorTest, NewJobWithAnExistingNameAnsweredYesEmptiesItAndListsItOnce) {
  WriteJobs({{"A", kNews}, {"B", kNews}});
  host_.LoadJobList(0);
  host_.calls.clear();
  dialogs_.AnswerInput("A");
  dialogs_.AnswerMessage(MsgResult::Yes);
  WhenEditorOpens drive([&](frmEditJob& e) {
    EXPECT_EQ(e.cboJob().get_active_text(), "A");
    EXPECT_EQ(e.EditJobIdx(), 0);
    EXPECT_TRUE(e.Rows().empty());
    e.cmdCancel().clicked();
  });
  mnuNewJob_Click(host_);
  EXPECT_EQ(drive.opened, 1);
  EXPECT_EQ(OnDisk("A"), Entries{});
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(host_.new_job_flag);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:0", "LoadSelectedJob:true"}));
}

// ---- Favorites-folder import -------------------------------------------------------------------

class ImportTest : public JobEditorTest {
 protected:
  // A folder named `name` inside the favorites folder.
  std::string Folder(const std::string& name) {
    std::string path = favorites_.file(name);
    EXPECT_EQ(g_mkdir(path.c_str(), 0700), 0);
    return path;
  }
  void ExpectConfirmation(size_t i, const std::string& name) {
    ExpectMessage(i, "新規ジョブ「" + name + "」を作成しますか？", "ｲﾝﾎﾟｰﾄの確認",
                  MsgIcon::Question);
    EXPECT_EQ(dialogs_.shown[i].buttons, MsgButtons::YesNo);
  }
  void ExpectDone(size_t i, const std::string& name) {
    ExpectMessage(i, "ジョブファイル「" + name + "」が作成されました", "ｲﾝﾎﾟｰﾄ完了",
                  MsgIcon::Information);
  }
};

TEST_F(ImportTest, ShortcutsBecomeEntriesAndOtherFilesAreIgnored) {
  WriteJobs({{"A", kNews}});
  host_.LoadJobList(0);
  host_.calls.clear();
  const std::string folder = Folder("Links");
  WriteBytes(folder + "/Alpha.url", "[InternetShortcut]\r\nURL=http://alpha.example/\r\n");
  WriteBytes(folder + "/notes.txt", "URL=http://notes.example/\r\n");
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  mnuImportFavFolder_Click(host_);

  ASSERT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_EQ(dialogs_.shown[0].kind, "folder");
  EXPECT_EQ(dialogs_.shown[0].caption, "「お気に入り」フォルダを選択してください。");
  EXPECT_EQ(dialogs_.shown[0].default_text, favorites_.path());
  ExpectConfirmation(1, "Links");
  ExpectDone(2, "Links");
  EXPECT_EQ(OnDisk("Links"), (Entries{{"Alpha", "http://alpha.example/"}}));
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "Links"}));
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"LoadJobList:0", "LoadSelectedJob:true"}));
}

TEST_F(ImportTest, NamesWithSeveralDotsAndALowerCaseKey) {
  const std::string folder = Folder("Sites");
  WriteBytes(folder + "/www.example.co.jp.url",
             "[InternetShortcut]\r\nurl=http://www.example.co.jp/\r\n");
  WriteBytes(folder + "/Second.URL", "[DEFAULT]\r\nBASEURL=http://base/\r\nURL=http://second/\r\n");
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  mnuImportFavFolder_Click(host_);
  auto disk = OnDisk("Sites");
  ASSERT_TRUE(disk);
  std::sort(disk->begin(), disk->end(),
            [](const JobEntry& a, const JobEntry& b) { return a.Title < b.Title; });
  EXPECT_EQ(*disk, (Entries{{"Second", "http://base/"},
                            {"www.example.co.jp", "http://www.example.co.jp/"}}));
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Sites"});
  // Nothing was selected in the main window, so nothing is re-read.
  EXPECT_EQ(host_.calls, std::vector<std::string>{"LoadJobList:-1"});
}

TEST_F(ImportTest, OverAnExistingJobReplacesItsEntriesAndKeepsOneListLine) {
  WriteJobs({{"Links", kNews}, {"B", kNews}});
  const std::string folder = Folder("Links");
  WriteBytes(folder + "/New.url", "URL=http://new/\r\n");

  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  dialogs_.AnswerMessage(MsgResult::No);
  mnuImportFavFolder_Click(host_);
  ExpectMessage(2, JobFilePath(app_.path(), "Links") + "は既に存在しています。\r\n上書きしますか？",
                "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_EQ(OnDisk("Links"), kNews);

  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  dialogs_.AnswerMessage(MsgResult::Yes);
  mnuImportFavFolder_Click(host_);
  ExpectDone(6, "Links");
  EXPECT_EQ(OnDisk("Links"), (Entries{{"New", "http://new/"}}));
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"Links", "B"}));
}

TEST_F(ImportTest, FolderWithoutValidFavoritesWritesNothing) {
  WriteJobs({{"Empty", kNews}});
  const std::string folder = Folder("Empty");
  WriteBytes(folder + "/NoKey.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  WriteBytes(folder + "/readme.txt", "URL=http://x/\r\n");
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::Yes);
  dialogs_.AnswerMessage(MsgResult::Yes);  // overwrite agreed, yet the job stays as it was
  mnuImportFavFolder_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 4u);
  ExpectMessage(3, "フォルダ「Empty」には有効なお気に入りファイルが一つも存在しません。", "エラー",
                MsgIcon::Exclamation);
  EXPECT_EQ(OnDisk("Empty"), kNews);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Empty"});
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ImportTest, CancelledFolderOrAnswerNoChangesNothing) {
  const std::string folder = Folder("Links");
  WriteBytes(folder + "/Alpha.url", "URL=http://alpha/\r\n");
  dialogs_.AnswerFolder(std::nullopt);
  mnuImportFavFolder_Click(host_);
  dialogs_.AnswerFolder(folder);
  dialogs_.AnswerMessage(MsgResult::No);
  mnuImportFavFolder_Click(host_);
  EXPECT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_FALSE(OnDisk("Links"));
  EXPECT_FALSE(JobListExists(app_.path()));
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ImportTest, RootFolderIsRefused) {
  dialogs_.AnswerFolder("/");
  mnuImportFavFolder_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(
      1,
      "ルートフォルダはインポートできません。\r\nお気に入りファイルのあるフォルダを選択してください。",
      "エラー", MsgIcon::Exclamation);
  EXPECT_FALSE(JobListExists(app_.path()));
  EXPECT_FALSE(OnDisk(""));
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ImportTest, FolderNameWithALineBreakIsRefused) {
  WriteJobs({{"A", kNews}});
  const std::string folder = Folder("two\nlines");
  WriteBytes(folder + "/Alpha.url", "URL=http://alpha/\r\n");
  dialogs_.AnswerFolder(folder);
  mnuImportFavFolder_Click(host_);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(1, "ファイル名に使用できない文字が含まれています。", "エラー", MsgIcon::Critical);
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_TRUE(host_.calls.empty());
}

}  // namespace
}  // namespace tarvik
