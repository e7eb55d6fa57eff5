#include "jobs/job_trade.h"

#include <glib.h>

#include <optional>

#include "jobs/job_host.h"
#include "jobs/job_plan.h"
#include "jobs/jobs_service.h"
#include "jobs/shortcut_folder_export.h"
#include "jobs/work_progress.h"
#include "platform/dialogs.h"
#include "platform/path_util.h"

namespace tarvik {

namespace {

constexpr char kImportTitle[] = "ﾌﾞｯｸﾏｰｸの読み込み";
constexpr char kExportTitle[] = "ﾌﾞｯｸﾏｰｸとして書き出し";
constexpr char kShortcutsTitle[] = "URLﾌｧｲﾙとして書き出し";
constexpr char kBookmarksFilter[] = "ﾌﾞｯｸﾏｰｸ(*.html;*.htm)|*.html;*.htm";

std::optional<std::vector<JobEntry>> ReadJobToExport(JobHost& host, const std::string& name) {
  std::optional<Job> job = ReadJobFile(host.jobs_service().folder(), name);
  if (!job) {
    ShowError(&host.job_window(), kNoJobFileMessage, MsgIcon::Critical);
    return std::nullopt;
  }
  if (job->entries.empty()) {
    ShowError(&host.job_window(), kEmptyJobFileMessage);
    return std::nullopt;
  }
  return std::move(job->entries);
}

}  // namespace

std::string ImportedBookmarksMessage(size_t jobs, size_t urls) {
  return std::to_string(jobs) + " 個のジョブ、" + std::to_string(urls) +
         " 件のURLを読み込みました。";
}

void ImportBookmarks(JobHost& host) {
  FileDialogOptions options;
  options.title = kImportTitle;
  options.filters = ParseFilter(kBookmarksFilter);
  std::optional<std::string> path = AppDialogs().OpenFile(&host.job_window(), options);
  if (!path) return;

  // The file is read, the jobs planned and written off the main loop; the window stays
  // answering, and the progress window can stop it all before the job list changes.
  const std::string jobs_folder = host.jobs_service().folder();
  std::string error;
  std::optional<std::vector<BookmarkJob>> jobs;
  PlanOutcome outcome;
  RunWithProgress(host.job_window(), kImportTitle, [&](WorkProgress& progress) {
    // Reading counts for the first half of the bar, writing for the second.
    size_t links = 0;
    jobs = ReadBookmarksFile(
        *path, TakenJobNames(jobs_folder),
        [&](size_t done, size_t total) {
          links = total;
          progress.Report(done, 2 * total);
        },
        &error);
    if (!jobs || jobs->empty() || progress.cancelled()) return;
    JobPlan plan;
    plan.jobs.reserve(jobs->size());
    for (BookmarkJob& job : *jobs)
      plan.jobs.push_back({std::move(job.name), std::move(job.entries)});
    outcome = CarryOutJobPlan(jobs_folder, plan, [&](size_t done, size_t total) {
      progress.Report(links + done, links + total);
      return !progress.cancelled();
    });
  });
  if (!jobs) {
    ShowError(&host.job_window(), error);
    return;
  }
  if (jobs->empty()) {
    ShowError(&host.job_window(), "ファイル「" + *path + "」にはURLが一つもありません。");
    return;
  }
  if (!outcome.names.empty()) host.LoadJobList(host.JobSelectorIndex());
  // Stopped by the user: nothing was imported, and nothing more needs saying.
  if (outcome.cancelled || (outcome.names.empty() && outcome.error.empty())) return;
  if (!outcome.error.empty()) {
    const size_t urls = outcome.names.empty() ? 0 : outcome.entries;
    ShowError(&host.job_window(), ImportedBookmarksMessage(outcome.names.size(), urls) + "\r\n" +
                                      "残りのジョブは作成できませんでした。\r\n" + outcome.error);
    return;
  }
  AppDialogs().MessageBox(&host.job_window(),
                          ImportedBookmarksMessage(outcome.names.size(), outcome.entries),
                          kImportTitle, MsgIcon::Information, MsgButtons::OK);
}

std::string ExportedBookmarksNotice(const std::string& path) {
  return "「" + path + "」に書き出しました";
}

std::optional<std::string> ExportBookmarks(JobHost& host, const std::string& job_name) {
  if (job_name.empty()) return std::nullopt;
  std::optional<std::vector<JobEntry>> entries = ReadJobToExport(host, job_name);
  if (!entries) return std::nullopt;
  FileDialogOptions options;
  options.title = kExportTitle;
  options.filters = ParseFilter(kBookmarksFilter);
  options.default_extension = "html";
  options.file_name = ValidJobNameFrom(job_name) + ".html";
  options.confirm_overwrite = true;
  std::optional<std::string> path = AppDialogs().SaveFile(&host.job_window(), options);
  if (!path) return std::nullopt;
  std::string error;
  if (!WriteBookmarksFile(*path, job_name, *entries, &error)) {
    ShowError(&host.job_window(), "ファイル「" + *path + "」を書き出せませんでした。\r\n" + error);
    return std::nullopt;
  }
  return path;
}

void ExportShortcuts(JobHost& host, const std::string& job_name) {
  if (job_name.empty()) return;
  std::optional<std::vector<JobEntry>> entries = ReadJobToExport(host, job_name);
  if (!entries) return;
  std::optional<std::string> parent = AppDialogs().ChooseFolder(
      &host.job_window(), "書き出し先のフォルダを選択してください。", g_get_home_dir());
  if (!parent || parent->empty()) return;
  // The files go into a folder named after the job, which the favorites-folder import turns
  // back into a job of that name.
  std::string folder_name = ValidJobNameFrom(job_name);
  if (folder_name.empty()) folder_name = "Job";
  const std::string folder = JoinPath(*parent, folder_name);
  std::string error;
  if (!ExportShortcutFolder(folder, *entries, &error)) {
    ShowError(&host.job_window(), error);
    return;
  }
  AppDialogs().MessageBox(&host.job_window(),
                          "ジョブ「" + job_name + "」を「" + folder + "」に書き出しました。",
                          kShortcutsTitle, MsgIcon::Information, MsgButtons::OK);
}

}  // namespace tarvik
