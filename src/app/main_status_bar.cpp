#include "app/main_status_bar.h"

#include <glibmm/datetime.h>
#include <glibmm/main.h>
#include <gtkmm/stylecontext.h>

#include "app/layout_rules.h"
#include "app/main_window_design.h"
#include "browse/progress_graph.h"
#include "platform/style_sheet.h"

namespace tarvik {

MainStatusBar::MainStatusBar() : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL) {}

MainStatusBar::~MainStatusBar() {
  clock_.disconnect();
  notice_.disconnect();
}

void MainStatusBar::set_status_text(const std::string& text) {
  browser_text_ = text;
  if (!notice_.connected()) status_text_.set_text(text);
}

void MainStatusBar::ShowNotice(const std::string& text) {
  EndNotice();
  status_text_.set_text(text);
  notice_ = Glib::signal_timeout().connect_seconds(
      [this] {
        EndNotice();
        return false;  // the connection ends with this call
      },
      kNoticeSeconds);
}

void MainStatusBar::ShowUndoNotice(const std::string& text, const std::string& action, int seconds,
                                   std::function<void()> undo) {
  ShowNotice(text);
  notice_.disconnect();
  undo_ = std::move(undo);
  undo_button_.set_label(action);
  undo_button_.show();
  notice_ = Glib::signal_timeout().connect_seconds(
      [this] {
        EndNotice();
        return false;
      },
      seconds);
}

void MainStatusBar::EndNotice() {
  notice_.disconnect();
  undo_ = nullptr;
  undo_button_.hide();
  status_text_.set_text(browser_text_);
}

void MainStatusBar::Build(int tx, int ty) {
  get_style_context()->add_class("tarvik-status");
  panels_ = {&status_text_, nullptr, &status_date_, &status_time_};
  static const char* const kTips[4] = {"ブラウザの状況などが表示されます", "進捗グラフを表示します",
                                       "今日の日付", "現在の時刻"};
  for (int i = 0; i < 4; ++i) {
    Gtk::Frame& f = panel_frames_[i];
    f.set_shadow_type(Gtk::SHADOW_IN);
    f.set_tooltip_text(kTips[i]);
    if (i == 1) {
      f.add(picProg_);
    } else if (i == 0) {
      status_text_.set_xalign(0.0f);
      status_text_.set_ellipsize(Pango::ELLIPSIZE_END);
      text_panel_.pack_start(status_text_, Gtk::PACK_EXPAND_WIDGET);
      text_panel_.pack_start(undo_button_, Gtk::PACK_SHRINK);
      text_panel_.pack_end(zoom_text_, Gtk::PACK_SHRINK);
      f.add(text_panel_);
    } else {
      panels_[i]->set_xalign(i == 0 ? 0.0f : 0.5f);
      panels_[i]->set_ellipsize(Pango::ELLIPSIZE_END);
      f.add(*panels_[i]);
    }
    // The text panel takes what the others leave, so the window can still be made narrow.
    f.set_size_request(i == 0 ? -1 : ToPixels(design::kPanelWidths[i], tx),
                       ToPixels(design::kStatusBar.height, ty));
    pack_start(f, i == 0 ? Gtk::PACK_EXPAND_WIDGET : Gtk::PACK_SHRINK);
  }
  status_text_.set_size_request(1, -1);  // the text panel gives way when the window narrows
  // The undo button fits the panel's height: it reads as a link in the text, not as a button
  // that would make the bar taller.
  InstallStyleSheet(".tarvik-undo { padding: 0 6px; min-height: 0; margin: 0; }");
  undo_button_.get_style_context()->add_class("tarvik-undo");
  undo_button_.set_relief(Gtk::RELIEF_NONE);
  undo_button_.set_focus_on_click(false);
  undo_button_.set_no_show_all();
  zoom_text_.set_no_show_all();
  zoom_text_.set_margin_end(4);
  undo_button_.signal_clicked().connect([this] {
    std::function<void()> undo = std::move(undo_);
    EndNotice();
    if (undo) undo();
  });
  picProg_.signal_draw().connect(sigc::mem_fun(*this, &MainStatusBar::DrawProgress));
  clock_ = Glib::signal_timeout().connect_seconds(
      [this] {
        UpdateClock();
        return true;
      },
      1);
  UpdateClock();
}

void MainStatusBar::UpdateClock() {
  Glib::DateTime now = Glib::DateTime::create_now_local();
  status_date_.set_text(now.format("%Y/%m/%d"));
  status_time_.set_text(now.format("%H:%M"));
}

void MainStatusBar::ShowProgress(long progress, long maximum) {
  const int width = panel_frames_[1].get_allocated_width();
  const int height = get_allocated_height();
  const ProgressFill fill = ProgressGeometry(progress, maximum, width, height);
  if (fill.action == ProgressFill::Keep) return;
  if (fill.action == ProgressFill::Clear) {
    // The next load draws on a clean surface, not over the last one's full graph.
    progress_surface_.clear();
    progress_x_ = 0;
    progress_shown_ = false;
    picProg_.queue_draw();
    return;
  }
  if (!progress_surface_ || progress_surface_->get_width() != width ||
      progress_surface_->get_height() != height) {
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
    if (progress_surface_) {
      // The drawing survives a change of the panel's size.
      auto cr = Cairo::Context::create(surface);
      cr->set_source(progress_surface_, 0, 0);
      cr->paint();
    }
    progress_surface_ = surface;
  }
  auto cr = Cairo::Context::create(progress_surface_);
  cr->set_source_rgb(220 / 255.0, 0, 0);
  cr->rectangle(0, fill.top, fill.width, fill.height);
  cr->fill();
  progress_x_ = fill.extent();
  progress_shown_ = true;
  picProg_.queue_draw();
}

bool MainStatusBar::DrawProgress(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (!progress_shown_ || !progress_surface_) return false;
  // The surface is laid over the whole panel; the drawing area sits inside the panel's frame.
  int x = 0, y = 0;
  picProg_.translate_coordinates(panel_frames_[1], 0, 0, x, y);
  cr->set_source(progress_surface_, -x, -y);
  cr->paint();
  return true;
}

}  // namespace tarvik

namespace tarvik {

void MainStatusBar::set_zoom_text(const std::string& text) {
  zoom_text_.set_text(text);
  zoom_text_.set_visible(!text.empty());
}

}  // namespace tarvik
