#include "jobs/job_trade.h"

#include <glib.h>
#include <gtkmm/dialog.h>
#include <gtkmm/main.h>
#include <gtkmm/progressbar.h>

#include <memory>
#include <optional>

#include "jobs/job_host.h"
#include "jobs/shortcut_folder_export.h"
#include "platform/app_folder.h"
#include "platform/dialogs.h"
#include "platform/path_util.h"

namespace tarvik {

namespace {

constexpr char kImportTitle[] = "ﾌﾞｯｸﾏｰｸの読み込み";
constexpr char kExportTitle[] = "ﾌﾞｯｸﾏｰｸとして書き出し";
constexpr char kShortcutsTitle[] = "URLﾌｧｲﾙとして書き出し";
constexpr char kBookmarksFilter[] = "ﾌﾞｯｸﾏｰｸ(*.html;*.htm)|*.html;*.htm";

// The progress bar shown while a large bookmarks file is read.
class ProgressWindow {
 public:
  ProgressWindow(Gtk::Window& owner, size_t total)
      : dialog_(kImportTitle, owner, true), total_(total) {
    dialog_.set_default_size(360, -1);
    dialog_.get_content_area()->set_border_width(12);
    dialog_.get_content_area()->pack_start(bar_, Gtk::PACK_SHRINK);
    bar_.set_show_text(true);
    dialog_.show_all();
    Pump();
  }
  void Update(size_t done) {
    bar_.set_fraction(total_ ? static_cast<double>(done) / total_ : 1.0);
    bar_.set_text(std::to_string(done) + " / " + std::to_string(total_));
    Pump();
  }

 private:
  static void Pump() {
    while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
  }
  Gtk::Dialog dialog_;
  Gtk::ProgressBar bar_;
  size_t total_;
};

std::optional<std::vector<JobEntry>> ReadJobToExport(JobHost& host, const std::string& name) {
  std::optional<Job> job = ReadJobFile(ApplicationFolder(), name);
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

std::vector<std::string> TakenJobNames(const std::string& app_folder) {
  std::vector<std::string> names = ReadJobList(app_folder).value_or(std::vector<std::string>{});
  for (std::string& name : JobFileNames(app_folder)) names.push_back(std::move(name));
  return names;
}

size_t AddBookmarkJobs(const std::string& app_folder, std::vector<BookmarkJob> jobs,
                       std::string* error) {
  size_t added = 0;
  std::vector<std::string> taken = TakenJobNames(app_folder);
  for (BookmarkJob& job : jobs) {
    // The names were chosen against the list as it was when the file was read.
    job.name = UnusedJobName(job.name, taken);
    taken.push_back(job.name);
    if (!WriteJobFile(app_folder, job.name, job.entries, error)) return added;
    if (!AppendJobName(app_folder, job.name, error)) {
      DeleteJobFile(app_folder, job.name);
      return added;
    }
    ++added;
  }
  return added;
}

void ImportBookmarks(JobHost& host) {
  FileDialogOptions options;
  options.title = kImportTitle;
  options.filters = ParseFilter(kBookmarksFilter);
  std::optional<std::string> path = AppDialogs().OpenFile(&host.job_window(), options);
  if (!path) return;

  const std::string app_folder = ApplicationFolder();
  std::unique_ptr<ProgressWindow> progress;
  BookmarksProgress on_progress = [&](size_t done, size_t total) {
    if (!progress && done == 0 && total > kBookmarksProgressThreshold)
      progress = std::make_unique<ProgressWindow>(host.job_window(), total);
    if (progress) progress->Update(done);
  };
  std::string error;
  std::optional<std::vector<BookmarkJob>> jobs =
      ReadBookmarksFile(*path, TakenJobNames(app_folder), on_progress, &error);
  progress.reset();
  if (!jobs) {
    ShowError(&host.job_window(), error);
    return;
  }
  if (jobs->empty()) {
    ShowError(&host.job_window(), "ファイル「" + *path + "」にはURLが一つもありません。");
    return;
  }
  std::vector<size_t> sizes;
  for (const BookmarkJob& job : *jobs) sizes.push_back(job.entries.size());
  const size_t added = AddBookmarkJobs(app_folder, std::move(*jobs), &error);
  size_t urls = 0;
  for (size_t i = 0; i < added; ++i) urls += sizes[i];
  if (added > 0) {
    host.LoadJobList(host.JobSelectorIndex());
  }
  if (added < sizes.size()) {
    ShowError(&host.job_window(), ImportedBookmarksMessage(added, urls) + "\r\n" +
                                      "残りのジョブは作成できませんでした。\r\n" + error);
    return;
  }
  AppDialogs().MessageBox(&host.job_window(), ImportedBookmarksMessage(added, urls), kImportTitle,
                          MsgIcon::Information, MsgButtons::OK);
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
