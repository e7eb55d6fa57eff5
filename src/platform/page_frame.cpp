#include "platform/page_frame.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace tarvik {

PageFrame::PageFrame() {
  set_has_window(false);
  set_redraw_on_allocate(false);
  // The window is going: the views out of sight go with it, as the one shown does (a container
  // destroys only the children it lists to everyone).
  g_signal_connect(gobj(), "destroy", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                     auto* frame = static_cast<PageFrame*>(self);
                     std::vector<GtkWidget*> hidden;
                     for (GtkWidget* child : frame->children_)
                       if (child != frame->shown_) hidden.push_back(child);
                     for (GtkWidget* child : hidden) gtk_widget_destroy(child);
                   }),
                   this);
}

PageFrame::~PageFrame() {
  for (GtkWidget* child : std::vector<GtkWidget*>(children_)) Drop(child);
}

bool PageFrame::Holds(GtkWidget* view) const {
  return std::find(children_.begin(), children_.end(), view) != children_.end();
}

void PageFrame::Hold(GtkWidget* view) {
  if (Holds(view)) return;
  children_.push_back(view);
  gtk_widget_set_child_visible(view, FALSE);  // never mapped until shown
  gtk_widget_set_parent(view, GTK_WIDGET(gobj()));
  queue_resize();
}

void PageFrame::Show(GtkWidget* view) {
  Hold(view);
  if (shown_ == view) return;
  GtkWidget* before = shown_;
  shown_ = view;
  if (before) {
    gtk_widget_set_child_visible(before, FALSE);
    TellAssistiveTechnologies(before, false);
  }
  gtk_widget_set_child_visible(view, TRUE);
  TellAssistiveTechnologies(view, true);
  queue_resize();
}

void PageFrame::Drop(GtkWidget* view) {
  auto at = std::find(children_.begin(), children_.end(), view);
  if (at == children_.end()) return;
  const bool was_shown = view == shown_;
  const bool visible = gtk_widget_get_visible(view);
  children_.erase(at);
  if (was_shown) {
    shown_ = nullptr;
    TellAssistiveTechnologies(view, false);
  }
  gtk_widget_unparent(view);
  if (visible && was_shown) queue_resize();
}

void PageFrame::TellAssistiveTechnologies(GtkWidget* view, bool added) {
  if (!gtk_widget_get_realized(GTK_WIDGET(gobj()))) return;
  AtkObject* frame = gtk_widget_get_accessible(GTK_WIDGET(gobj()));
  AtkObject* child = gtk_widget_get_accessible(view);
  if (!frame || !child) return;
  if (added) atk_object_set_parent(child, frame);
  g_signal_emit_by_name(frame, added ? "children-changed::add" : "children-changed::remove", 0,
                        child);
}

Gtk::SizeRequestMode PageFrame::get_request_mode_vfunc() const {
  return Gtk::SIZE_REQUEST_CONSTANT_SIZE;
}

void PageFrame::get_preferred_width_vfunc(int& minimum, int& natural) const {
  minimum = natural = 0;
  if (shown_ && gtk_widget_get_visible(shown_))
    gtk_widget_get_preferred_width(shown_, &minimum, &natural);
}

void PageFrame::get_preferred_height_vfunc(int& minimum, int& natural) const {
  minimum = natural = 0;
  if (shown_ && gtk_widget_get_visible(shown_))
    gtk_widget_get_preferred_height(shown_, &minimum, &natural);
}

// Every view gets the whole frame, so that the one shown next is laid out at the size it will
// be shown at.
void PageFrame::on_size_allocate(Gtk::Allocation& allocation) {
  set_allocation(allocation);
  GtkAllocation a = *allocation.gobj();
  for (GtkWidget* child : children_) {
    if (!gtk_widget_get_visible(child)) continue;
    int minimum = 0;
    gtk_widget_get_preferred_width(child, &minimum, nullptr);  // GTK asks for a size first
    gtk_widget_get_preferred_height(child, &minimum, nullptr);
    gtk_widget_size_allocate(child, &a);
  }
}

// The views out of sight are the frame's internal children: drawn, mapped and allocated by GTK
// as children (they are never mapped while hidden), but not listed to anyone else.
void PageFrame::forall_vfunc(gboolean include_internals, GtkCallback callback,
                             gpointer callback_data) {
  for (GtkWidget* child : std::vector<GtkWidget*>(children_))
    if (include_internals || child == shown_) callback(child, callback_data);
}

void PageFrame::on_add(Gtk::Widget* child) { Show(child->gobj()); }

void PageFrame::on_remove(Gtk::Widget* child) { Drop(child->gobj()); }

GType PageFrame::child_type_vfunc() const { return GTK_TYPE_WIDGET; }

}  // namespace tarvik
