// The page tools' share of the main window: the find bar over the top of the page area, the
// zoom and the mouse's extra buttons over the page, and full screen.
#include "app/frm_main.h"
#include "app/window_system.h"

#include <gdk/gdkkeysyms.h>

namespace tarvik {

void frmMain::BuildPageTools() {
  // The menus' keys work in full screen, with the menu bar hidden.
  g_signal_connect(menubar_.gobj(), "can-activate-accel",
                   G_CALLBACK(+[](GtkWidget*, guint, gpointer self) -> gboolean {
                     return static_cast<frmMain*>(self)->full_screen_;
                   }),
                   this);
  client_.put(find_bar_, 0, 0);
  find_bar_.signal_open_changed().connect([this](bool open) {
    int minimum = 0, natural = 0;
    if (open) find_bar_.get_preferred_height(minimum, natural);
    layout_.SetTopBand(wbwMain(), &find_bar_, open ? natural : 0);
  });
  browser_->signal_zoom_wheel().connect([this](int step) { page_tools_.ZoomStep(step); });
  // The mouse's back and forward buttons do what the toolbar's buttons do.
  browser_->signal_history_button().connect(
      [this](bool back) { actions_.Run(back ? ActionId::Back : ActionId::Forward); });
  browser_->signal_navigate_complete2().connect([this](const std::string& url) {
    page_tools_.PageShown(url);
    find_bar_.PageChanged();
  });
  // In full screen the page takes the whole of the window's client area.
  // A size asked for while the layout is being allocated would wait for another allocation: it
  // is asked for once the allocation is over.
  client_.signal_size_allocate().connect([this](Gtk::Allocation& area) {
    if (!full_screen_) return;
    const auto size = std::make_pair(area.get_width(), area.get_height());
    fill_pending_.disconnect();
    fill_pending_ = Glib::signal_idle().connect([this, size] {
      if (full_screen_) layout_.Fill(wbwMain(), size);
      return false;
    });
  });
}

void frmMain::ToggleFullScreen() {
  if (full_screen_) return unfullscreen();
  before_full_screen_ = PlacementNow();
  fullscreen();
}

bool frmMain::EscapeFromPage(GdkEventKey* event) {
  if (event->keyval != GDK_KEY_Escape || (event->state & gtk_accelerator_get_default_mod_mask()))
    return false;
  if (find_bar_.is_open() && find_bar_.entry().has_focus()) return false;
  if (full_screen_) {
    unfullscreen();
    return true;
  }
  browser_->Stop();
  return false;
}

// As the window system reports the window in full screen or out of it.
void frmMain::ShowFullScreen(bool on) {
  full_screen_ = on;
  Gtk::Widget* bars[3] = {&menubar_, &clbComm_, &stbStat_};
  if (on) {
    for (int i = 0; i < 3; ++i) {
      bars_before_full_screen_[i] = bars[i]->get_visible();
      bars[i]->hide();
    }
    layout_.Fill(wbwMain(),
                 std::make_pair(client_.get_allocated_width(), client_.get_allocated_height()));
    return;
  }
  for (int i = 0; i < 3; ++i) bars[i]->set_visible(bars_before_full_screen_[i]);
  layout_.Fill(wbwMain(), std::nullopt);
  before_full_screen_.reset();
}

}  // namespace tarvik
