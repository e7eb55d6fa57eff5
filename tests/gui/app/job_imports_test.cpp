// Bookmarks imports through the job menu of a real main window, with real files: odd and large
// files, a big import stopped by its progress window or by the end of the session, and what a
// killed import or a failed new job leaves for the next start.
#include <glib/gstdio.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "app/startup_services.h"
#include "jobs/bookmarks.h"
#include "jobs/job_files.h"
#include "jobs/job_plan.h"
#include "main_window_fixture.h"
#include "platform/text_file.h"

namespace tarvik::test {
namespace {

constexpr char kImportTitle[] = "ﾌﾞｯｸﾏｰｸの読み込み";

// `folders` folders of ten links each, each nested in the one before.
std::string NestedFolders(size_t folders) {
  std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  for (size_t f = 0; f < folders; ++f) {
    html += "<DT><H3>F</H3>\n<DL><p>\n";
    for (int l = 0; l < 10; ++l)
      html +=
          "<DT><A HREF=\"http://x/" + std::to_string(f) + "/" + std::to_string(l) + "\">t</A>\n";
  }
  for (size_t f = 0; f <= folders; ++f) html += "</DL><p>\n";
  return html;
}

// Our files in the application folder, and the files of "JobFiles/" that are not the given jobs'.
std::vector<std::string> Strangers(const std::string& home, const std::set<std::string>& jobs) {
  std::vector<std::string> out;
  for (const std::string& dir : {home, home + "/JobFiles"}) {
    GDir* listing = g_dir_open(dir.c_str(), 0, nullptr);
    if (!listing) continue;
    while (const char* name = g_dir_read_name(listing)) {
      const std::string n = name;
      if (dir == home && n.find("tarvik-") == std::string::npos) continue;
      if (dir != home && n.size() > 4 && n.ends_with(".tvj") &&
          jobs.count(n.substr(0, n.size() - 4)))
        continue;
      out.push_back(dir + "/" + n);
    }
    g_dir_close(listing);
  }
  return out;
}

class JobImportsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(RewriteJobList(home.path(), {"News", "Sport"}));
    ASSERT_TRUE(WriteJobFile(home.path(), "News", {{"A", "http://a/"}}));
    ASSERT_TRUE(WriteJobFile(home.path(), "Sport", {{"S", "http://s/"}}));
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = files.file(name);
    EXPECT_TRUE(g_file_set_contents(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()),
                                    nullptr));
    return path;
  }

  // Imports `path` through the menu; the last message shown.
  std::string Import(frmMain& w, const std::string& path) {
    dialogs.AnswerFile(path);
    const size_t before = dialogs.shown.size();
    w.Run(ActionId::ImportBookmarks);
    return dialogs.shown.size() > before + 1 ? dialogs.shown.back().text : "";
  }

  // Every listed job has its file, and every job file in "JobFiles/" is listed; nothing else is
  // there. The listed jobs' names.
  std::set<std::string> CheckWholeAndListed() {
    const std::vector<std::string> listed =
        ReadJobList(home.path()).value_or(std::vector<std::string>{});
    const std::set<std::string> names(listed.begin(), listed.end());
    for (const std::string& name : names) {
      std::optional<Job> job = ReadJobFile(home.path(), name);
      EXPECT_TRUE(job && (name == "News" || name == "Sport" || job->entries.size() == 10)) << name;
    }
    EXPECT_EQ(Strangers(home.path(), names), std::vector<std::string>{});
    return names;
  }

  // Closes the import's progress window once the main loop has turned 20 times while it shows
  // (the user's Cancel, Escape and the window's close button all end there), or raises `signal`
  // instead.
  void StopImportWhenItShows(int signal = 0) {
    ticks = 0;
    Glib::signal_timeout().connect(
        [this, signal] {
          GList* windows = gtk_window_list_toplevels();
          bool stopped = false;
          for (GList* l = windows; l; l = l->next) {
            GtkWindow* window = GTK_WINDOW(l->data);
            const char* title = gtk_window_get_title(window);
            if (!title || std::string(title) != kImportTitle ||
                !gtk_widget_get_visible(GTK_WIDGET(window)) || ++ticks < 20)
              continue;
            if (signal)
              raise(signal);
            else
              gtk_window_close(window);
            stopped = true;
          }
          g_list_free(windows);
          return !stopped;
        },
        10);
  }

  TempDir files;
  int ticks = 0;
};

