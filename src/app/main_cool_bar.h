// The main window's cool bar with the contents of its four bands as designed: the toolbar, the
// pockets, the mode picture, and band 4's job bar and address bar in the same place.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/fixed.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/separatortoolitem.h>
#include <gtkmm/toolbar.h>
#include <gtkmm/toolbutton.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/twips_layout.h"
#include "app/window_mode.h"
#include "platform/accessible.h"
#include "platform/cool_bar.h"
#include "platform/image_list.h"
#include "platform/list_selector.h"

namespace tarvik {

struct LayoutSnapshot;
struct ResizeLayout;

class MainCoolBar : public CoolBar {
 public:
  // What a screen reader reads for the title line, and before the place ("ジョブ内の位置 3 / 12").
  static constexpr char kTitleLineName[] = "タイトル行";
  static constexpr char kJobPlaceName[] = "ジョブ内の位置";
  ~MainCoolBar() override { fit_labels_.disconnect(); }
  // Builds the bands and their controls in their designed places.
  void Build(TwipsLayout& layout, int tx, int ty);

  // Job mode shows the job bar, direct mode the address bar; the mode picture shows the mode and is
  // named after it.
  void ShowModeBar(Mode mode);
  void ShowModePicture(Mode mode);
  Mode shown_mode() const { return shown_mode_; }  // the mode the picture shows
  // The place of the current entry in the job, "3 / 12", at the right end of the title line's
  // room, which gives up the label's width while it shows one; empty hides it.
  void ShowJobPlace(const std::string& text);
  // After the title line's designed width changed: the label keeps its room inside it.
  void FitJobPlace();
  // The bar's share of a resize: its width, band 4 with its pictures, and the controls in it.
  void ApplyResize(const ResizeLayout& l);
  // The title line's and the address box's widths, after band 4 changed.
  void SetTextWidths(float job_width, float url_width);
  // The bar's share of the layout snapshot, as the bar is laid out now.
  void CaptureInto(LayoutSnapshot& s) const;
  // A link dropped on the address box is put in it and `go` runs once the drag has ended; the
  // entry itself would insert the link's text.
  void OpenDroppedLinks(std::function<void()> go);
  // As the address box's text changes, it offers what `complete` finds for it.
  void CompleteAddresses(std::function<std::vector<std::string>(const std::string&)> complete);
  // imlToolbar's images 1 to 5 on the toolbar buttons 1, 2, 3, 5 and 6.
  void ShowToolbarImages();

  Gtk::ToolButton& tool_button(int index) { return *tool_buttons_.at(index - 1); }  // 1-based
  Gtk::Entry& txtURL() { return txtURL_; }
  Gtk::Entry& txtJob() { return txtJob_; }
  Gtk::Label& lblPlace() { return lblPlace_; }
  ListSelector& cboJob() { return cboJob_; }
  Gtk::Button& cmdNav(int i) { return cmdNav_[i]; }
  Gtk::Button& cmdMove() { return cmdMove_; }
  Gtk::Button& cmdOpFav() { return cmdOpFav_; }
  Gtk::Button& cmdSvFav() { return cmdSvFav_; }
  PictureSwitch& picMode() { return picMode_; }
  Gtk::Image& picModeImage() { return picModeImage_; }
  PictureSwitch& picPocket(int i) { return picPocket_[i]; }
  Gtk::Image& picPocketImage(int i) { return picPocketImage_[i]; }
  Gtk::Fixed& picBack(int i) { return picBack_[i]; }
  ImageList& imlMethod() { return imlMethod_; }
  ImageList& imlPocket() { return imlPocket_; }
  ImageList& imlToolbar() { return imlToolbar_; }

 private:
  void BuildToolbar(TwipsLayout& layout);
  // Draws the toolbar's labels no larger than lets the first row as designed fit the bar's
  // designed width: at a large font resolution the labels alone would push the bands beyond it.
  void FitToolbarLabels();
  void ScaleLabel(Gtk::Widget& button);  // to label_scale_

  std::array<Gtk::Fixed, 5> picBack_;
  Gtk::Entry txtURL_;
  Gtk::Button cmdMove_;
  Gtk::Button cmdOpFav_;
  Gtk::Button cmdSvFav_;
  ListSelector cboJob_;
  std::array<Gtk::Button, 5> cmdNav_;
  Gtk::Entry txtJob_;
  Gtk::Label lblPlace_;
  PictureSwitch picMode_;
  Gtk::Image picModeImage_;
  std::array<PictureSwitch, 3> picPocket_;
  std::array<Gtk::Image, 3> picPocketImage_;
  Gtk::Toolbar tlbTool_;
  std::array<std::unique_ptr<Gtk::ToolButton>, 6> tool_buttons_;
  std::unique_ptr<Gtk::SeparatorToolItem> tool_spacer_;

  TwipsLayout* layout_ = nullptr;  // the window's, which outlives the bar's use of it
  Mode shown_mode_ = Mode::Job;
  int tx_ = 15;
  double label_scale_ = 1.0;  // of the toolbar's labels
  sigc::connection fit_labels_;
  ImageList imlMethod_{75, 25};
  ImageList imlToolbar_{32, 32};
  ImageList imlPocket_{32, 32};
};

}  // namespace tarvik
