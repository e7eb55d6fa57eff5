// The pockets and the skins in the real main window: clicks on the pocket pictures, the Pocket
// menu, the skin applied at start-up and chosen in the Settings menu.
#include <gdk/gdkkeysyms.h>

#include <gtkmm/settings.h>
#include <cstring>
#include <functional>

#include "app/startup_services.h"
#include "main_window_fixture.h"
#include "platform/accessible.h"
#include "platform/app_folder.h"
#include "platform/builtin_images.h"
#include "platform/image_list.h"
#include "skins/skin_files.h"
#include "skins/skin_pictures.h"
#include "skins/skin_state.h"
#include "support/gui_input.h"

namespace tarvik::test {
namespace {

bool SamePixels(const Glib::RefPtr<Gdk::Pixbuf>& a, const Glib::RefPtr<Gdk::Pixbuf>& b) {
  if (!a || !b || a->get_width() != b->get_width() || a->get_height() != b->get_height() ||
      a->get_n_channels() != b->get_n_channels())
    return false;
  const int row = a->get_width() * a->get_n_channels();
  for (int y = 0; y < a->get_height(); ++y)
    if (memcmp(a->get_pixels() + y * a->get_rowstride(), b->get_pixels() + y * b->get_rowstride(),
               row) != 0)
      return false;
  return true;
}

// The picture as an image list of that size holds it.
Glib::RefPtr<Gdk::Pixbuf> AsListImage(const Glib::RefPtr<Gdk::Pixbuf>& picture, int w, int h) {
  ImageList list(w, h);
  list.add(picture);
  return list.get(1);
}

class SkinPocketTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    PrepareProcess();  // the shipped skins, as the program installs them
    PrepareRestOfProcess();
    CurrentSkinName().clear();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    CurrentSkinName().clear();
  }

  Glib::RefPtr<Gdk::Pixbuf> SkinFile(const std::string& skin, const std::string& file) {
    return LoadSkinBitmap(SkinFolder(ApplicationFolder(), skin) + "/" + file);
  }
  Glib::RefPtr<Gdk::Pixbuf> PocketPicture(frmMain& w, int i) {
    return w.clbComm().picPocketImage(i).get_pixbuf();
  }
  bool ShowsBuiltInPockets(frmMain& w) {
    auto empty = AsListImage(builtin::PocketImage(false), 32, 32);
    for (int i = 0; i < 3; ++i)
      if (!SamePixels(PocketPicture(w, i), empty)) return false;
    return true;
  }
  // Opens the Settings menu and chooses the skin item with `caption`; false when there is none.
  bool ChooseSkin(frmMain& w, const std::string& caption) {
    Gtk::Menu* config = w.menu_item(ActionId::SettingsMenu)->get_submenu();
    config->show();
    SkinMenuItems* items = w.skin().menu_items();
    bool found = false;
    for (int i = 1; items && i <= items->count(); ++i)
      if (items->caption(i) == caption) {
        items->item(i)->activate();
        found = true;
      }
    config->hide();
    return found;
  }
};

