// A cool bar: bands laid out in rows, each band with an optional caption, a gripper, a child
// widget, minimum sizes and a width. The user drags a band by its gripper along its row or into
// another row (also into a new row below the last). The bar sizes its own height to its rows and
// reports a change of that height and any change of its bands.
#pragma once

#include <gdkmm/pixbuf.h>
#include <gtkmm/container.h>
#include <sigc++/sigc++.h>

#include <string>
#include <vector>

namespace tarvik {

struct CoolBand {
  std::string caption;          // drawn after the gripper; empty for none
  int min_width = 0;            // pixels, child area included
  int min_height = 0;           // pixels, the child's minimum height
  int width = 0;                // pixels, the band's preferred width
  bool new_row = false;         // the band starts a new row
  bool use_bar_picture = true;  // false: the band is drawn plain, without the bar's picture
  bool holds_child = false;     // the band is never narrower than its child's own minimum
};

class CoolBar : public Gtk::Container {
 public:
  CoolBar();
  ~CoolBar() override;

  // Adds a band holding `child` after the existing ones and returns its index (0-based, in the
  // order of adding; indices do not change when bands are dragged, nor when a child is removed:
  // its band stays, empty). Adding a band is not reported through signal_height_changed().
  // A band's caption becomes its child's accessible name, unless the child has a name already.
  int add_band(Gtk::Widget& child, const CoolBand& band);
  int band_count() const;

  // A hidden band takes no room, a row of hidden bands no height; its child stays unmapped (its
  // own visible flag untouched, so show_all() does not bring it back). Hidden bands keep their
  // place.
  void set_band_visible(int band, bool visible);
  bool band_visible(int band) const;

  // The band's width in pixels as laid out now (0 for a hidden band), and the width it asks for.
  // The layout uses the bar's current allocation (before the first one: its natural width). A band
  // is narrower than its minimum only when the minimums of its row would put the last band's
  // gripper past the bar's right edge: then the bands before it give up width from the right down
  // to their grippers, so that every gripper stays in the bar, where it can be dragged. The last
  // band of a row takes the rest of the bar, or runs past its edge. Setting
  // a width or minimum from code relays the bar but emits no signal. A band's child gets the
  // band's width less band_frame_width() and never more, whatever it asks for: a band that must
  // show all of its child needs a minimum that holds it.
  int band_width(int band) const;
  // The part of a band's width that is not its child's: gripper, caption and border.
  int band_frame_width(int band) const;
  void set_band_width(int band, int width);
  void set_band_min_width(int band, int width);

  // Where the band is: its row (0-based, counting visible rows) and its place in that row.
  int band_row(int band) const;
  int band_position_in_row(int band) const;
  // Moves a band as a drag with the mouse would: into `row` (an index one past the last row
  // makes a new row) before the band now at `position` in that row (or last).
  void move_band(int band, int row, int position);

  // The rectangle of the band's child in the bar's coordinates.
  Gdk::Rectangle band_child_rect(int band) const;
  // The height the bar takes for its rows, in pixels.
  int bar_height() const;

  // Background picture, tiled over the bands that use it; nullptr removes it.
  void set_picture(const Glib::RefPtr<Gdk::Pixbuf>& picture);

  // Emitted only when bar_height() really changed: at once, outside any allocation, after a move,
  // a drag or a change of visibility; from an idle handler when a child's own minimum height
  // changed the rows.
  sigc::signal<void(int)>& signal_height_changed();  // the new height in pixels
  // Emitted when bands move (by drag or move_band), change width through a drag, or change
  // visibility.
  sigc::signal<void()>& signal_band_change();

 protected:
  struct Impl;
  Impl* impl_;

  void forall_vfunc(gboolean include_internals, GtkCallback callback, gpointer data) override;
  void on_add(Gtk::Widget* child) override;
  void on_remove(Gtk::Widget* child) override;
  GType child_type_vfunc() const override;
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void get_preferred_width_vfunc(int& minimum, int& natural) const override;
  void get_preferred_height_vfunc(int& minimum, int& natural) const override;
  void on_size_allocate(Gtk::Allocation& allocation) override;
  void on_realize() override;
  void on_unrealize() override;
  void on_style_updated() override;
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;
  bool on_motion_notify_event(GdkEventMotion* event) override;
};

}  // namespace tarvik
