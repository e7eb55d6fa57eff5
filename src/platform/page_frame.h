// The place of a browser's page in the window: it shows one view and may hold others out of
// sight, laid out at the same size so that any of them can be shown at once (a page made ready
// for the next step, pages kept for back and forward). Only the view shown is mapped, so only it
// takes the pointer, the wheel and the keys, and only it is a child that assistive technologies
// see; the others are the frame's own internal children.
#pragma once

#include <gtkmm/container.h>

#include <vector>

namespace tarvik {

class PageFrame : public Gtk::Container {
 public:
  PageFrame();
  ~PageFrame() override;

  // Adds `view` out of sight, or leaves it where it is if it is a child already.
  void Hold(GtkWidget* view);
  // Shows `view` (adding it if need be); the view shown before stays, out of sight.
  void Show(GtkWidget* view);
  // Takes `view` out of the frame.
  void Drop(GtkWidget* view);
  bool Holds(GtkWidget* view) const;
  GtkWidget* shown() const { return shown_; }

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void get_preferred_width_vfunc(int& minimum, int& natural) const override;
  void get_preferred_height_vfunc(int& minimum, int& natural) const override;
  void on_size_allocate(Gtk::Allocation& allocation) override;
  void forall_vfunc(gboolean include_internals, GtkCallback callback,
                    gpointer callback_data) override;
  void on_add(Gtk::Widget* child) override;
  void on_remove(Gtk::Widget* child) override;
  GType child_type_vfunc() const override;

 private:
  void TellAssistiveTechnologies(GtkWidget* view, bool added);

  std::vector<GtkWidget*> children_;
  GtkWidget* shown_ = nullptr;
};

}  // namespace tarvik