TEST_F(SkinPocketTest, PocketClicksStoreOpenAndEmpty) {
  frmMain& w = Start("");
  browser().Complete("http://one.test/", "Page One");
  ClickOn(w.clbComm().picPocket(0), 1);
  EXPECT_TRUE(w.pockets().pocket(0).full);
  EXPECT_EQ(w.pockets().pocket(0).url, "http://one.test/");
  EXPECT_EQ(w.clbComm().picPocket(0).get_tooltip_text(), "Page One");
  EXPECT_EQ(AccessibleDescription(w.clbComm().picPocket(0)), "Page One");
  EXPECT_EQ(PocketPicture(w, 0), w.clbComm().imlPocket().get("Full"));

  // The page changes; the full pocket still opens what it stored and is not overwritten.
  browser().Complete("http://two.test/", "Page Two");
  browser().calls.clear();
  ClickOn(w.clbComm().picPocket(0), 1);
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:http://one.test/"});
  EXPECT_EQ(w.pockets().pocket(0).title, "Page One");

  // The middle button stores and opens as the left one does.
  ClickOn(w.clbComm().picPocket(2), 2);
  EXPECT_EQ(w.pockets().pocket(2).url, "http://two.test/");
  browser().calls.clear();
  ClickOn(w.clbComm().picPocket(2), 2);
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://two.test/");

  // Right: nothing on an empty pocket, a full one is emptied without opening it.
  browser().calls.clear();
  ClickOn(w.clbComm().picPocket(1), 3);
  EXPECT_FALSE(w.pockets().pocket(1).full);
  ClickOn(w.clbComm().picPocket(0), 3);
  EXPECT_FALSE(w.pockets().pocket(0).full);
  EXPECT_TRUE(browser().calls.empty());
  EXPECT_EQ(PocketPicture(w, 0), w.clbComm().imlPocket().get("Empty"));
  EXPECT_EQ(w.clbComm().picPocket(0).get_tooltip_text(), "");
  EXPECT_EQ(AccessibleDescription(w.clbComm().picPocket(0)), "");
  EXPECT_EQ(AccessibleName(w.clbComm().picPocket(0)), "ポケット1");
}

TEST_F(SkinPocketTest, CtrlPAndTheClearItemsEmptyThePockets) {
  frmMain& w = Start("");
  browser().Complete("http://one.test/", "One");
  for (int i = 0; i < 3; ++i) ClickOn(w.clbComm().picPocket(i), 1);
  ASSERT_TRUE(w.pockets().pocket(0).full && w.pockets().pocket(1).full &&
              w.pockets().pocket(2).full);

  w.Run(ActionId::ClearPocket, 1);
  EXPECT_FALSE(w.pockets().pocket(1).full);
  EXPECT_TRUE(w.pockets().pocket(2).full);

  // Ctrl+P through the window's accelerators.
  PressKey(w, GDK_KEY_p, GDK_CONTROL_MASK);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(w.pockets().pocket(i).full);
    EXPECT_EQ(PocketPicture(w, i), w.clbComm().imlPocket().get("Empty"));
    EXPECT_EQ(w.clbComm().picPocket(i).get_tooltip_text(), "");
  }
}

// Ctrl+P, the print key of other programs, emptied every pocket at one press for good. The
// status bar now offers for a while to bring them back; a pocket filled meanwhile keeps its page.
TEST_F(SkinPocketTest, EmptiedPocketsComeBackFromTheStatusBar) {
  frmMain& w = Start("");
  browser().Complete("http://one.test/", "One");
  ClickOn(w.clbComm().picPocket(0), 1);
  browser().Complete("http://two.test/", "Two");
  ClickOn(w.clbComm().picPocket(2), 1);
  Pump(100);
  const int bar_height = w.stbStat().get_allocated_height();
  Gtk::Button& undo = w.stbStat().undo_button();
  EXPECT_FALSE(undo.get_visible());

  PressKey(w, GDK_KEY_p, GDK_CONTROL_MASK);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(w.pockets().pocket(i).full) << i;
  EXPECT_EQ(w.stbStat().panel(0).get_text(), "ポケットを空にしました");
  ASSERT_TRUE(undo.get_visible());
  EXPECT_EQ(undo.get_label(), "元に戻す");
  Pump(100);
  EXPECT_EQ(w.stbStat().get_allocated_height(), bar_height) << "the offer fits the status bar";

  browser().Complete("http://three.test/", "Three");
  ClickOn(w.clbComm().picPocket(0), 1);
  undo.clicked();
  EXPECT_EQ(w.pockets().pocket(0).url, "http://three.test/");
  EXPECT_FALSE(w.pockets().pocket(1).full);
  EXPECT_EQ(w.pockets().pocket(2).url, "http://two.test/");
  EXPECT_EQ(PocketPicture(w, 2), w.clbComm().imlPocket().get("Full"));
  EXPECT_EQ(w.clbComm().picPocket(2).get_tooltip_text(), "Two");
  EXPECT_FALSE(undo.get_visible());
  EXPECT_NE(w.stbStat().panel(0).get_text(), "ポケットを空にしました");

  // Left alone, the offer goes after a while and the pockets stay empty.
  PressKey(w, GDK_KEY_p, GDK_CONTROL_MASK);
  EXPECT_TRUE(undo.get_visible());
  EXPECT_TRUE(RunUntil([&] { return !undo.get_visible(); }, (kPocketUndoSeconds + 10) * 1000));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(w.pockets().pocket(i).full) << i;
}

