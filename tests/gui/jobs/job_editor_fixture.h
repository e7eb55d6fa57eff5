// The job editor's test fixture: a plain window standing in for the main window, job files in a
// temporary application folder, and scripted dialogs.
#pragma once

#include <glib.h>
#include <glib/gstdio.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "favorites/favorites_folder.h"
#include "jobs/frm_edit_job.h"
#include "jobs/job_commands.h"
#include "jobs/job_files.h"
#include "jobs/job_host.h"
#include "jobs/jobs_service.h"
#include "platform/settings_store.h"
#include "support/fake_browser.h"
#include "support/gui_input.h"
#include "support/gui_test.h"
#include "support/scripted_dialogs.h"
#include "support/when_shown.h"

namespace tarvik::jobeditor_test {

using test::DropOnto;
using test::FakeBrowser;
using test::Pump;
using test::ScriptedDialogs;
using test::ShownDialog;
using test::TempDir;
using test::WriteBytes;

using Entries = std::vector<JobEntry>;

// The main window's side, over a plain window: a job selector kept as names and an index,
// filled from the job list file the way the main window fills its own.
class FakeJobHost : public JobHost {
 public:
  Gtk::Window& job_window() override { return window; }
  int JobSelectorIndex() override { return index; }
  int JobSelectorCount() override { return static_cast<int>(items.size()); }
  bool JobSelected() override {
    return index >= 0 && index < static_cast<int>(items.size()) && !items[index].empty();
  }
  void LoadJobList(int select_index) override {
    calls.push_back("LoadJobList:" + std::to_string(select_index));
    auto names = ReadJobList(app_folder);
    if (!names) return;
    items = *names;
    index = select_index < static_cast<int>(items.size()) ? select_index
                                                          : static_cast<int>(items.size()) - 1;
  }
  bool LoadSelectedJob(bool keep_position) override {
    calls.push_back(std::string("LoadSelectedJob:") + (keep_position ? "true" : "false"));
    return true;
  }
  bool NewJobFlag() const override { return new_job_flag; }
  void SetNewJobFlag(bool on) override { new_job_flag = on; }
  BrowserControl* FirstWindowBrowser() override { return &browser; }
  JobsService& jobs_service() override {
    if (!service) service = std::make_unique<JobsService>();  // once the test has its folders
    return *service;
  }

  std::string app_folder;
  Gtk::Window window;
  FakeBrowser browser;
  std::vector<std::string> items;
  int index = -1;
  bool new_job_flag = false;
  std::vector<std::string> calls;
  std::unique_ptr<JobsService> service;
};

// Runs `drive` on the job editor as soon as it is shown modally. The drive is expected to close
// it; an editor left open fails the test and is cancelled.
using WhenEditorOpens = test::WhenShown<frmEditJob>;

inline std::string FileUri(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  std::string result = uri;
  g_free(uri);
  return result;
}

class JobEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    // Deleted jobs go to the trash of the run's own $XDG_DATA_HOME (gui_main.cpp sets it).
    data_home_ = g_get_user_data_dir();
    g_setenv("TARVIK_HOME", app_.path().c_str(), TRUE);
    host_.app_folder = app_.path();
    g_mkdir(app_.file("JobFiles").c_str(), 0700);
    SetUserSettingsPath(settings_.file("settings.ini"));
    SaveSetting("Setting", "FavoritesPath", favorites_.path());
    ResolveFavoritesFolder();
  }
  void TearDown() override {
    EXPECT_TRUE(dialogs_.all_used()) << "a scripted answer was not asked for";
    SetUserSettingsPath("");
  }

  // Writes the job list and one job file per job, in order.
  void WriteJobs(const std::vector<std::pair<std::string, Entries>>& jobs) {
    std::vector<std::string> names;
    for (const auto& [name, entries] : jobs) {
      names.push_back(name);
      ASSERT_TRUE(WriteJobFile(app_.path(), name, entries));
    }
    ASSERT_TRUE(RewriteJobList(app_.path(), names));
  }
  std::optional<Entries> OnDisk(const std::string& name) {
    auto job = ReadJobFile(app_.path(), name);
    if (!job) return std::nullopt;
    return job->entries;
  }
  std::string data_home_;  // $XDG_DATA_HOME of the run, where the trash is
  std::vector<std::string> ListOnDisk() {
    return ReadJobList(app_.path()).value_or(std::vector<std::string>{"<missing>"});
  }

  // The editor as the main window shows it, but without a modal loop of its own.
  std::unique_ptr<frmEditJob> Open(int spcf_idx) {
    auto editor = std::make_unique<frmEditJob>(&host_.window, &host_.browser, app_.path());
    editor->SpcfIdx = spcf_idx;
    editor->Form_Load();
    editor->show();
    frmEditJob* shown = editor.get();
    EXPECT_TRUE(test::RunUntil([shown] { return shown->get_mapped(); }, 3000));
    return editor;
  }
  static void SelectRow(frmEditJob& editor, int p) {
    Gtk::TreeModel::Path path;
    path.push_back(p);
    editor.lsvURL().get_selection()->select(path);
  }
  static void SelectJob(frmEditJob& editor, int index) { editor.cboJob().set_active(index); }
  static std::vector<std::string> SelectorItems(frmEditJob& editor) {
    std::vector<std::string> items;
    for (const auto& row : editor.cboJob().get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      items.push_back(text.raw());
    }
    return items;
  }
  static bool RowButtonsEnabled(frmEditJob& e) {
    return e.cmdChange().get_sensitive() && e.cmdDel().get_sensitive() &&
           e.cmdUp().get_sensitive() && e.cmdDown().get_sensitive();
  }
  static bool RowButtonsDisabled(frmEditJob& e) {
    return !e.cmdChange().get_sensitive() && !e.cmdDel().get_sensitive() &&
           !e.cmdUp().get_sensitive() && !e.cmdDown().get_sensitive();
  }
  void ExpectMessage(size_t i, const std::string& text, const std::string& caption, MsgIcon icon) {
    ASSERT_LT(i, dialogs_.shown.size());
    const ShownDialog& d = dialogs_.shown[i];
    EXPECT_EQ(d.kind, "message");
    EXPECT_EQ(d.text, text);
    EXPECT_EQ(d.caption, caption);
    EXPECT_EQ(d.icon, icon);
  }
  // Saves through cmdRefresh, answering the save question with OK.
  void Save(frmEditJob& editor) {
    dialogs_.AnswerMessage(MsgResult::OK);
    editor.cmdRefresh().clicked();
    Pump();
  }

  const Entries kNews = {
      {"Top", "http://news/"}, {"World", "http://news/world"}, {"Sport", "http://news/sport"}};

  TempDir app_;
  TempDir settings_;
  TempDir favorites_;
  FakeJobHost host_;
  ScriptedDialogs dialogs_;
};

}  // namespace tarvik::jobeditor_test
