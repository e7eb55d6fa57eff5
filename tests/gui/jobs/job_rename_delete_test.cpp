// The job editor's commands on whole jobs: renaming and deleting a job, through the real widgets
// with scripted dialogs, on job files in a temporary application folder.
#include "job_editor_fixture.h"
#include "jobs/job_resume.h"
#include "jobs/seen_state.h"
#include "platform/text_file.h"

namespace tarvik {
namespace {

using namespace jobeditor_test;

// ---- Renaming ----------------------------------------------------------------------------------

TEST_F(JobEditorTest, RenamingToTheSameNameOrNothingDoesNothing) {
  WriteJobs({{"A", kNews}});
  auto e = Open(0);
  dialogs_.AnswerInput("A");
  e->cmdName().clicked();
  Pump();
  dialogs_.AnswerInput("");
  e->cmdName().clicked();
  Pump();
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(dialogs_.shown[0].kind, "input");
  EXPECT_EQ(dialogs_.shown[0].text, "新しい名前を入力してください");
  EXPECT_EQ(dialogs_.shown[0].caption, "ジョブ名の変更");
  EXPECT_EQ(dialogs_.shown[0].default_text, "A");
  EXPECT_EQ(dialogs_.shown[1].kind, "input");
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_EQ(OnDisk("A"), kNews);
}

TEST_F(JobEditorTest, RenamingToAnInvalidNameIsRefused) {
  WriteJobs({{"A", kNews}});
  auto e = Open(0);
  for (const char* bad : {"A:B", "A\r\nB", "A\nB"}) {
    SCOPED_TRACE(bad);
    dialogs_.shown.clear();
    dialogs_.AnswerInput(bad);
    e->cmdName().clicked();
    Pump();
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    ExpectMessage(1, "ファイル名に使用できない文字が含まれています。", "エラー", MsgIcon::Critical);
  }
  EXPECT_EQ(SelectorItems(*e), std::vector<std::string>{"A"});
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"A"});
  EXPECT_EQ(OnDisk("A"), kNews);
}

TEST_F(JobEditorTest, RenamingOntoAnotherJobIsRefusedAndBothJobsStay) {
  const Entries b = {{"b", "http://b/"}};
  WriteJobs({{"A", kNews}, {"B", b}});
  ASSERT_TRUE(WriteJobFile(app_.path(), "Unlisted", b));
  auto e = Open(0);
  dialogs_.AnswerInput("B");
  e->cmdName().clicked();
  Pump();
  ExpectMessage(1, "ジョブ「B」は既に存在します。\r\n別の名前を指定してください。", "エラー",
                MsgIcon::Exclamation);
  dialogs_.AnswerInput("Unlisted");
  e->cmdName().clicked();
  Pump();
  ExpectMessage(3, "ジョブ「Unlisted」は既に存在します。\r\n別の名前を指定してください。", "エラー",
                MsgIcon::Exclamation);
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(OnDisk("A"), kNews);
  EXPECT_EQ(OnDisk("B"), b);
  EXPECT_EQ(OnDisk("Unlisted"), b);
}

TEST_F(JobEditorTest, RenamingAJobWhoseFileHasGoneIsRefused) {
  WriteJobs({{"A", kNews}, {"B", kNews}});
  auto e = Open(1);
  ASSERT_EQ(g_unlink(JobFilePath(app_.path(), "B").c_str()), 0);
  e->cmdName().clicked();
  Pump();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0, "該当するジョブファイルがありません", "エラー", MsgIcon::Critical);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_FALSE(OnDisk("B"));
}