TEST_F(SkinPocketTest, AFocusedPocketWorksFromTheKeyboard) {
  frmMain& w = Start("");
  browser().Complete("http://one.test/", "Page One");
  Gtk::EventBox& pocket = w.clbComm().picPocket(1);
  pocket.grab_focus();
  ASSERT_TRUE(pocket.is_focus());
  PressKey(w, GDK_KEY_Return);
  EXPECT_TRUE(w.pockets().pocket(1).full);
  EXPECT_EQ(pocket.get_tooltip_text(), "Page One");

  browser().Complete("http://two.test/", "Page Two");
  browser().calls.clear();
  PressKey(w, GDK_KEY_space);
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:http://one.test/"});
  // Keys the pocket does not use, and Enter with Ctrl, change nothing.
  PressKey(w, GDK_KEY_a);
  PressKey(w, GDK_KEY_Return, GDK_CONTROL_MASK);
  EXPECT_EQ(w.pockets().pocket(1).url, "http://one.test/");
  PressKey(w, GDK_KEY_Delete);
  EXPECT_FALSE(w.pockets().pocket(1).full);
  EXPECT_EQ(PocketPicture(w, 1), w.clbComm().imlPocket().get("Empty"));
  EXPECT_EQ(browser().calls.size(), 1u);
  // The other pockets were never touched.
  EXPECT_FALSE(w.pockets().pocket(0).full);
  EXPECT_FALSE(w.pockets().pocket(2).full);
}

TEST_F(SkinPocketTest, AHugeTitleIsShortenedInTheTooltipAndKeptWholeInThePocket) {
  frmMain& w = Start("");
  const std::string huge = "ページ" + std::string(4 << 20, 'p');
  browser().Complete("http://huge.test/", huge);
  ClickOn(w.clbComm().picPocket(0), 1);
  EXPECT_EQ(w.pockets().pocket(0).title, huge);
  const Glib::ustring tip = w.clbComm().picPocket(0).get_tooltip_text();
  EXPECT_LT(tip.size(), 400u);
  EXPECT_EQ(tip.substr(0, 3), "ページ");
  EXPECT_EQ(AccessibleDescription(w.clbComm().picPocket(0)), tip.raw());
}

TEST_F(SkinPocketTest, AScriptInAPocketRunsOnlyWhenTheUserAgrees) {
  frmMain& w = Start("");
  browser().Complete("javascript:alert(1)", "Script");
  ClickOn(w.clbComm().picPocket(0), 1);
  browser().calls.clear();
  dialogs.AnswerMessage(MsgResult::No);
  ClickOn(w.clbComm().picPocket(0), 1);
  EXPECT_TRUE(browser().calls.empty());
  dialogs.AnswerMessage(MsgResult::Yes);
  ClickOn(w.clbComm().picPocket(0), 1);
  EXPECT_EQ(browser().last_navigation(), "Navigate:javascript:alert(1)");
}

TEST_F(SkinPocketTest, ANewWindowStartsWithEmptyPockets) {
  frmMain& first = Start("");
  browser().Complete("http://one.test/", "One");
  ClickOn(first.clbComm().picPocket(1), 1);
  first.NewWindow2();
  frmMain& second = *app->new_window(1);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(second.pockets().pocket(i).full);
  EXPECT_EQ(second.clbComm().picPocketImage(1).get_pixbuf(),
            second.clbComm().imlPocket().get("Empty"));
  EXPECT_TRUE(first.pockets().pocket(1).full);
}

