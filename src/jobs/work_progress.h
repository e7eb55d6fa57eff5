// Long work off the main loop. The work runs on a thread of its own while the main loop goes on
// answering; once it takes more than a moment, a modal window shows how far it got and lets the
// user stop it. The job imports use it; the work itself is display-free code.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace Gtk {
class Window;
}

namespace tarvik {

// What the work and the window share; every member may be used from either thread.
class WorkProgress {
 public:
  // The work tells how far it got.
  void Report(size_t done, size_t total) {
    total_ = total;
    done_ = done;
  }
  // The work asks whether to stop.
  bool cancelled() const { return cancelled_; }
  void Cancel() { cancelled_ = true; }
  // Done of total, 0 to 1.
  double fraction() const;

 private:
  std::atomic<size_t> done_{0};
  std::atomic<size_t> total_{0};
  std::atomic<bool> cancelled_{false};
};

// The caption of the progress window's button that stops the work.
inline constexpr char kCancelWorkCaption[] = "キャンセル";

// Runs `work` on a thread while the main loop runs, and returns when it has returned. After a
// fifth of a second, a modal window over `owner` titled `title` shows its progress; its
// "キャンセル" button, Escape and closing the window (the end of the session closes it too) ask
// the work to stop, through WorkProgress::cancelled(). `work` touches no widget. An exception
// it throws is thrown again here.
void RunWithProgress(Gtk::Window& owner, const std::string& title,
                     const std::function<void(WorkProgress&)>& work);

}  // namespace tarvik
