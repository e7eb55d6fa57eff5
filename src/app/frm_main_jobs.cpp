// The main window's job: the job selector, the five step buttons, their tooltips, the list dialog
// and the title line rule.
#include "app/app.h"
#include "app/frm_main.h"
#include "jobs/frm_list.h"
#include "jobs/job_commands.h"
#include "platform/app_folder.h"
#include "platform/dialogs.h"
#include "platform/list_fill.h"

namespace tarvik {

void frmMain::WireJobCommands() {
  cboJob_.signal_changed().connect([this] {
    if (!filling_jobs_) cboJob_Click();
  });
  for (int i = 0; i < 5; ++i) cmdNav_[i].signal_clicked().connect([this, i] { cmdNav_Click(i); });
  commands_["mnuEditJob"] = [this] { mnuEditJob_Click(*this); };
  commands_["mnuNewJob"] = [this] { mnuNewJob_Click(*this); };
  commands_["mnuImportFavFolder"] = [this] { mnuImportFavFolder_Click(*this); };
}

int frmMain::JobSelectorCount() {
  auto model = cboJob_.get_model();
  return model ? static_cast<int>(model->children().size()) : 0;
}

bool frmMain::JobSelected() {
  return cboJob_.get_active_row_number() != -1 && !cboJob_.get_active_text().empty();
}

BrowserControl* frmMain::FirstWindowBrowser() {
  frmMain* first = app_.first_window();
  return first ? &first->browser() : nullptr;
}

void frmMain::LoadJobListStep() { LoadJobList(-1); }

void frmMain::LoadJobList(int select_index) {
  const std::string folder = ApplicationFolder();
  std::optional<std::vector<std::string>> names =
      JobListExists(folder) ? ReadJobList(folder) : std::nullopt;
  if (!names) {
    ShowError(this, kNoJobListMessage);
    return;
  }
  filling_jobs_ = true;
  FillComboText(cboJob_, *names);
  filling_jobs_ = false;

  const int count = static_cast<int>(names->size());
  const int index = select_index < count ? select_index : count - 1;
  cur_job_idx_ = index;
  cboJob_.set_active(index);  // its click finds the index loaded already and does nothing
}

bool frmMain::LoadSelectedJob(bool keep_position) {
  const int old_index = cur_job_idx_;
  cur_job_idx_ = cboJob_.get_active_row_number();
  const std::string folder = ApplicationFolder();
  const std::string name = cboJob_.get_active_text();

  auto restore = [&] {
    if (old_index == cur_job_idx_) {
      // The list was just reloaded onto this job: there is no loaded job to go back to, and the
      // entries held are another job's. Nothing stays selected.
      job_entries_.clear();
      last_entry_idx_ = -1;
      cur_job_idx_ = -1;
      cboJob_.set_active(-1);
      return;
    }
    cur_job_idx_ = old_index;
    cboJob_.set_active(old_index);
  };

  std::optional<Job> job = JobFileExists(folder, name) ? ReadJobFile(folder, name) : std::nullopt;
  if (!job) {
    ShowError(this, kNoJobFileMessage, MsgIcon::Critical);
    restore();
    return false;
  }
  if (job->last_index < 0) {
    ShowError(this, "このジョブファイルには\r\nURLが登録されていません");
    restore();
    return false;
  }
  if (job->truncated) {
    AppDialogs().MessageBox(this,
                            "このジョブファイルには登録できる数を超えるURLがあります。\r\n"
                            "先頭の " + std::to_string(kMaxJobEntries) + " 件だけを読み込みました。",
                            "確認", MsgIcon::Information, MsgButtons::OK);
  }
  job_entries_ = std::move(job->entries);
  last_entry_idx_ = job->last_index;
  if (cur_entry_idx_ > last_entry_idx_) cur_entry_idx_ = 0;
  if (!keep_position) {
    browser_->Navigate(job_entries_[0].URL);
    cur_entry_idx_ = 0;
  }
  return true;
}

void frmMain::cboJob_Click() {
  if (cboJob_.get_active_row_number() == cur_job_idx_) return;
  if (LoadSelectedJob(false)) UpdateNavTips();
}

void frmMain::UpdateNavTips() {
  if (last_entry_idx_ < 0) return;
  cmdNav_[0].set_tooltip_text(job_entries_[0].Title);
  cmdNav_[1].set_tooltip_text(cur_entry_idx_ == 0 ? "現在先頭です"
                                                  : job_entries_[cur_entry_idx_ - 1].Title);
  cmdNav_[2].set_tooltip_text(cur_entry_idx_ == last_entry_idx_
                                  ? "現在最後です"
                                  : job_entries_[cur_entry_idx_ + 1].Title);
  cmdNav_[3].set_tooltip_text(job_entries_[last_entry_idx_].Title);
}

void frmMain::SelectJobNamed(const std::string& name) {
  const int count = JobSelectorCount();
  auto model = cboJob_.get_model();
  int i = 0;
  for (const auto& row : model->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    if (text == name) {
      cboJob_.set_active(i);
      return;
    }
    if (++i >= count) break;
  }
}

void frmMain::cmdNav_Click(int index) {
  if (!JobSelected() || last_entry_idx_ < 0) return;
  auto go = [this] {
    UpdateNavTips();
    browser_->Navigate(job_entries_[cur_entry_idx_].URL);
  };
  switch (index) {
    case 0:
      if (cur_entry_idx_ == 0) return;
      cur_entry_idx_ = 0;
      go();
      break;
    case 1:
      if (--cur_entry_idx_ >= 0) go();
      else cur_entry_idx_ = 0;
      break;
    case 2:
      if (++cur_entry_idx_ <= last_entry_idx_) go();
      else cur_entry_idx_ = last_entry_idx_;
      break;
    case 3:
      if (cur_entry_idx_ == last_entry_idx_) return;
      cur_entry_idx_ = last_entry_idx_;
      go();
      break;
    case 4: {
      ListExchange exchange;
      exchange.ListJobName = cboJob_.get_active_text();
      exchange.ListLastIdx = last_entry_idx_;
      for (const JobEntry& e : job_entries_) {
        exchange.ListTitles.push_back(e.Title);
        exchange.ListURLs.push_back(e.URL);
      }
      frmList dialog(*this, exchange);
      dialog.Run();
      if (exchange.ListResultIdx != -1 && exchange.ListResultIdx <= last_entry_idx_) {
        cur_entry_idx_ = exchange.ListResultIdx;
        go();
      }
      break;
    }
    default:
      break;
  }
}

std::string frmMain::PositionText(const std::string& url) const {
  const std::string location = " [" + browser_->LocationURL() + "]";
  frmMain* self = const_cast<frmMain*>(this);
  if (self->JobSelected() && mode_ == 1 && cur_entry_idx_ >= 0 && cur_entry_idx_ <= last_entry_idx_ &&
      url == job_entries_[cur_entry_idx_].URL)
    return job_entries_[cur_entry_idx_].Title + location;
  return browser_->LocationName() + location;
}

}  // namespace tarvik