TEST_F(SkinPocketTest, NoSkinOrADeletedOneShowsTheBuiltInPictures) {
  settings().Save("Setting", "Skin", "");
  {
    frmMain& w = Start("");
    EXPECT_TRUE(ShowsBuiltInPockets(w));
    EXPECT_EQ(CurrentSkinName(), "");
    EXPECT_FALSE(w.skin().band_picture(0));
  }
  app.reset();
  Pump(50);
  browsers.clear();

  settings().Save("Setting", "Skin", "Gone");
  frmMain& w = Start("");
  EXPECT_TRUE(ShowsBuiltInPockets(w));
  EXPECT_EQ(settings().Get("Setting", "Skin", "x"), "");
  EXPECT_TRUE(dialogs.shown.empty()) << "a deleted skin is dropped silently";
}

double Luminance(const guint8* rgb) {
  return (0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2]) / 255.0;
}

// The widget as it paints itself, in RGB bytes.
Glib::RefPtr<Gdk::Pixbuf> Painted(Gtk::Widget& widget) {
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, widget.get_allocated_width(),
                                             widget.get_allocated_height());
  auto cr = Cairo::Context::create(surface);
  gtk_widget_draw(widget.gobj(), cr->cobj());
  return Gdk::Pixbuf::create(surface, 0, 0, surface->get_width(), surface->get_height());
}

// The most any pixel of a rectangle of `shown` differs in luminance from `under` (x, y), the
// picture the text lies over: text that reads has pixels far from its background.
double MostContrast(const Glib::RefPtr<Gdk::Pixbuf>& shown, Gdk::Rectangle r,
                    const std::function<const guint8*(int, int)>& under) {
  double most = 0;
  for (int y = r.get_y(); y < r.get_y() + r.get_height(); ++y)
    for (int x = r.get_x(); x < r.get_x() + r.get_width(); ++x) {
      const guint8* p = shown->get_pixels() + y * shown->get_rowstride() + x * 4;
      most = std::max(most, std::abs(Luminance(p) - Luminance(under(x, y))));
    }
  return most;
}

// In a light and a dark theme, the band captions over Sakura's light picture and the word of the
// Go button's picture stand out from what lies under them.
TEST_F(SkinPocketTest, CaptionsAndTheGoWordReadInLightAndDarkThemes) {
  settings().SaveAll({{"Setting", "Skin", "Sakura"}, {"Setting", "Mode", "2"}});
  frmMain& w = Start("");
  auto tile = SkinFile("Sakura", "ClbBack.bmp");
  ASSERT_TRUE(tile);
  auto gtk = Gtk::Settings::get_default();
  for (bool dark : {false, true}) {
    gtk->property_gtk_application_prefer_dark_theme() = dark;
    Pump(300);
    CoolBar& bar = w.clbComm();
    auto shown = Painted(bar);
    for (int band : {1, 2}) {
      // The caption lies between the gripper and a gap before the band's child.
      const Gdk::Rectangle child = bar.band_child_rect(band);
      const int left = child.get_x() - (bar.band_frame_width(band) - 2) + 9;
      const Gdk::Rectangle caption(left, child.get_y(), child.get_x() - 6 - left,
                                   child.get_height());
      EXPECT_GE(MostContrast(shown, caption,
                             [&](int x, int y) {
                               return tile->get_pixels() +
                                      (y % tile->get_height()) * tile->get_rowstride() +
                                      (x % tile->get_width()) * tile->get_n_channels();
                             }),
                0.5)
          << (dark ? "dark" : "light") << " theme, band " << band;
    }
    // The word sits right of the arrow in the picture, which the button centres.
    Gtk::Button& go = w.clbComm().cmdMove();
    auto button = Painted(go);
    const int image_x = (go.get_allocated_width() - builtin::kGoImageWidth) / 2;
    const int image_y = (go.get_allocated_height() - builtin::kGoImageHeight) / 2;
    const guint8* face =
        button->get_pixels() + (go.get_allocated_height() / 2) * button->get_rowstride() + 3 * 4;
    EXPECT_GE(MostContrast(button,
                           Gdk::Rectangle(image_x + 19, image_y, builtin::kGoImageWidth - 19,
                                          builtin::kGoImageHeight),
                           [&](int, int) { return face; }),
              0.5)
        << (dark ? "dark" : "light") << " theme, Go";
  }
  gtk->property_gtk_application_prefer_dark_theme() = false;
}