TEST_F(JobEditorTest, RenameKeepsTheListOrderAndTheUnsavedEdits) {
  const Entries a = {{"a", "http://a/"}}, c = {{"c", "http://c/"}};
  WriteJobs({{"A", a}, {"B", kNews}, {"C", c}});
  auto e = Open(1);
  e->txtTitle().set_text("unsaved");
  e->txtURL().set_text("http://unsaved/");
  e->cmdAdd().clicked();
  Pump();

  // Cancel at the question changes nothing.
  dialogs_.AnswerInput("Renamed");
  dialogs_.AnswerMessage(MsgResult::Cancel);
  e->cmdName().clicked();
  Pump();
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectMessage(
      1,
      "以下のようにジョブの名称を変更します。\r\nこの変更はすぐに反映されます。\r\n\r\nB → Renamed",
      "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[1].buttons, MsgButtons::OKCancel);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B", "C"}));

  dialogs_.AnswerInput("Renamed");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdName().clicked();
  Pump();
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "Renamed", "C"}));
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"A", "Renamed", "C"}));
  EXPECT_EQ(e->cboJob().get_active_row_number(), 1);
  EXPECT_EQ(e->RenameOldName(), "B");
  EXPECT_EQ(e->RenameNewName(), "Renamed");
  EXPECT_FALSE(OnDisk("B"));
  EXPECT_EQ(OnDisk("Renamed"), kNews) << "the file moved; the edits are not saved yet";
  EXPECT_EQ(OnDisk("A"), a);
  EXPECT_EQ(OnDisk("C"), c);
  EXPECT_EQ(e->Rows().size(), 4u);

  Save(*e);
  ASSERT_TRUE(OnDisk("Renamed"));
  EXPECT_EQ(OnDisk("Renamed")->size(), 4u);
  EXPECT_FALSE(OnDisk("B"));
}

TEST_F(JobEditorTest, RenameKeepsJobsAnotherProcessListedMeanwhile) {
  WriteJobs({{"A", kNews}, {"B", kNews}});
  auto e = Open(1);
  // Another Tarvik lists job C while the editor is open; the editor's selector still shows A, B.
  ASSERT_TRUE(WriteJobFile(app_.path(), "C", kNews));
  ASSERT_TRUE(AppendJobName(app_.path(), "C"));
  dialogs_.AnswerInput("B2");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdName().clicked();
  Pump();
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B2", "C"}));
  EXPECT_EQ(OnDisk("B2"), kNews);
  EXPECT_EQ(OnDisk("C"), kNews);
}

TEST_F(JobEditorTest, CancelAfterARenameKeepsTheRename) {
  WriteJobs({{"A", kNews}});
  auto e = Open(0);
  dialogs_.AnswerInput("Z");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdName().clicked();
  Pump();
  e->cmdCancel().clicked();
  EXPECT_TRUE(e->closed());
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Z"});
  EXPECT_EQ(OnDisk("Z"), kNews);
  EXPECT_FALSE(OnDisk("A"));
}

// ---- Deleting jobs -----------------------------------------------------------------------------

TEST_F(JobEditorTest, DeletingTheFirstJobSelectsTheNewFirst) {
  const Entries b = {{"b", "http://b/"}};
  WriteJobs({{"A", kNews}, {"B", b}, {"C", kNews}});
  auto e = Open(0);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  Pump();
  ExpectMessage(0, "ジョブ「A」を削除します。\r\nよろしいですか？", "確認", MsgIcon::Question);
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::OKCancel);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"B", "C"}));
  EXPECT_FALSE(OnDisk("A"));
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(e->cboJob().get_active_text(), "B");
  EXPECT_EQ(e->EditJobIdx(), 0);
  EXPECT_EQ(e->Rows(), b);
}

TEST_F(JobEditorTest, DeletingTheMiddleJobSelectsTheOneBefore) {
  const Entries a = {{"a", "http://a/"}};
  WriteJobs({{"A", a}, {"B", kNews}, {"C", kNews}});
  auto e = Open(1);
  dialogs_.AnswerMessage(MsgResult::Cancel);
  e->cmdKillJob().clicked();
  Pump();
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(OnDisk("B"), kNews);

  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  Pump();
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "C"}));
  EXPECT_FALSE(OnDisk("B"));
  EXPECT_EQ(e->cboJob().get_active_text(), "A");
  EXPECT_EQ(e->Rows(), a);
  EXPECT_EQ(e->EditEntries(), a);
}

TEST_F(JobEditorTest, DeletingTheOnlyJobEmptiesEverything) {
  WriteJobs({{"Only", kNews}});
  auto e = Open(0);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  Pump();
  EXPECT_EQ(ReadJobList(app_.path()), std::vector<std::string>{});
  EXPECT_FALSE(OnDisk("Only"));
  EXPECT_TRUE(SelectorItems(*e).empty());
  EXPECT_TRUE(e->Rows().empty());
  EXPECT_EQ(e->EditLastIdx(), -1);
  // With no job left, OK closes without a word.
  e->cmdOK().clicked();
  Pump();
  EXPECT_TRUE(e->closed());
  EXPECT_EQ(dialogs_.shown.size(), 1u);
}

