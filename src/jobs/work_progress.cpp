#include "jobs/work_progress.h"

#include <glibmm/main.h>
#include <gtkmm/dialog.h>
#include <gtkmm/progressbar.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/accessible.h"

namespace tarvik {

double WorkProgress::fraction() const {
  const size_t total = total_, done = done_;
  if (total == 0) return 0.0;
  return done >= total ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
}

void RunWithProgress(Gtk::Window& owner, const std::string& title,
                     const std::function<void(WorkProgress&)>& work) {
  WorkProgress progress;
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work(progress);
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    ended.notify_all();
  });
  auto is_finished = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return finished;
  };
  {
    // Short work ends before any window shows.
    std::unique_lock<std::mutex> lock(mutex);
    ended.wait_for(lock, std::chrono::milliseconds(200), [&] { return finished; });
  }
  if (!is_finished()) {
    Gtk::Dialog dialog(title, owner, true);
    Gtk::ProgressBar bar;
    dialog.set_default_size(360, -1);
    dialog.set_deletable(true);
    dialog.get_content_area()->set_border_width(12);
    dialog.get_content_area()->pack_start(bar, Gtk::PACK_SHRINK);
    dialog.add_button(kCancelWorkCaption, Gtk::RESPONSE_CANCEL);
    bar.set_show_text(true);
    SetAccessibleName(bar, title);  // what the bar is the progress of
    // Every way out of the window stops the work; the window goes when the work has stopped.
    dialog.signal_response().connect([&](int) { progress.Cancel(); });
    dialog.signal_delete_event().connect([&](GdkEventAny*) {
      progress.Cancel();
      return true;
    });
    Glib::RefPtr<Glib::MainLoop> loop = Glib::MainLoop::create();
    sigc::connection poll = Glib::signal_timeout().connect(
        [&] {
          bar.set_fraction(progress.fraction());
          if (!is_finished()) return true;
          loop->quit();
          return false;
        },
        50);
    dialog.show_all();
    loop->run();
    poll.disconnect();
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tarvik