TEST_F(SkinPocketTest, ChoosingSakuraShowsItsPicturesAndStaysForTheNextStart) {
  frmMain& w = Start("");
  browser().Complete("http://one.test/", "One");
  ClickOn(w.clbComm().picPocket(1), 1);

  w.menu_item(ActionId::SettingsMenu)->get_submenu()->show();
  SkinMenuItems* items = w.skin().menu_items();
  ASSERT_NE(items, nullptr);
  std::vector<std::string> captions;
  for (int i = 1; i <= items->count(); ++i) captions.push_back(items->caption(i));
  EXPECT_EQ(captions, std::vector<std::string>{"Sakura"}) << "\"default\" is item 0's";
  w.menu_item(ActionId::SettingsMenu)->get_submenu()->hide();

  ASSERT_TRUE(ChooseSkin(w, "Sakura"));
  EXPECT_EQ(settings().Get("Setting", "Skin", ""), "Sakura");
  EXPECT_EQ(CurrentSkinName(), "Sakura");
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(
      SamePixels(PocketPicture(w, 1), AsListImage(SkinFile("Sakura", "PktIcon1.bmp"), 32, 32)));
  EXPECT_TRUE(
      SamePixels(PocketPicture(w, 0), AsListImage(SkinFile("Sakura", "PktIcon0.bmp"), 32, 32)));
  EXPECT_TRUE(w.pockets().pocket(1).full) << "the pockets keep their pages";
  EXPECT_TRUE(SamePixels(w.clbComm().picModeImage().get_pixbuf(),
                         AsListImage(SkinFile("Sakura", "OprBtnJ.bmp"), 75, 25)));

  // Each band picture continues the bar's pattern, which starts at the bar's origin: its pixel
  // (x, y) is the tile's pixel at its place in the bar modulo the tile's size.
  auto tile = LoadSkinBitmap(SkinFolder(ApplicationFolder(), "Sakura") + "/ClbBack.bmp", false);
  ASSERT_TRUE(tile);
  for (int i : {0, 1, 2, 3}) {
    SCOPED_TRACE(i);
    Gtk::Fixed& band = w.clbComm().picBack(i);
    ASSERT_TRUE(RunUntil([&] {
      auto p = w.skin().band_picture(i);
      return p && p->get_width() == band.get_allocated_width() &&
             p->get_height() == band.get_allocated_height();
    }));
    auto picture = w.skin().band_picture(i);
    int bx = 0, by = 0;
    band.translate_coordinates(w.clbComm(), 0, 0, bx, by);
    const int n = picture->get_n_channels(), tn = tile->get_n_channels();
    int wrong = 0;
    for (int y = 0; y < picture->get_height(); y += 3)
      for (int x = 0; x < picture->get_width(); x += 3) {
        const guint8* p = picture->get_pixels() + y * picture->get_rowstride() + x * n;
        const guint8* t = tile->get_pixels() +
                          ((by + y) % tile->get_height()) * tile->get_rowstride() +
                          ((bx + x) % tile->get_width()) * tn;
        if (memcmp(p, t, 3) != 0) ++wrong;
      }
    EXPECT_EQ(wrong, 0);
  }

  // Widening the window repaints the bands at their new sizes.
  int width = 0, height = 0;
  w.get_size(width, height);
  w.resize(width + 60, height);
  ASSERT_TRUE(WaitForSize(w, width + 60, height));
  const int band_width = w.clbComm().picBack(2).get_allocated_width();
  EXPECT_TRUE(RunUntil([&] {
    auto p = w.skin().band_picture(2);
    return p && p->get_width() == w.clbComm().picBack(2).get_allocated_width();
  })) << "band 4 was "
      << band_width << " wide";

  app.reset();
  Pump(50);
  browsers.clear();
  CurrentSkinName().clear();
  frmMain& again = Start("");
  EXPECT_EQ(CurrentSkinName(), "Sakura");
  EXPECT_TRUE(
      SamePixels(PocketPicture(again, 0), AsListImage(SkinFile("Sakura", "PktIcon0.bmp"), 32, 32)));
}

