// The main window's status bar: the status text, the progress graph (browse/progress_graph.h),
// today's date and the time.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/frame.h>
#include <gtkmm/label.h>

#include <array>
#include <functional>
#include <string>

namespace tarvik {

class MainStatusBar : public Gtk::Box {
 public:
  MainStatusBar();
  ~MainStatusBar() override;

  // Builds the four panels at their designed widths for the screen's twips per pixel.
  void Build(int tx, int ty);

  // The browser's status text; while a notice is shown it waits until the notice has gone.
  void set_status_text(const std::string& text);
  // Says what a command has done, in the text panel for kNoticeSeconds; no dialog.
  void ShowNotice(const std::string& text);
  static constexpr int kNoticeSeconds = 4;
  // Says what a command has done and, for `seconds`, offers after the text a button `action`
  // that takes it back: pressing it runs `undo` and ends the notice. Another notice ends the
  // offer.
  void ShowUndoNotice(const std::string& text, const std::string& action, int seconds,
                      std::function<void()> undo);
  Gtk::Button& undo_button() { return undo_button_; }
  // A progress report of the page's load: the graph grows, or clears when there is none.
  void ShowProgress(long progress, long maximum);
  // The progress graph's right edge in pixels, -1 when nothing is drawn.
  int progress_extent() const { return progress_shown_ ? progress_x_ : -1; }
  Gtk::Label& panel(int i) { return *panels_[i]; }  // 0 text, 2 date, 3 time
  // The page's zoom at the end of the text panel; "" hides it.
  void set_zoom_text(const std::string& text);
  Gtk::Label& zoom_text() { return zoom_text_; }
  Gtk::DrawingArea& picProg() { return picProg_; }
  void StopClock() { clock_.disconnect(); }

 private:
  void UpdateClock();
  void EndNotice();
  bool DrawProgress(const Cairo::RefPtr<Cairo::Context>& cr);

  std::array<Gtk::Frame, 4> panel_frames_;
  std::array<Gtk::Label*, 4> panels_{};
  Gtk::Box text_panel_{Gtk::ORIENTATION_HORIZONTAL};  // the text and the undo button
  Gtk::Label status_text_;
  Gtk::Button undo_button_;
  Gtk::Label zoom_text_;
  std::function<void()> undo_;
  Gtk::DrawingArea picProg_;
  Gtk::Label status_date_;
  Gtk::Label status_time_;
  sigc::connection clock_;
  sigc::connection notice_;   // runs out when the notice shown goes
  std::string browser_text_;  // the browser's last status text
  // What is drawn accumulates during a load; a report of no progress (a load starting or
  // ending) clears it.
  Cairo::RefPtr<Cairo::ImageSurface> progress_surface_;
  bool progress_shown_ = false;
  int progress_x_ = 0;
};

}  // namespace tarvik
