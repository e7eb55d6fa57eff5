// The main window's job bar: the job selector, the five step buttons and the list dialog, wired
// to the job cursor (jobs/job_cursor.h).
#include "app/frm_main.h"
#include "app/window_host.h"
#include "browse/page_texts.h"
#include "browse/script_guard.h"
#include "jobs/frm_list.h"
#include "platform/dialogs.h"
#include "platform/jobs_folder.h"

namespace tarvik {

int frmMain::JobSelectorCount() {
  auto model = cboJob().get_model();
  return model ? static_cast<int>(model->children().size()) : 0;
}

bool frmMain::JobSelected() {
  return cboJob().get_active_row_number() != -1 && !cboJob().get_active_text().empty();
}

BrowserControl* frmMain::FirstWindowBrowser() { return host_.FirstBrowser(); }

void frmMain::LoadJobListAtStartUp() { LoadJobList(-1); }

void frmMain::LoadJobList(int select_index) {
  const std::string folder = JobsFolder();
  ReadFailure failure = ReadFailure::Missing;
  std::optional<std::vector<std::string>> names =
      JobListExists(folder) ? ReadJobList(folder, &failure) : std::nullopt;
  if (!names) {
    ShowError(this, failure == ReadFailure::TooLarge ? FileTooLargeMessage(JobListPath(folder))
                                                     : std::string(kNoJobListMessage));
    return;
  }
  filling_jobs_ = true;
  cboJob().Fill(*names);
  filling_jobs_ = false;

  const int count = static_cast<int>(names->size());
  const int index = select_index < count ? select_index : count - 1;
  cur_job_idx_ = index;
  cboJob().set_active(index);  // its click finds the index loaded already and does nothing
  UpdateNavTips();
}

bool frmMain::LoadSelectedJob(bool keep_position) {
  const int old_index = cur_job_idx_;
  cur_job_idx_ = cboJob().get_active_row_number();
  const std::string folder = JobsFolder();
  const std::string name = cboJob().get_active_text();

  auto restore = [&] {
    if (old_index == cur_job_idx_) {
      // The list was just reloaded onto this job: there is no loaded job to go back to, and the
      // entries held are another job's. Nothing stays selected.
      job_.Clear();
      cur_job_idx_ = -1;
      cboJob().set_active(-1);
      UpdateNavTips();
      return;
    }
    cur_job_idx_ = old_index;
    cboJob().set_active(old_index);
  };

  ReadFailure failure = ReadFailure::Missing;
  std::optional<Job> job =
      JobFileExists(folder, name) ? ReadJobFile(folder, name, &failure) : std::nullopt;
  if (!job) {
    // A line a sync tool delivered before its file: the job loads when the file comes.
    if (failure == ReadFailure::Missing && job_extras_.WaitForJobFile(name)) {
      restore();
      return false;
    }
    ShowError(this,
              failure == ReadFailure::TooLarge ? FileTooLargeMessage(JobFilePath(folder, name))
                                               : std::string(kNoJobFileMessage),
              MsgIcon::Critical);
    restore();
    return false;
  }
  if (job->last_index < 0) {
    ShowError(this, kEmptyJobFileMessage);
    restore();
    return false;
  }
  if (job->truncated) {
    AppDialogs().MessageBox(this,
                            "このジョブファイルには登録できる数を超えるURLがあります。\r\n"
                            "先頭の " +
                                std::to_string(kMaxJobEntries) + " 件だけを読み込みました。",
                            kConfirmCaption, MsgIcon::Information, MsgButtons::OK);
  }
  if (!job_.loaded() || job_.name() != name) step_ahead_.Drop();  // another job
  job_.Load(name, std::move(*job));
  if (!keep_position) {
    job_.MoveTo(0);
    OpenStoredAddress(AppDialogs(), *browser_, this, job_.current().URL);
  }
  return true;
}

void frmMain::cboJob_Click() {
  if (cboJob().get_active_row_number() == cur_job_idx_) return;
  if (LoadSelectedJob(false)) UpdateNavTips();
}

void frmMain::UpdateNavTips() {
  // With no job loaded the buttons say what they do, not what a job let go held.
  const auto tips = job_.StepTips();
  for (int i = 0; i < 4; ++i) cmdNav(i).set_tooltip_text(tips ? (*tips)[i] : kJobStepTips[i]);
  // Nor does the title line: the page shown is named by its own title.
  if (!tips && title_line_names_entry_) {
    txtJob().set_text(TitleLine(ShownTitle(browser_->LocationName()), browser_->LocationURL()));
    title_line_names_entry_ = false;
  }
  clbComm_.ShowJobPlace(JobSelected() ? job_.PlaceText(shown_url_) : "");
}

void frmMain::SelectJobNamed(const std::string& name) {
  int i = 0;
  for (const auto& row : cboJob().get_model()->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    if (text == name) {
      cboJob().set_active(i);
      return;
    }
    ++i;
  }
}

void frmMain::StepJob(int index) {
  if (!JobSelected() || !job_.loaded()) return;
  std::optional<int> entry;
  if (index == kStepList) {
    entry = ChooseJobEntry(*this, job_, cboJob().get_active_text());
    if (entry && !job_.MoveTo(*entry)) entry.reset();
  } else {
    entry = job_.Step(index);
  }
  if (!entry) return;
  UpdateNavTips();
  OpenStoredAddress(AppDialogs(), *browser_, this, job_.current().URL);
}

std::string frmMain::PositionText(const std::string& url) {
  return job_.PositionText(url, browser_->LocationURL(), browser_->LocationName(),
                           JobSelected() && mode_ == Mode::Job);
}

}  // namespace tarvik