TEST_F(JobEditorTest, DeletingAJobWhoseFileHasGoneIsRefused) {
  WriteJobs({{"A", kNews}, {"B", kNews}});
  auto e = Open(1);
  ASSERT_EQ(g_unlink(JobFilePath(app_.path(), "B").c_str()), 0);
  e->cmdKillJob().clicked();
  Pump();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectMessage(0, "該当するジョブファイルがありません", "エラー", MsgIcon::Critical);
  EXPECT_EQ(ListOnDisk(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(SelectorItems(*e), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(OnDisk("A"), kNews);
}

TEST_F(JobEditorTest, DeletedJobsEntriesNeverStayUnderTheNextJob) {
  // The job that becomes selected has lost its file; its name must not show the deleted job's
  // entries, or a save would write them into it.
  WriteJobs({{"A", kNews}, {"B", {{"b", "http://b/"}}}});
  ASSERT_EQ(g_unlink(JobFilePath(app_.path(), "A").c_str()), 0);
  auto e = Open(1);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  Pump();
  ExpectMessage(1, "該当するジョブファイルがありません", "エラー", MsgIcon::Critical);
  EXPECT_EQ(e->cboJob().get_active_text(), "A");
  EXPECT_TRUE(e->Rows().empty());
  e->cmdRefresh().clicked();
  Pump();
  ExpectMessage(2, "ジョブ「A」にはURLが\r\n一件も登録されていません。", "エラー",
                MsgIcon::Exclamation);
  EXPECT_FALSE(OnDisk("A"));
}

// ---- The trash and the resume points ----------------------------------------------------------

TEST_F(JobEditorTest, ADeletedJobGoesToTheTrashAndForgetsWhereItWasLeft) {
  WriteJobs({{"Trashed", kNews}, {"Kept", kNews}});
  RememberResumePoint("Trashed", {1, "http://x/"});
  RememberResumePoint("Kept", {1, "http://y/"});
  const std::string trashed = data_home_ + "/Trash/files/Trashed.tvj";
  g_remove(trashed.c_str());
  auto e = Open(0);
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  Pump();
  EXPECT_FALSE(OnDisk("Trashed"));
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"Kept"});
  std::optional<std::string> bytes = ReadFileBytes(trashed);
  ASSERT_TRUE(bytes) << "not in the trash: " << trashed;
  EXPECT_EQ(ParseJobFile(*bytes).entries, kNews);
  EXPECT_TRUE(g_file_test((data_home_ + "/Trash/info/Trashed.tvj.trashinfo").c_str(),
                          G_FILE_TEST_IS_REGULAR));
  EXPECT_FALSE(RecallResumePoint("Trashed"));
  EXPECT_TRUE(RecallResumePoint("Kept"));
  g_remove(trashed.c_str());
  g_remove((data_home_ + "/Trash/info/Trashed.tvj.trashinfo").c_str());
}

TEST_F(JobEditorTest, RenamingAJobCarriesWhereItWasLeftAndWhatWasSeen) {
  WriteJobs({{"Old", kNews}});
  RememberResumePoint("Old", {1, "http://x/"});
  SeenState seen;
  seen.At(kNews[0].URL).seen_at = 100;
  ASSERT_TRUE(SaveSeenState(app_.path(), "Old", seen, {kNews[0].URL}).ok);
  auto e = Open(0);
  dialogs_.AnswerInput("New");
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdName().clicked();
  Pump();
  EXPECT_EQ(ListOnDisk(), std::vector<std::string>{"New"});
  EXPECT_FALSE(RecallResumePoint("Old"));
  EXPECT_EQ(RecallResumePoint("New"), (ResumePoint{1, "http://x/"}));
  EXPECT_EQ(ReadSeenState(app_.path(), "New").state, seen);
  EXPECT_FALSE(FileExists(SeenStatePath(app_.path(), "Old")));

  // A deleted job's marks go with it, so that a new job of its name starts without them.
  dialogs_.AnswerMessage(MsgResult::OK);
  e->cmdKillJob().clicked();
  Pump();
  EXPECT_FALSE(FileExists(SeenStatePath(app_.path(), "New")));
}

}  // namespace
}  // namespace tarvik
