// The version dialog: a small fixed-size tool window with a drawn background and four labels.
#pragma once

#include <gtkmm/fixed.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <string>

namespace tarvik {

class frmVer : public Gtk::Window {
 public:
  static constexpr int kClientWidth = 250;   // 3735 twips
  static constexpr int kClientHeight = 180;  // 2685 twips
  static constexpr char kCaption[] = "ﾊﾞｰｼﾞｮﾝ情報";
  static constexpr char kRightsLine[] = "(C) 2026 Tarvik Project";

  // `owner` may be null. The dialog is not shown yet.
  explicit frmVer(Gtk::Window* owner);
  ~frmVer() override;

  Gtk::Label& Label1() { return Label1_; }
  Gtk::Label& Label2() { return Label2_; }
  Gtk::Label& labVer() { return labVer_; }
  Gtk::Label& Label3() { return Label3_; }
  Gtk::Widget& client_area() { return client_area_; }

  // The font family that stands in for Arial on this machine.
  static std::string SansFamily();

 protected:
  bool on_delete_event(GdkEventAny* event) override;

 private:
  // The client area: paints the background picture, then the labels over it.
  class Client : public Gtk::Fixed {
   protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  };

  void Form_Load();

  Client client_area_;
  Gtk::Label Label1_;
  Gtk::Label Label2_;
  Gtk::Label labVer_;
  Gtk::Label Label3_;
};

}  // namespace tarvik
