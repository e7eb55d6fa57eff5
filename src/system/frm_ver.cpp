#include "system/frm_ver.h"

#include <pango/pangocairo.h>

#include <gdk/gdkkeysyms.h>

#include <cmath>

#include "platform/accessible.h"
#include "system/version_info.h"

namespace tarvik {

namespace {

constexpr char kJapaneseFamily[] = "IPAPGothic";  // stands in for "ＭＳ Ｐゴシック"

bool FamilyInstalled(const char* name) {
  PangoFontFamily** families = nullptr;
  int n = 0;
  pango_font_map_list_families(pango_cairo_font_map_get_default(), &families, &n);
  bool found = false;
  for (int i = 0; i < n && !found; ++i)
    found = g_ascii_strcasecmp(pango_font_family_get_name(families[i]), name) == 0;
  g_free(families);
  return found;
}

struct Colour {
  double r, g, b;
};

// Sets the label's font at its designed size in pixels (its points at 96 dpi): the picture under
// the texts is fixed in pixels, so a larger font resolution must not carry them past its edge. A
// text still wider than `room` pixels (another font standing in for the designed one) gets a
// smaller size until it fits.
void SetFont(Gtk::Label& label, const std::string& family, double points, bool bold, bool italic,
             Colour colour, int room) {
  double pixels = points * 96.0 / 72.0;
  for (int tries = 0; tries < 6; ++tries) {
    Pango::FontDescription font;
    font.set_family(family);
    font.set_absolute_size(pixels * PANGO_SCALE);
    font.set_weight(bold ? Pango::WEIGHT_BOLD : Pango::WEIGHT_NORMAL);
    font.set_style(italic ? Pango::STYLE_ITALIC : Pango::STYLE_NORMAL);
    Pango::AttrList attrs;
    Pango::AttrFontDesc attr = Pango::Attribute::create_attr_font_desc(font);
    attrs.insert(attr);
    Pango::AttrColor fg = Pango::Attribute::create_attr_foreground(
        static_cast<guint16>(colour.r * 65535), static_cast<guint16>(colour.g * 65535),
        static_cast<guint16>(colour.b * 65535));
    attrs.insert(fg);
    label.set_attributes(attrs);
    int width = 0, height = 0;
    label.get_layout()->get_pixel_size(width, height);
    if (width <= room) break;
    pixels = std::floor(pixels * room / width);
  }
}

// The background picture: a pale sky fading to white, soft rings on the right and a band at
// the foot for the rights line. Drawn once, 250 x 180 pixels.
Cairo::RefPtr<Cairo::ImageSurface> BackgroundPicture() {
  static Cairo::RefPtr<Cairo::ImageSurface> picture;
  if (picture) return picture;
  const int w = frmVer::kClientWidth, h = frmVer::kClientHeight;
  picture = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, w, h);
  auto cr = Cairo::Context::create(picture);

  auto sky = Cairo::LinearGradient::create(0, 0, 0, h);
  sky->add_color_stop_rgb(0.0, 0.83, 0.90, 0.98);
  sky->add_color_stop_rgb(0.55, 0.97, 0.98, 1.00);
  sky->add_color_stop_rgb(1.0, 0.90, 0.94, 0.99);
  cr->set_source(sky);
  cr->paint();

  // Rings, like pages stacked in a job, fading towards the centre.
  for (int i = 0; i < 6; ++i) {
    cr->set_source_rgba(0.25, 0.45, 0.75, 0.10 - i * 0.012);
    cr->set_line_width(10.0 - i);
    cr->arc(w + 10.0, -20.0, 60.0 + i * 26.0, 0, 2 * M_PI);
    cr->stroke();
  }

  // A thin rule under the product line.
  auto rule = Cairo::LinearGradient::create(9, 0, w - 9, 0);
  rule->add_color_stop_rgba(0.0, 0.18, 0.37, 0.66, 0.0);
  rule->add_color_stop_rgba(0.2, 0.18, 0.37, 0.66, 0.8);
  rule->add_color_stop_rgba(1.0, 0.18, 0.37, 0.66, 0.0);
  cr->set_source(rule);
  cr->rectangle(9, 108, w - 18, 1.5);
  cr->fill();

  // The foot band.
  auto foot = Cairo::LinearGradient::create(0, 128, 0, h);
  foot->add_color_stop_rgba(0.0, 0.18, 0.37, 0.66, 0.00);
  foot->add_color_stop_rgba(1.0, 0.18, 0.37, 0.66, 0.22);
  cr->set_source(foot);
  cr->rectangle(0, 128, w, h - 128);
  cr->fill();
  return picture;
}

}  // namespace

std::string frmVer::SansFamily() {
  for (const char* family : {"Arial", "Liberation Sans", "DejaVu Sans"})
    if (FamilyInstalled(family)) return family;
  return "Sans";
}

bool frmVer::Client::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  cr->set_source(BackgroundPicture(), 0, 0);
  cr->paint();
  return Gtk::Fixed::on_draw(cr);  // the labels, over the picture
}

frmVer::frmVer(Gtk::Window* owner) {
  set_title(kCaption);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_UTILITY);
  set_resizable(false);
  set_skip_taskbar_hint(true);
  if (owner) {
    set_transient_for(*owner);
    set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  }
  // A tool window: moved and closed, never minimised or maximised.
  signal_realize().connect([this] {
    if (auto w = get_window()) {
      w->set_functions(Gdk::FUNC_MOVE | Gdk::FUNC_CLOSE);
      w->set_decorations(Gdk::DECOR_BORDER | Gdk::DECOR_TITLE);
    }
  });

  client_area_.set_size_request(kClientWidth, kClientHeight);
  add(client_area_);

  Label1_.set_text("ジョブ管理型Webブラウザ");
  Label2_.set_text("Tarvik");
  labVer_.set_text("ver.");
  Label3_.set_text(kRightsLine);
  client_area_.put(Label1_, 9, 7);
  client_area_.put(Label2_, 55, 36);
  client_area_.put(labVer_, 106, 79);
  client_area_.put(Label3_, 39, 139);
  Form_Load();
  // The fonts are set once the texts are in, each text kept inside the picture's right edge.
  const std::string sans = SansFamily();
  auto room = [](int left) { return kClientWidth - left - 3; };
  SetFont(Label1_, kJapaneseFamily, 11.25, true, false, {0.11, 0.17, 0.30}, room(9));
  SetFont(Label2_, kJapaneseFamily, 26.25, true, true, {0.12, 0.28, 0.55}, room(55));
  SetFont(labVer_, sans, 14.25, true, false, {0.18, 0.37, 0.66}, room(106));
  SetFont(Label3_, sans, 11.25, false, true, {0.11, 0.17, 0.30}, room(39));
  // The picture holds the focus, so the keyboard reaches the window, and reads as its texts;
  // Escape closes the window as its close box does.
  client_area_.set_can_focus(true);
  SetAccessibleName(client_area_, Label1_.get_text() + " " + Label2_.get_text() + " " +
                                      labVer_.get_text() + " " + Label3_.get_text());
  set_focus(client_area_);
  signal_key_press_event().connect(
      [this](GdkEventKey* e) {
        if (e->keyval != GDK_KEY_Escape) return false;
        hide();
        return true;
      },
      false);
  show_all_children();
}

// The focused picture goes before the window does: the window must not hold it as its focus.
frmVer::~frmVer() { unset_focus(); }

void frmVer::Form_Load() { labVer_.set_text(DialogVersionText()); }

bool frmVer::on_delete_event(GdkEventAny*) {
  hide();
  return true;
}

}  // namespace tarvik