TEST_F(JobImportsTest, EveryLinkOfAnOddFileComesInAndATooLargeFileIsNamed) {
  frmMain& w = Start("");
  // A NUL byte, a reference to NUL and a lone surrogate in addresses cost those characters alone.
  const std::string nul = Write("nul.html", std::string("<DL><DT><H3>Nul</H3><DL>"
                                                        "<DT><A HREF=\"http://a/1\">1</A>"
                                                        "<DT><A HREF=\"http://a/2") +
                                                '\0' +
                                                "x\">2</A>"
                                                "<DT><A HREF=\"http://a/3&#0;y\">3</A>"
                                                "<DT><A HREF=\"http://a/4&#xD800;z\">4</A>"
                                                "<DT><A HREF=\"http://a/5\">5</A></DL></DL>");
  EXPECT_EQ(Import(w, nul), "1 個のジョブ、5 件のURLを読み込みました。");
  std::vector<std::string> urls;
  const std::optional<Job> nul_job = ReadJobFile(home.path(), "Nul");
  ASSERT_TRUE(nul_job);
  for (const JobEntry& e : nul_job->entries) urls.push_back(e.URL);
  EXPECT_EQ(urls, (std::vector<std::string>{"http://a/1", "http://a/2x", "http://a/3y",
                                            "http://a/4z", "http://a/5"}));

  // Declared Shift_JIS, written in UTF-8 with one stray byte; declared UTF-8 with a Shift_JIS
  // title ("ニュース" in code page 932) in the middle; UTF-16 with its byte-order mark.
  const std::string sjis_title = "\x83\x6A\x83\x85\x81\x5B\x83\x58";
  const std::string declared_sjis =
      Write("sjis.html",
            "<META CONTENT=\"text/html; charset=Shift_JIS\"><DL><DT><H3>天気</H3><DL>"
            "<DT><A HREF=\"http://w/1\">晴れ\xFF</A><DT><A HREF=\"http://w/2\">雨</A>"
            "</DL></DL>");
  const std::string declared_utf8 = Write("utf8.html",
                                          "<META CHARSET=\"UTF-8\"><DL><DT><H3>Mixed</H3><DL>"
                                          "<DT><A HREF=\"http://m/1\">" +
                                              sjis_title +
                                              "</A>"
                                              "<DT><A HREF=\"http://m/2\">Café</A></DL></DL>");
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("<DL><DT><H3>Wide</H3><DL><DT><A HREF=\"http://u/1\">U</A></DL></DL>"))
    utf16 += std::string(1, c) + '\0';
  const std::string wide = Write("utf16.html", utf16);
  EXPECT_EQ(Import(w, declared_sjis), "1 個のジョブ、2 件のURLを読み込みました。");
  EXPECT_EQ(Import(w, declared_utf8), "1 個のジョブ、2 件のURLを読み込みました。");
  EXPECT_EQ(Import(w, wide), "1 個のジョブ、1 件のURLを読み込みました。");
  EXPECT_EQ(ReadJobFile(home.path(), "天気")->entries,
            (std::vector<JobEntry>{{"晴れ\uFFFD", "http://w/1"}, {"雨", "http://w/2"}}));
  EXPECT_EQ(ReadJobFile(home.path(), "Mixed")->entries,
            (std::vector<JobEntry>{{"ニュース", "http://m/1"}, {"Café", "http://m/2"}}));
  EXPECT_EQ(ReadJobFile(home.path(), "Wide")->entries,
            (std::vector<JobEntry>{{"U", "http://u/1"}}));

  // Past the settings file's limit but within the bookmarks limit: read. Past that: named.
  std::string big = "<DL><DT><A HREF=\"http://big/\">Big</A></DL><!--";
  big.resize(size_t{17} << 20, ' ');
  EXPECT_EQ(Import(w, Write("big.html", big + "-->")), "1 個のジョブ、1 件のURLを読み込みました。");
  const std::string huge = files.file("huge.html");
  ASSERT_EQ(truncate(Write("huge.html", "x").c_str(), kMaxBookmarksFileBytes + 1), 0);
  EXPECT_EQ(Import(w, huge), "ファイルが大きすぎます。\r\n" + huge);
  EXPECT_TRUE(dialogs.all_used());
}

