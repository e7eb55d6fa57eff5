#include "jobs/job_commands.h"

#include <gtkmm/window.h>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "favorites/favorites_folder.h"
#include "jobs/frm_edit_job.h"
#include "jobs/job_editing.h"
#include "jobs/job_files.h"
#include "jobs/job_host.h"
#include "jobs/job_plan.h"
#include "jobs/jobs_folder_choice.h"
#include "jobs/jobs_service.h"
#include "jobs/outside_job_file.h"
#include "jobs/shortcut_folder_export.h"
#include "jobs/work_progress.h"
#include "platform/dialogs.h"
#include "platform/path_util.h"

namespace tarvik {

namespace {

std::string OverwriteQuestion(const std::string& jobs_folder, const std::string& name) {
  return JobFilePath(jobs_folder, name) + "は既に存在しています。\r\n上書きしますか？";
}

// The index of the job list's first line that is `name`. A name the list already holds is not
// added again: one job, one line.
std::optional<int> ListedIndex(const std::string& jobs_folder, const std::string& name) {
  std::optional<std::vector<std::string>> names = ReadJobList(jobs_folder);
  if (!names) return std::nullopt;
  auto it = std::find(names->begin(), names->end(), name);
  if (it == names->end()) return std::nullopt;
  return static_cast<int>(it - names->begin());
}

// Shows the editor with job `preselect` chosen, then brings the main window up to date: the
// index, not the name, identifies its job across the edit.
std::set<const JobHost*>& HostsWithEditorOpen() {
  static std::set<const JobHost*> hosts;
  return hosts;
}

void OpenEditor(JobHost& host, int preselect) {
  const int selected = host.JobSelectorIndex();
  {
    HostsWithEditorOpen().insert(&host);
    struct Closed {
      JobHost* host;
      ~Closed() { HostsWithEditorOpen().erase(host); }
    } closed{&host};
    frmEditJob editor(&host.job_window(), host.FirstWindowBrowser(), host.jobs_service().folder());
    editor.SpcfIdx = preselect;
    editor.Form_Load();
    // A close the user took back (edits not to be thrown away) leaves the editor open.
    do editor.run();
    while (!editor.closed() && editor.get_visible());
  }
  host.LoadJobList(selected);
  if (host.JobSelected()) host.LoadSelectedJob(true);
}

}  // namespace

bool EditorOpenFor(const JobHost& host) { return HostsWithEditorOpen().count(&host) > 0; }

void mnuEditJob_Click(JobHost& host) {
  int preselect = host.JobSelectorIndex();
  if (host.NewJobFlag()) {
    // New Job has just listed the job as the list's last line. The selector may not show every
    // line: another window may have listed jobs since this one loaded its list.
    std::optional<std::vector<std::string>> names = ReadJobList(host.jobs_service().folder());
    preselect = names ? static_cast<int>(names->size()) - 1 : host.JobSelectorCount();
  }
  host.SetNewJobFlag(false);
  OpenEditor(host, preselect);
}

std::string JobNotCreatedMessage(const std::string& name, const std::string& reason) {
  return "ジョブ「" + name + "」を作成できませんでした。\r\n" + reason;
}

std::string AskNewJobName(JobHost& host) {
  const std::string jobs_folder = host.jobs_service().folder();
  for (;;) {
    std::string name = AppDialogs().InputBox(
        &host.job_window(), "作成するジョブの名前を入力してください", "ジョブ名の入力", "New Job");
    if (name.empty()) return name;
    if (!IsValidJobName(name)) {
      ShowError(&host.job_window(), "ファイル名に使用できない文字を\r\n含んでいます");
      continue;
    }
    if (JobFileExists(jobs_folder, name) &&
        AppDialogs().MessageBox(&host.job_window(), OverwriteQuestion(jobs_folder, name),
                                kConfirmCaption, MsgIcon::Question,
                                MsgButtons::YesNo) == MsgResult::No)
      continue;
    return name;
  }
}

std::string CreateJobWithEntries(JobHost& host, const std::vector<JobEntry>& entries) {
  const std::string name = AskNewJobName(host);
  if (name.empty()) return name;
  // The user agreed to replace a job of that name; a listed one keeps its one line.
  const PlanOutcome made =
      CarryOutJobPlan(host.jobs_service().folder(), JobPlan{{PlannedJob{name, entries, true}}});
  if (!made.done() || made.names.empty()) {
    ShowError(&host.job_window(), JobNotCreatedMessage(name, made.error));
    return "";
  }
  return made.names.front();
}

std::string AddJobFileFromElsewhere(JobHost& host, const std::string& path,
                                    const std::string& name) {
  const OutsideJobOffer offer = OfferOutsideJobFile(path, name, host.jobs_service().folder());
  if (!offer.can_add()) {
    ShowError(&host.job_window(), offer.refusal);
    return "";
  }
  if (AppDialogs().MessageBox(&host.job_window(), AddOutsideJobQuestion(offer), kConfirmCaption,
                              MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
    return "";
  const PlanOutcome outcome = CarryOutJobPlan(host.jobs_service().folder(), offer.plan());
  if (!outcome.done() || outcome.names.empty()) {
    ShowError(&host.job_window(), AddOutsideJobFailure(outcome.error));
    return "";
  }
  return outcome.names.front();
}

void mnuNewJob_Click(JobHost& host) {
  const std::string jobs_folder = host.jobs_service().folder();
  const std::string name = AskNewJobName(host);
  if (name.empty()) return;

  // The file and its line are made together: a job is never left without its line.
  const std::optional<int> listed = ListedIndex(jobs_folder, name);
  const PlanOutcome made = CarryOutJobPlan(jobs_folder, JobPlan{{PlannedJob{name, {}, true}}});
  if (!made.done()) {
    ShowError(&host.job_window(), JobNotCreatedMessage(name, made.error));
    return;
  }
  if (listed) {
    // An overwritten job keeps its one line, and the editor opens on that line.
    host.SetNewJobFlag(false);
    OpenEditor(host, *listed);
    return;
  }
  host.SetNewJobFlag(true);
  mnuEditJob_Click(host);
}

void mnuImportFavFolder_Click(JobHost& host) {
  const std::string folder = BrowseForFolder(&host.job_window(), FavoritesFolderForUse());
  if (folder.empty()) return;
  const std::string name = LocalFileName(folder);
  switch (CheckImportName(name)) {
    case ImportNameCheck::RootFolder:
      ShowError(&host.job_window(),
                "ルートフォルダはインポートできません。\r\n"
                "お気に入りファイルのあるフォルダを選択してください。");
      return;
    case ImportNameCheck::InvalidName:
      ShowError(&host.job_window(), "ファイル名に使用できない文字が含まれています。",
                MsgIcon::Critical);
      return;
    case ImportNameCheck::Accepted: break;
  }
  if (AppDialogs().MessageBox(&host.job_window(), "新規ジョブ「" + name + "」を作成しますか？",
                              "ｲﾝﾎﾟｰﾄの確認", MsgIcon::Question,
                              MsgButtons::YesNo) == MsgResult::No)
    return;
  ImportFavFolder(host, folder, name);
}

bool ImportFavFolder(JobHost& host, const std::string& folder, const std::string& name) {
  const std::string jobs_folder = host.jobs_service().folder();
  if (JobFileExists(jobs_folder, name) &&
      AppDialogs().MessageBox(&host.job_window(), OverwriteQuestion(jobs_folder, name),
                              kConfirmCaption, MsgIcon::Question,
                              MsgButtons::YesNo) == MsgResult::No)
    return false;

  std::vector<JobEntry> entries = ReadShortcutFolderInOrder(folder);
  if (entries.empty()) {
    // An existing job is left as it was, even after its overwrite was agreed to.
    ShowError(&host.job_window(),
              "フォルダ「" + name + "」には有効なお気に入りファイルが一つも存在しません。");
    return false;
  }
  const PlanOutcome made =
      CarryOutJobPlan(jobs_folder, JobPlan{{PlannedJob{name, std::move(entries), true}}});
  if (!made.done()) {
    ShowError(&host.job_window(), JobNotCreatedMessage(name, made.error));
    return false;
  }
  // An overwritten current job is re-read without navigating.
  host.LoadJobList(host.JobSelectorIndex());
  if (host.JobSelected()) host.LoadSelectedJob(true);
  AppDialogs().MessageBox(&host.job_window(), "ジョブファイル「" + name + "」が作成されました",
                          "ｲﾝﾎﾟｰﾄ完了", MsgIcon::Information, MsgButtons::OK);
  return true;
}

void mnuJobsFolder_Click(JobHost& host) {
  Gtk::Window* window = &host.job_window();
  JobsService& jobs = host.jobs_service();
  std::optional<std::string> chosen =
      AppDialogs().ChooseFolder(window, kJobsFolderTitle, jobs.folder());
  if (!chosen || chosen->empty()) return;
  const std::string folder = WithoutTrailingSlash(*chosen);
  if (folder == jobs.folder()) return;
  const JobsFolderCheck check = CheckJobsFolder(folder);
  if (check.state == JobsFolderState::Unusable) {
    ShowError(window, JobsFolderUnusableMessage(folder, check.reason));
    return;
  }
  if (check.state == JobsFolderState::NoJobs) {
    const MsgResult answer =
        AppDialogs().MessageBox(window, CopyJobsQuestion(folder), kConfirmCaption,
                                MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgResult::Cancel) return;
    std::string error;
    bool ready = false;
    if (answer == MsgResult::Yes) {
      // Off the main loop, behind the progress window that can stop it: whole or nothing.
      const std::string from = jobs.folder();
      RunWithProgress(*window, kCopyJobsTitle, [&](WorkProgress& progress) {
        ready = CopyJobsInto(from, folder, &error, [&](size_t done, size_t total) {
          progress.Report(done, total);
          return !progress.cancelled();
        });
      });
      if (!ready && error.empty()) return;  // stopped by the user: nothing changed
    } else {
      ready = StartEmptyJobsFolder(folder, &error);
    }
    if (!ready) {
      ShowError(window, JobsNotCopiedMessage(error));
      return;
    }
  }
  jobs.ChooseFolder(folder);
}

}  // namespace tarvik