// A skin whose seventh file ended early was half applied (six new pictures, the old background),
// and, stored before it was loaded, refused again at every start. A skin is applied whole or not
// at all, and stored only once it applied; one refused at start-up is told once and dropped.
TEST_F(SkinPocketTest, ABrokenSkinChangesNothingAndIsNotKept) {
  frmMain& w = Start("");
  ASSERT_TRUE(ChooseSkin(w, "Sakura"));
  const auto toolbar = w.clbComm().imlToolbar().get(1);
  const auto pocket = PocketPicture(w, 0);
  const std::string broken = SkinFolder(ApplicationFolder(), "Broken");
  g_mkdir_with_parents(broken.c_str(), 0755);
  for (const char* file : kSkinFiles) {
    gchar* bytes = nullptr;
    gsize length = 0;
    ASSERT_TRUE(
        g_file_get_contents((SkinFolder(ApplicationFolder(), "default") + "/" + file).c_str(),
                            &bytes, &length, nullptr));
    // The seventh file's pixel rows end early.
    if (std::string(file) == "PktIcon1.bmp") length -= 100;
    WriteBytes(broken + "/" + file, std::string(bytes, length));
    g_free(bytes);
  }
  dialogs.AnswerMessage(MsgResult::OK);
  ASSERT_TRUE(ChooseSkin(w, "Broken"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "スキンのファイルを読み込めませんでした。\n" + broken + "/PktIcon1.bmp");
  EXPECT_EQ(dialogs.shown[0].caption, "エラー");
  EXPECT_TRUE(SamePixels(w.clbComm().imlToolbar().get(1), toolbar));
  EXPECT_TRUE(SamePixels(PocketPicture(w, 0), pocket));
  EXPECT_EQ(settings().Get("Setting", "Skin", ""), "Sakura");
  EXPECT_EQ(CurrentSkinName(), "Sakura");

  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start);
    app.reset();
    Pump(50);
    browsers.clear();
    dialogs.shown.clear();
    if (start == 0) {
      settings().Save("Setting", "Skin", "Broken");  // as an earlier Tarvik stored it
      dialogs.AnswerMessage(MsgResult::OK);
    }
    frmMain& again = Start("");
    EXPECT_EQ(dialogs.shown.size(), start == 0 ? 1u : 0u);
    EXPECT_TRUE(ShowsBuiltInPockets(again));
    EXPECT_EQ(settings().Get("Setting", "Skin", "x"), "");
  }
}

TEST_F(SkinPocketTest, AnIncompleteSkinIsRefusedWithAMessage) {
  frmMain& w = Start("");
  const std::string broken = SkinFolder(ApplicationFolder(), "Broken");
  g_mkdir_with_parents(broken.c_str(), 0755);
  g_file_set_contents((broken + "/ClbBack.bmp").c_str(), "x", 1, nullptr);
  dialogs.AnswerMessage(MsgResult::OK);
  ASSERT_TRUE(ChooseSkin(w, "Broken"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "スキンデータが無効です。");
  EXPECT_EQ(dialogs.shown[0].caption, "エラー");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(settings().Get("Setting", "Skin", ""), "");
  EXPECT_TRUE(ShowsBuiltInPockets(w));
}

}  // namespace
}  // namespace tarvik::test
