#include "app/main_cool_bar.h"

#include <glibmm/main.h>
#include <gtkmm/entrycompletion.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/stylecontext.h>
#include <pangomm/attrlist.h>

#include "app/layout_rules.h"
#include "jobs/job_cursor.h"
#include "jobs/job_editing.h"
#include "platform/accessible.h"
#include "platform/builtin_images.h"
#include "platform/style_sheet.h"

namespace tarvik {

namespace {

// The button shows only a picture: `name` is what a screen reader reads for it.
void PictureButton(Gtk::Button& b, const Glib::RefPtr<Gdk::Pixbuf>& picture, const char* tip,
                   const char* name) {
  auto* image = Gtk::manage(new Gtk::Image(picture));
  b.set_image(*image);
  SetAccessibleName(b, name);
  b.set_always_show_image(true);
  b.set_tooltip_text(tip);
  b.set_focus_on_click(false);
  b.get_style_context()->add_class("tarvik-picture");
}

// The label a tool button shows.
Gtk::Label* FindLabel(Gtk::Widget& w) {
  if (auto* label = dynamic_cast<Gtk::Label*>(&w)) return label;
  if (auto* container = dynamic_cast<Gtk::Container*>(&w))
    for (Gtk::Widget* child : container->get_children())
      if (Gtk::Label* label = FindLabel(*child)) return label;
  return nullptr;
}

}  // namespace

void MainCoolBar::Build(TwipsLayout& layout, int tx, int ty) {
  tx_ = tx;
  // The address bar, picBack(4).
  picBack_[4].put(txtURL_, 0, 0);
  layout.Place(txtURL_, design::kURL);
  txtURL_.set_tooltip_text("URL入力欄");
  picBack_[4].put(cmdMove_, 0, 0);
  layout.Place(cmdMove_, design::kMove);
  PictureButton(cmdMove_, builtin::DirButtonImage(1), "入力したURLに移動", design::kMoveName);
  picBack_[4].put(cmdOpFav_, 0, 0);
  layout.Place(cmdOpFav_, design::kOpenFav);
  PictureButton(cmdOpFav_, builtin::DirButtonImage(2), "お気に入りを開く", design::kOpenFavName);
  picBack_[4].put(cmdSvFav_, 0, 0);
  layout.Place(cmdSvFav_, design::kSaveFav);
  PictureButton(cmdSvFav_, builtin::DirButtonImage(3), "お気に入りに追加", design::kSaveFavName);

  // The job bar, picBack(3).
  picBack_[3].put(cboJob_, 0, 0);
  layout.Place(cboJob_, design::kJob);
  cboJob_.set_tooltip_text("ジョブの選択");
  cboJob_.set_sensitive(false);
  for (int i = 0; i < 5; ++i) {
    picBack_[3].put(cmdNav_[i], 0, 0);
    layout.Place(cmdNav_[i], design::kNav[i]);
    PictureButton(cmdNav_[i], builtin::NavButtonImage(i), kJobStepTips[i], design::kNavNames[i]);
  }
  picBack_[3].put(txtJob_, 0, 0);
  layout.Place(txtJob_, design::kJobTitle);
  txtJob_.set_tooltip_text("タイトル [URL]");
  txtJob_.set_editable(false);
  SetAccessibleName(txtJob_, kTitleLineName);
  // The place reads like the title line beside it, in any theme.
  InstallStyleSheet(
      ".tarvik-job-place { background-color: @theme_base_color; color: @theme_text_color;"
      " border: 1px solid @borders; border-radius: 3px; padding: 0 4px; }");
  lblPlace_.get_style_context()->add_class("tarvik-job-place");
  lblPlace_.set_no_show_all();
  picBack_[3].put(lblPlace_, 0, 0);
  layout_ = &layout;

  // Band 4's picture holds both bars in the same place.
  picBack_[2].put(picBack_[3], 0, 0);
  layout.Place(picBack_[3], design::kBackJob);
  picBack_[2].put(picBack_[4], 0, 0);
  layout.Place(picBack_[4], design::kBackAddress);
  layout.Place(picBack_[2], design::kBackBar);

  // The mode picture, picBack(1).
  picModeImage_.show();
  picMode_.add(picModeImage_);
  picBack_[1].put(picMode_, 0, 0);
  layout.Place(picMode_, design::kMode);
  layout.Place(picBack_[1], design::kBackMode);
  imlMethod_.add(builtin::ModeImage(1));
  imlMethod_.add(builtin::ModeImage(2));

  // The pockets, picBack(0).
  imlPocket_.add(builtin::PocketImage(false), "Empty");
  imlPocket_.add(builtin::PocketImage(true), "Full");
  for (int i = 0; i < 3; ++i) {
    picPocket_[i].add(picPocketImage_[i]);
    picBack_[0].put(picPocket_[i], 0, 0);
    layout.Place(picPocket_[i], design::kPocket[i]);
    picPocket_[i].signal_realize().connect([this, i] {
      if (auto win = picPocket_[i].get_window())
        win->set_cursor(builtin::PocketCursor(get_display()));
    });
  }
  layout.Place(picBack_[0], design::kBackPockets);

  BuildToolbar(layout);

  Gtk::Widget* children[4] = {&tlbTool_, &picBack_[0], &picBack_[1], &picBack_[2]};
  for (int b = 0; b < 4; ++b) {
    const design::Band& d = design::kBands[b];
    CoolBand band;
    band.caption = d.caption;
    band.min_width = ToPixels(d.min_width, tx);
    band.min_height = ToPixels(d.min_height, ty);
    band.width = ToPixels(d.width, tx);
    // The bar gives a child its band's room only: the toolbar's band holds all of its buttons,
    // which grow with the text.
    band.holds_child = children[b] == &tlbTool_;
    band.new_row = d.new_row;
    band.use_bar_picture = d.use_bar_picture;
    int index = add_band(*children[b], band);
    // The designed widths are those of the band's child; the gripper and caption come on top.
    int frame = band_frame_width(index);
    set_band_min_width(index, band.min_width + frame);
    set_band_width(index, band.width + frame);
  }
  layout.Place(*this, design::kCoolBar);
  // The bar sizes its own height to its rows.
  set_size_request(ToPixels(design::kCoolBar.width, tx), -1);
  // The labels are measured once the buttons show, and again after a new font resolution once the
  // styles settled.
  tlbTool_.signal_show().connect([this] { FitToolbarLabels(); });
  tlbTool_.signal_style_updated().connect([this] {
    if (!fit_labels_.connected())
      fit_labels_ = Glib::signal_idle().connect([this] {
        FitToolbarLabels();
        return false;
      });
  });
}

void MainCoolBar::ScaleLabel(Gtk::Widget& button) {
  Gtk::Label* label = FindLabel(button);
  if (!label) return;
  Pango::AttrList attrs;
  if (label_scale_ < 1.0) {
    Pango::Attribute scale = Pango::Attribute::create_attr_scale(label_scale_);
    attrs.insert(scale);
  }
  label->set_attributes(attrs);
}

void MainCoolBar::FitToolbarLabels() {
  auto apply = [this](double scale) {
    label_scale_ = scale;
    for (auto& button : tool_buttons_)
      if (button) ScaleLabel(*button);
  };
  auto width = [this] {
    int minimum = 0, natural = 0;
    tlbTool_.get_preferred_width(minimum, natural);
    return minimum;
  };
  // The toolbar's room: the bar's designed width less the other bands of the first row at their
  // minimums, and its own band's gripper and border.
  int room = ToPixels(design::kCoolBar.width, tx_) - band_frame_width(0);
  for (int b = 1; b < band_count() && !design::kBands[b].new_row; ++b)
    room -= ToPixels(design::kBands[b].min_width, tx_) + band_frame_width(b);
  apply(1.0);
  // The labels shrink in small steps, never below half their size: a step is a few pixels.
  for (double scale = 0.97; width() > room && scale >= 0.5; scale -= 0.03) apply(scale);
}

void MainCoolBar::BuildToolbar(TwipsLayout& layout) {
  for (int i = 1; i <= 5; ++i) imlToolbar_.add(builtin::ToolbarImage(i));
  static const char* const kCaptions[6] = {"中止(_B)", "更新(_R)", "_Home", "", "戻る", "進む"};
  static const int kImage[6] = {1, 2, 3, 0, 4, 5};
  for (int i = 0; i < 6; ++i) {
    if (i == 3) {
      tool_spacer_ = std::make_unique<Gtk::SeparatorToolItem>();
      tool_spacer_->set_draw(false);
      tool_spacer_->set_homogeneous(false);
      tool_spacer_->set_size_request(8, -1);
      tlbTool_.append(*tool_spacer_);
      continue;
    }
    auto* image = Gtk::manage(new Gtk::Image(imlToolbar_.get(kImage[i])));
    tool_buttons_[i] = std::make_unique<Gtk::ToolButton>(*image, kCaptions[i]);
    tool_buttons_[i]->set_use_underline(true);
    tool_buttons_[i]->set_is_important(true);
    tool_buttons_[i]->set_homogeneous(false);
    // GTK builds the button's contents anew when the toolbar is reconfigured (when it is put in
    // its window, say): the new label keeps the fitted size.
    if (auto* inner = dynamic_cast<Gtk::Container*>(tool_buttons_[i]->get_child()))
      inner->signal_add().connect([this](Gtk::Widget* contents) {
        if (contents) ScaleLabel(*contents);
      });
    tlbTool_.append(*tool_buttons_[i]);
  }
  tlbTool_.set_toolbar_style(Gtk::TOOLBAR_BOTH);
  tlbTool_.set_show_arrow(false);
  tlbTool_.set_icon_size(Gtk::ICON_SIZE_DND);
  layout.Place(tlbTool_, design::kToolbar);
  // The toolbar is as wide as its buttons: its band sizes it, as a cool bar does its children.
  tlbTool_.set_size_request(-1, ToPixels(design::kToolbar.height, layout.ty()));
}

void MainCoolBar::ShowModePicture(Mode mode) {
  shown_mode_ = mode;
  picModeImage_.set(imlMethod_.get(ModeNumber(mode)));
  SetAccessibleName(picMode_, design::ModeName(ModeNumber(mode)));
  picMode_.set_checked(mode == Mode::Job);  // the switch is on in job mode
  SetAccessibleName(picModeImage_, design::ModeName(ModeNumber(mode)));
}

void MainCoolBar::ShowToolbarImages() {
  static const int kButton[5] = {1, 2, 3, 5, 6};
  for (int k = 1; k <= 5; ++k)
    if (auto* image = dynamic_cast<Gtk::Image*>(tool_button(kButton[k - 1]).get_icon_widget()))
      image->set(imlToolbar_.get(k));
}

void MainCoolBar::ShowModeBar(Mode mode) {
  picBack_[mode == Mode::Job ? 3 : 4].show();
  picBack_[mode == Mode::Job ? 4 : 3].hide();
}

void MainCoolBar::ShowJobPlace(const std::string& text) {
  if (lblPlace_.get_text() == text) return;
  lblPlace_.set_text(text);
  SetAccessibleName(lblPlace_, text.empty() ? std::string() : kJobPlaceName + (" " + text));
  lblPlace_.set_visible(!text.empty());
  FitJobPlace();
}

void MainCoolBar::FitJobPlace() {
  if (!layout_) return;
  const design::Rect& r = layout_->Geometry(txtJob_);
  const int left = ToPixels(r.left, layout_->tx()), top = ToPixels(r.top, layout_->ty());
  const int width = ToPixels(r.width, layout_->tx()), height = ToPixels(r.height, layout_->ty());
  if (!lblPlace_.get_visible()) {
    txtJob_.set_size_request(width, height);
    return;
  }
  int minimum = 0, natural = 0;
  lblPlace_.get_preferred_width(minimum, natural);
  const int gap = 3;
  // However long the job, the title line keeps at least half its room.
  const int place = std::min(natural, width / 2);
  txtJob_.set_size_request(std::max(1, width - place - gap), height);
  lblPlace_.set_size_request(place, height);
  picBack_[3].move(lblPlace_, left + width - place, top);
}

void MainCoolBar::ApplyResize(const ResizeLayout& l) {
  const int tx = layout_->tx();
  layout_->SetWidth(*this, l.coolbar_width);
  set_size_request(ToPixels(l.coolbar_width, tx), -1);
  set_band_width(3, ToPixels(l.band4_width, tx));
  set_band_min_width(3, ToPixels(l.band4_width, tx));
  // The band pictures take band 4's width as the bar lays it out.
  const float band4 = static_cast<float>(std::max(band_width(3), ToPixels(l.band4_width, tx)) * tx);
  for (int i = 2; i <= 4; ++i) layout_->SetWidth(picBack_[i], band4);
  SetTextWidths(l.job_width, l.url_width);
  layout_->SetLeft(cmdMove_, l.move_left);
  layout_->SetLeft(cmdOpFav_, l.open_fav_left);
  layout_->SetLeft(cmdSvFav_, l.save_fav_left);
}

void MainCoolBar::SetTextWidths(float job_width, float url_width) {
  layout_->SetWidth(txtJob_, job_width);
  FitJobPlace();
  layout_->SetWidth(txtURL_, url_width);
}

void MainCoolBar::CaptureInto(LayoutSnapshot& s) const {
  const TwipsLayout& l = *layout_;
  s.CW = l.Geometry(*this).width;
  s.CH = static_cast<float>(bar_height() * l.ty());
  s.B4 = static_cast<float>(band_width(3) * l.tx());
  s.JW = l.Geometry(txtJob_).width;
  s.UW = l.Geometry(txtURL_).width;
  s.GL = l.Geometry(cmdMove_).left;
  s.OL = l.Geometry(cmdOpFav_).left;
  s.SL = l.Geometry(cmdSvFav_).left;
}

void MainCoolBar::OpenDroppedLinks(std::function<void()> go) {
  txtURL_.drag_dest_get_target_list()->add_uri_targets(2);
  txtURL_.signal_drag_data_received().connect(
      [this, go](const Glib::RefPtr<Gdk::DragContext>& context, int, int,
                 const Gtk::SelectionData& data, guint, guint time) {
        g_signal_stop_emission_by_name(txtURL_.gobj(), "drag-data-received");
        const std::optional<DroppedEntry> dropped = data.get_target() == "text/uri-list"
                                                        ? DropFromUriList(data.get_data_as_string())
                                                        : DropFromText(data.get_text().raw());
        if (context) context->drag_finish(dropped.has_value(), false, time);
        if (!dropped) return;
        txtURL_.set_text(dropped->url);
        // A page that asks something waits until the drag has ended.
        Glib::signal_idle().connect_once(sigc::track_obj(go, *this));
      },
      false);
}

void MainCoolBar::CompleteAddresses(
    std::function<std::vector<std::string>(const std::string&)> complete) {
  struct Columns : Gtk::TreeModel::ColumnRecord {
    Gtk::TreeModelColumn<Glib::ustring> text;
    Columns() { add(text); }
  };
  static Columns columns;
  auto store = Gtk::ListStore::create(columns);
  auto completion = Gtk::EntryCompletion::create();
  completion->set_model(store);
  completion->set_text_column(columns.text);
  completion->set_minimum_key_length(1);
  completion->set_popup_completion(true);
  txtURL_.set_completion(completion);
  txtURL_.signal_changed().connect([this, store, complete] {
    store->clear();
    for (const std::string& text : complete(txtURL_.get_text()))
      (*store->append())[columns.text] = text;
  });
}

}  // namespace tarvik
