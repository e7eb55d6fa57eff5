// The program rounds_bench.py drives: one window with Tarvik's engine view and a drawing area that
// asks for a frame on every tick of the frame clock, and Tarvik's RoundChecker over the engine's
// page fetcher (the same objects the program uses). Commands come one per line on standard input:
//   round NAME URLS-FILE    checks the addresses of the file against the state kept so far,
//                           applies the results, prints one JSON line of figures
//   seen                    takes every entry's last check as seen (what a user who looked at
//                           every page leaves), writes the state file, prints its size
//   idle SECONDS            the longest gap between two frames with no check under way
//   quit
// Figures: the time from Start to the end, the counts, the addresses found changed or new, the
// longest gap between two frames of the window during the check, and the process's resident
// memory above what it was at the start of the check (the hidden view's web process is another
// process and not counted).
#include <glibmm/main.h>
#include <gtkmm/application.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/main.h>
#include <gtkmm/window.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "jobs/round_check.h"
#include "jobs/seen_state.h"
#include "platform/webkit_browser.h"
#include "platform/webkit_page_fetcher.h"

namespace {

using namespace tarvik;

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

class Shell {
 public:
  Shell(const std::string& jobs_folder) : jobs_folder_(jobs_folder) {
    window_.set_default_size(800, 600);
    box_.pack_start(area_, false, false);
    area_.set_size_request(800, 40);
    box_.pack_start(browser_.widget(), true, true);
    window_.add(box_);
    area_.add_tick_callback([this](const Glib::RefPtr<Gdk::FrameClock>&) {
      const gint64 now = g_get_monotonic_time();
      if (checking_ && last_frame_) longest_gap_ = std::max(longest_gap_, now - last_frame_);
      last_frame_ = now;
      area_.queue_draw();
      return true;
    });
    window_.show_all();
    browser_.Navigate("about:blank");
    fetcher_ = MakeEnginePageFetcher(browser_);
    checker_ = std::make_unique<RoundChecker>(*fetcher_);
    checker_->signal_entry().connect([this](const RoundOutcome& o) {
      ApplyOutcome(state_.At(o.url), o, ++clock_);
      if (o.result == CheckResult::Changed || o.result == CheckResult::New) found_.push_back(o.url);
      if (o.result == CheckResult::Unreachable) unreachable_.push_back(o.url + " " + o.reason);
      // When the last page checked without the hidden view was decided.
      if (!o.look.scripted) plain_done_ = g_get_monotonic_time();
    });
    checker_->signal_finished().connect([this] { Finished(); });
    Glib::signal_io().connect(
        [this](Glib::IOCondition) {
          std::string line;
          if (!std::getline(std::cin, line) || line == "quit") {
            Gtk::Main::quit();
            return false;
          }
          Command(line);
          return true;
        },
        0, Glib::IO_IN | Glib::IO_HUP);
    Glib::signal_timeout().connect(
        [this] {
          if (checking_) peak_kib_ = std::max(peak_kib_, ResidentKiB());
          return true;
        },
        20);
  }

 private:
  void Command(const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb == "round") {
      std::string file;
      in >> name_ >> file;
      std::ifstream urls_file(file);
      urls_.clear();
      for (std::string url; std::getline(urls_file, url);)
        if (!url.empty()) urls_.push_back(url);
      found_.clear();
      unreachable_.clear();
      longest_gap_ = last_frame_ = 0;
      base_kib_ = peak_kib_ = ResidentKiB();
      checking_ = true;
      started_ = g_get_monotonic_time();
      checker_->Start(urls_, state_);
    } else if (verb == "idle") {
      // The window's frames with no check under way: what the machine itself costs them.
      double seconds = 0;
      in >> seconds;
      longest_gap_ = last_frame_ = 0;
      checking_ = true;
      Glib::signal_timeout().connect_once(
          [this] {
            checking_ = false;
            std::printf("{\"idle_longest_frame_gap_ms\": %.1f}\n", longest_gap_ / 1000.0);
            std::fflush(stdout);
          },
          static_cast<unsigned>(seconds * 1000));
    } else if (verb == "seen") {
      for (auto& [url, entry] : state_.entries) AdoptCheckAsSeen(entry, ++clock_);
      const SeenStateSave saved = SaveSeenState(jobs_folder_, "Round", state_, urls_);
      state_ = ReadSeenState(jobs_folder_, "Round").state;
      std::ifstream file(SeenStatePath(jobs_folder_, "Round"), std::ios::ate | std::ios::binary);
      std::printf("{\"seen\": %s, \"state_file_bytes\": %lld, \"entries\": %zu}\n",
                  saved.ok ? "true" : "false", static_cast<long long>(file.tellg()),
                  state_.entries.size());
      std::fflush(stdout);
    }
  }

  void Finished() {
    const double seconds = (g_get_monotonic_time() - started_) / 1e6;
    checking_ = false;
    peak_kib_ = std::max(peak_kib_, ResidentKiB());
    const RoundCounts& c = checker_->counts();
    int marked = 0;
    for (const auto& [url, entry] : state_.entries) marked += IsMarked(entry);
    std::string found, unreachable;
    for (const std::string& u : found_) found += (found.empty() ? "" : ", ") + Quote(u);
    for (const std::string& u : unreachable_)
      unreachable += (unreachable.empty() ? "" : ", ") + Quote(u);
    std::printf(
        "{\"round\": %s, \"seconds\": %.3f, \"total\": %d, \"changed\": %d, \"unchanged\": %d, "
        "\"new\": %d, \"unreachable\": %d, \"not_modified\": %d, \"rendered\": %d, "
        "\"marked\": %d, \"plain_seconds\": %.3f, \"longest_frame_gap_ms\": %.1f, "
        "\"extra_rss_mib\": %.1f, "
        "\"found\": [%s], \"unreachable_urls\": [%s]}\n",
        Quote(name_).c_str(), seconds, c.total, c.changed, c.unchanged, c.added, c.unreachable,
        c.not_modified, c.rendered, marked, (plain_done_ - started_) / 1e6, longest_gap_ / 1000.0,
        (peak_kib_ - base_kib_) / 1024.0, found.c_str(), unreachable.c_str());
    std::fflush(stdout);
  }

  std::string jobs_folder_;
  Gtk::Window window_;
  Gtk::Box box_{Gtk::ORIENTATION_VERTICAL};
  Gtk::DrawingArea area_;
  WebKitBrowser browser_;
  std::unique_ptr<PageFetcher> fetcher_;
  std::unique_ptr<RoundChecker> checker_;
  SeenState state_;
  std::vector<std::string> urls_, found_, unreachable_;
  std::string name_;
  int64_t clock_ = 1000;
  bool checking_ = false;
  gint64 started_ = 0, last_frame_ = 0, longest_gap_ = 0, plain_done_ = 0;
  long base_kib_ = 0, peak_kib_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: rounds_shell JOBS-FOLDER\n");
    return 2;
  }
  Gtk::Main kit(argc, argv);
  Shell shell(argv[1]);
  Gtk::Main::run();
  return 0;
}