TEST_F(JobImportsTest, ABigImportAnswersAndStopsWithItsWindowOrTheSessionLeavingNoPart) {
  frmMain& w = Start("");
  const std::string path = Write("big.html", NestedFolders(10000));

  // The window closed while the jobs are written: nothing comes in, nothing stays behind.
  StopImportWhenItShows();
  EXPECT_EQ(Import(w, path), "");
  EXPECT_EQ(ticks, 20) << "the main loop stood still";
  EXPECT_EQ(CheckWholeAndListed(), (std::set<std::string>{"News", "Sport"}));
  EXPECT_EQ(dialogs.shown.size(), 1u);  // the file dialog alone

  // Left alone, it comes in whole, in one change of the list.
  EXPECT_EQ(Import(w, Write("smaller.html", NestedFolders(2000))),
            "2000 個のジョブ、20000 件のURLを読み込みました。");
  EXPECT_EQ(CheckWholeAndListed().size(), 2002u);
  EXPECT_EQ(w.cboJob().get_model()->children().size(), 2002u);

  // The session ends in the middle of another, run from the menu as the user runs it: the import
  // stops, the windows close.
  app->CloseAllWindowsOnSessionEnd();
  StopImportWhenItShows(SIGTERM);
  Glib::signal_idle().connect_once([&] { Import(w, path); });
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }, 30000));
  const size_t after = CheckWholeAndListed().size();
  EXPECT_TRUE(after == 2002u || after == 12002u) << after;
  app.reset();
}

TEST_F(JobImportsTest, WhatAKilledImportOrAFailedNewJobLeftIsGoneAtTheNextStart) {
  const std::string path = Write("big.html", NestedFolders(3000));
  // Imports killed at moments spread over their run, each followed by a start.
  for (int delay_ms : {2, 30, 120, 300, 600, 1200}) {
    SCOPED_TRACE(delay_ms);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto jobs = ReadBookmarksFile(path, TakenJobNames(home.path()));
      JobPlan plan;
      for (BookmarkJob& job : *jobs) plan.jobs.push_back({job.name, job.entries});
      CarryOutJobPlan(home.path(), plan);
      _exit(0);
    }
    g_usleep(static_cast<gulong>(delay_ms) * 1000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    PrepareProcess();
    CheckWholeAndListed();
  }

  // A note a sync tool brought from another machine names files that may still be on their way
  // from there: they stay.
  ASSERT_TRUE(WriteJobFile(home.path(), "Arriving", {{"A", "http://a/"}}));
  const std::string note = home.file("JobFiles/.tarvik-new-jobs-elsewhere-99999999");
  ASSERT_TRUE(g_file_set_contents(note.c_str(), "Arriving\r\n", -1, nullptr));
  PrepareProcess();
  EXPECT_TRUE(JobFileExists(home.path(), "Arriving"));
  ASSERT_EQ(g_unlink(note.c_str()), 0);
  ASSERT_TRUE(DeleteJobFile(home.path(), "Arriving"));

  // An export killed in the middle left its temporary file; the next export removes it, even
  // though it refuses the folder.
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string folder = files.file("News");
  ASSERT_EQ(g_mkdir_with_parents(folder.c_str(), 0700), 0);
  Write("News/001 A.url", "[InternetShortcut]\r\nURL=http://a/\r\n");
  const std::string temp = folder + "/.002 B.url.tarvik-tmp-" + std::to_string(gone) + "-Ab12Cd";
  Write("News/.002 B.url.tarvik-tmp-" + std::to_string(gone) + "-Ab12Cd", "[Intern");
  frmMain& w = Start("");
  w.cboJob().set_active(0);
  dialogs.AnswerFolder(files.path());
  w.Run(ActionId::ExportShortcuts);
  EXPECT_FALSE(g_file_test(temp.c_str(), G_FILE_TEST_EXISTS));

  // A new job whose line cannot be written leaves no job file.
  const std::vector<std::string> listed = *ReadJobList(home.path());
  ASSERT_EQ(chmod(JobListPath(home.path()).c_str(), 0444), 0);
  dialogs.AnswerInput("Fresh");
  w.Run(ActionId::NewJob);
  ASSERT_EQ(chmod(JobListPath(home.path()).c_str(), 0644), 0);
  EXPECT_FALSE(JobFileExists(home.path(), "Fresh"));
  EXPECT_EQ(dialogs.shown.back().kind, "message");
  EXPECT_EQ(*ReadJobList(home.path()), listed);
  EXPECT_TRUE(dialogs.all_used());
}

}  // namespace
}  // namespace tarvik::test
