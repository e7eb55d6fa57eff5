#include <gdkmm/pixbuf.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "platform/app_folder.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "skins/apply_skin.h"
#include "skins/bmp_file.h"
#include "skins/shipped_skin_drawing.h"
#include "skins/shipped_skins.h"
#include "skins/skin_files.h"
#include "skins/skin_menu.h"
#include "skins/skin_pictures.h"
#include "skins/skin_state.h"
#include "skins_test_window.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::SkinsTestWindow;
using test::TempDir;
using Pixbuf = Glib::RefPtr<Gdk::Pixbuf>;

struct Size {
  int w, h;
  bool operator==(const Size&) const = default;
};

// The size each file of a shipped skin has: the image lists' sizes, and the built-in pictures'
// sizes for the buttons and the background.
const std::map<std::string, Size> kShippedSizes = {
    {"ClbBack.bmp", {64, 64}},  {"TlbIcon1.bmp", {32, 32}}, {"TlbIcon2.bmp", {32, 32}},
    {"TlbIcon3.bmp", {32, 32}}, {"TlbIcon4.bmp", {32, 32}}, {"TlbIcon5.bmp", {32, 32}},
    {"PktIcon0.bmp", {32, 32}}, {"PktIcon1.bmp", {32, 32}}, {"OprBtnJ.bmp", {75, 25}},
    {"OprBtnD.bmp", {75, 25}},  {"NavBtn1.bmp", {16, 16}},  {"NavBtn2.bmp", {16, 16}},
    {"NavBtn3.bmp", {16, 16}},  {"NavBtn4.bmp", {16, 16}},  {"NavBtn5.bmp", {16, 16}},
    {"DirBtn1.bmp", {44, 18}},  {"DirBtn2.bmp", {18, 18}},  {"DirBtn3.bmp", {18, 18}},
};

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

Rgba At(const Pixbuf& p, int x, int y) {
  const guint8* q = p->get_pixels() + y * p->get_rowstride() + x * p->get_n_channels();
  return {q[0], q[1], q[2], p->get_has_alpha() ? q[3] : 255};
}

// The first pixel where two pictures differ, as text; empty when they are the same.
std::string Difference(const Pixbuf& a, const Pixbuf& b) {
  if (!a || !b) return "a picture is missing";
  if (a->get_width() != b->get_width() || a->get_height() != b->get_height()) return "sizes differ";
  for (int y = 0; y < a->get_height(); ++y)
    for (int x = 0; x < a->get_width(); ++x)
      if (!(At(a, x, y) == At(b, x, y)))
        return "pixel " + std::to_string(x) + "," + std::to_string(y);
  return "";
}

void Write(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(WriteFileAtomically(path, bytes));
}

// ---- the shipped skins ----------------------------------------------------------------------

TEST(ShippedSkins, InstalledSkinsAreCompleteAndEveryFileLoadsAtItsSize) {
  TempDir app;
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  for (const char* skin : kShippedSkinNames) {
    const std::string folder = SkinFolder(app.path(), skin);
    EXPECT_TRUE(IsSkinFolderComplete(folder)) << skin;
    const auto drawn = shipped::DrawShippedSkin(skin);
    ASSERT_EQ(drawn.size(), kSkinFiles.size());
    for (std::size_t i = 0; i < kSkinFiles.size(); ++i) {
      const std::string file = kSkinFiles[i];
      Pixbuf loaded;
      try {
        loaded = Gdk::Pixbuf::create_from_file(folder + "/" + file);
      } catch (const Glib::Error& e) {
        ADD_FAILURE() << skin << "/" << file << ": " << e.what();
        continue;
      }
      EXPECT_EQ((Size{loaded->get_width(), loaded->get_height()}), kShippedSizes.at(file))
          << skin << "/" << file;
      // The bitmap file holds exactly the pixels that were drawn.
      EXPECT_EQ(drawn[i].file, file);
      EXPECT_EQ(Difference(loaded, drawn[i].picture), "") << skin << "/" << file;
    }
  }
}

TEST(ShippedSkins, PicturesAreTransparentOnlyWhereTheMaskColourIs) {
  TempDir app;
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  for (const char* skin : kShippedSkinNames) {
    const std::string folder = SkinFolder(app.path(), skin);
    // Every picture but the background has some mask colour round it and is not all mask.
    for (const char* file : kSkinFiles) {
      if (std::string(file) == "ClbBack.bmp") continue;
      const Pixbuf p = LoadSkinBitmap(folder + "/" + file);
      ASSERT_TRUE(p) << file;
      int clear = 0, solid = 0;
      for (int y = 0; y < p->get_height(); ++y)
        for (int x = 0; x < p->get_width(); ++x) (At(p, x, y).a == 0 ? clear : solid)++;
      EXPECT_GT(clear, 0) << skin << "/" << file;
      EXPECT_GT(solid, 0) << skin << "/" << file;
    }
    // The background is opaque everywhere.
    const Pixbuf back = LoadSkinBitmap(folder + "/ClbBack.bmp");
    ASSERT_TRUE(back);
    for (int y = 0; y < back->get_height(); ++y)
      for (int x = 0; x < back->get_width(); ++x) ASSERT_EQ(At(back, x, y).a, 255) << skin;
  }
}

TEST(ShippedSkins, TheTwoSkinsLookDifferent) {
  const auto a = shipped::DrawShippedSkin("default");
  const auto b = shipped::DrawShippedSkin("Sakura");
  ASSERT_EQ(a.size(), 18u);
  ASSERT_EQ(b.size(), 18u);
  for (std::size_t i = 0; i < 18; ++i)
    EXPECT_NE(Difference(a[i].picture, b[i].picture), "") << a[i].file;
  EXPECT_TRUE(shipped::DrawShippedSkin("other").empty());
}

TEST(ShippedSkins, InstallingAddsOnlyWhatIsMissingAndReplacesNothing) {
  TempDir app;
  const std::string folder = SkinFolder(app.path(), "default");
  const std::string own =
      EncodeBmp24(1, 1, reinterpret_cast<const std::uint8_t*>("\x10\x20\x30"), 3, 3);
  Write(folder + "/clbback.bmp", own);  // made on Windows, in another letter case
  Write(folder + "/TlbIcon1.bmp", own);
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  EXPECT_TRUE(IsSkinFolderComplete(folder));
  EXPECT_EQ(ReadFileBytes(folder + "/clbback.bmp"), own);
  EXPECT_EQ(ReadFileBytes(folder + "/TlbIcon1.bmp"), own);
  EXPECT_FALSE(FileExists(folder + "/ClbBack.bmp"));
  EXPECT_EQ(ReadFileBytes(folder + "/TlbIcon2.bmp"), ShippedSkinFile("default", "TlbIcon2.bmp"));
  // A second start finds everything and writes nothing.
  Write(folder + "/TlbIcon2.bmp", own);
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  EXPECT_EQ(ReadFileBytes(folder + "/TlbIcon2.bmp"), own);
}

TEST(ShippedSkins, ADeletedSkinStaysDeletedButDefaultIsAlwaysRestored) {
  TempDir app;
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  for (const char* skin : kShippedSkinNames)
    EXPECT_TRUE(IsSkinFolderComplete(SkinFolder(app.path(), skin))) << skin;
  EXPECT_EQ(ListSkinMenuEntries(app.path()), std::vector<std::string>{"Sakura"});

  // A shipped skin the user took apart is completed while its folder is there ...
  ASSERT_EQ(g_remove((SkinFolder(app.path(), "Sakura") + "/NavBtn3.bmp").c_str()), 0);
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  EXPECT_TRUE(IsSkinFolderComplete(SkinFolder(app.path(), "Sakura")));
  // ... and one deleted is not written again, start after start, while "default" is.
  for (const char* skin : kShippedSkinNames) {
    const std::string folder = SkinFolder(app.path(), skin);
    for (const std::string& name : test::NamesIn(folder))
      ASSERT_EQ(g_remove((folder + "/" + name).c_str()), 0);
    ASSERT_EQ(g_rmdir(folder.c_str()), 0);
  }
  for (int start = 0; start < 2; ++start) {
    ASSERT_TRUE(InstallShippedSkins(app.path()));
    EXPECT_TRUE(IsSkinFolderComplete(SkinFolder(app.path(), "default")));
    EXPECT_FALSE(FileExists(SkinFolder(app.path(), "Sakura")));
    EXPECT_TRUE(ListSkinMenuEntries(app.path()).empty());
  }
  // A new application folder gets every shipped skin again.
  TempDir other;
  ASSERT_TRUE(InstallShippedSkins(other.path()));
  EXPECT_TRUE(IsSkinFolderComplete(SkinFolder(other.path(), "Sakura")));
}

TEST(ShippedSkins, AFolderThatCannotBeMadeIsReported) {
  TempDir app;
  Write(SkinsFolder(app.path()), "a file where the Skins folder belongs");
  EXPECT_FALSE(InstallShippedSkins(app.path()));
}

TEST(BmpFile, GdkPixbufReadsEveryRowPadding) {
  for (int w : {1, 2, 3, 4, 5, 6, 7}) {
    auto source = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, w, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) {
        guint8* q = source->get_pixels() + y * source->get_rowstride() + x * 3;
        q[0] = guint8(40 * x + 1);
        q[1] = guint8(70 * y + 2);
        q[2] = guint8(x * y + 3);
      }
    TempDir dir;
    Write(dir.file("p.bmp"), EncodeBmp24(w, 3, source->get_pixels(), source->get_rowstride(), 3));
    EXPECT_EQ(Difference(Gdk::Pixbuf::create_from_file(dir.file("p.bmp")), source), "")
        << "width " << w;
  }
}

// ---- loading and applying a skin to a window -------------------------------------------------

class ApplySkinTest : public testing::Test {
 protected:
  void SetUp() override {
    CurrentSkinName().clear();
    ASSERT_TRUE(InstallShippedSkins(app.path()));
  }
  void TearDown() override { CurrentSkinName().clear(); }

  void Choose(const std::string& name) { settings.Save("Setting", "Skin", name); }
  std::string Folder(const std::string& name) { return SkinFolder(app.path(), name); }
  Pixbuf Masked(const std::string& skin, const std::string& file) {
    return LoadSkinBitmap(Folder(skin) + "/" + file);
  }
  // What the window shows on screen at (x, y) of its bar.
  Pixbuf Screen() {
    test::Pump(100);
    return Gdk::Pixbuf::create(window.get_window(), 0, 0, SkinsTestWindow::kBarWidth,
                               SkinsTestWindow::kBarHeight);
  }

  TempDir app;
  TempDir config;
  SettingsStore settings{config.file("settings.ini")};
  SkinsTestWindow window;
};

TEST_F(ApplySkinTest, ShippedSkinFillsEveryPictureOfTheWindow) {
  window.pockets_full = {false, true, false};
  window.mode = 2;
  Choose("Sakura");
  const ApplySkinResult r = ApplySkin(window, settings, app.path());
  EXPECT_EQ(r.kind, SkinToApply::Kind::kApply);
  EXPECT_FALSE(r.failed());
  EXPECT_EQ(CurrentSkinName(), "Sakura");

  for (int i = 1; i <= 5; ++i)
    EXPECT_EQ(Difference(window.toolbar_images[i - 1].get_pixbuf(),
                         Masked("Sakura", "TlbIcon" + std::to_string(i) + ".bmp")),
              "")
        << i;
  // The full middle pocket shows PktIcon1.bmp, the empty ones PktIcon0.bmp.
  EXPECT_EQ(Difference(window.pocket_images[1].get_pixbuf(), Masked("Sakura", "PktIcon1.bmp")), "");
  EXPECT_EQ(Difference(window.pocket_images[0].get_pixbuf(), Masked("Sakura", "PktIcon0.bmp")), "");
  EXPECT_EQ(Difference(window.pocket_images[2].get_pixbuf(), Masked("Sakura", "PktIcon0.bmp")), "");
  EXPECT_EQ(Difference(window.pocket_list.get("Full"), Masked("Sakura", "PktIcon1.bmp")), "");
  // In direct mode the mode picture is OprBtnD.bmp; job mode takes OprBtnJ.bmp from the same list.
  EXPECT_EQ(Difference(window.mode_image.get_pixbuf(), Masked("Sakura", "OprBtnD.bmp")), "");
  EXPECT_EQ(Difference(window.mode_list.get(1), Masked("Sakura", "OprBtnJ.bmp")), "");
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(Difference(window.nav_images[i].get_pixbuf(),
                         Masked("Sakura", "NavBtn" + std::to_string(i + 1) + ".bmp")),
              "")
        << i;
  for (int i = 1; i <= 3; ++i)
    EXPECT_EQ(Difference(window.dir_images[i - 1].get_pixbuf(),
                         Masked("Sakura", "DirBtn" + std::to_string(i) + ".bmp")),
              "")
        << i;
  EXPECT_EQ(
      Difference(window.bar.picture, LoadSkinBitmap(Folder("Sakura") + "/ClbBack.bmp", false)), "");
}

TEST_F(ApplySkinTest, BandPicturesContinueTheBarsPatternOnScreen) {
  Choose("default");
  ApplySkin(window, settings, app.path());
  const Pixbuf tile = LoadSkinBitmap(Folder("default") + "/ClbBack.bmp", false);
  ASSERT_TRUE(tile);
  for (auto& band : window.bands) ASSERT_TRUE(band.view.picture());
  ASSERT_TRUE(
      test::RunUntil([&] { return window.get_window() && window.get_window()->is_viewable(); }));
  const Pixbuf screen = Screen();
  ASSERT_TRUE(screen);
  // Every pixel of the bar, inside the band pictures and around them, is the pixel of the tile
  // laid from the bar's origin: no band shows as a separate rectangle, and none shows its
  // designed colour.
  const int tw = tile->get_width(), th = tile->get_height();
  for (int y = 0; y < screen->get_height(); ++y)
    for (int x = 0; x < screen->get_width(); ++x) {
      Rgba want = At(tile, x % tw, y % th);
      ASSERT_EQ(At(screen, x, y), want) << "at " << x << "," << y;
    }
  // The hidden address bar got the same picture as the job bar over the same place.
  const Pixbuf& job = window.bands[3].view.picture();
  const Pixbuf& address = window.bands[4].view.picture();
  for (int y = 0; y < job->get_height(); ++y)
    for (int x = 0; x < job->get_width(); ++x) ASSERT_EQ(At(job, x, y), At(address, x, y));
}

TEST_F(ApplySkinTest, WithoutASkinTheBandsKeepTheirDesignedLook) {
  ApplySkinResult r = ApplySkin(window, settings, app.path());
  EXPECT_EQ(r.kind, SkinToApply::Kind::kNone);
  ASSERT_TRUE(
      test::RunUntil([&] { return window.get_window() && window.get_window()->is_viewable(); }));
  const Pixbuf screen = Screen();
  // Band picture 0 at (37, 5) shows its designed magenta, and nothing was given a picture.
  EXPECT_EQ(At(screen, 40, 10), (Rgba{255, 0, 255, 255}));
  for (auto& band : window.bands) EXPECT_EQ(band.pictures_set, 0);
  EXPECT_EQ(window.toolbar_list.count(), 0);
  EXPECT_FALSE(PaintBandBackgrounds(window, app.path()));
}

TEST_F(ApplySkinTest, DeletedSkinEmptiesTheSettingAndChangesNoPicture) {
  Choose("Gone");
  ApplySkinResult r = ApplySkin(window, settings, app.path());
  EXPECT_EQ(r.kind, SkinToApply::Kind::kSettingCleared);
  EXPECT_EQ(settings.Get("Setting", "Skin", "<absent>"), "");
  EXPECT_EQ(window.toolbar_list.count(), 0);
  EXPECT_EQ(window.pocket_list.count(), 0);
  EXPECT_EQ(window.mode_pictures_set, 0);
  EXPECT_FALSE(window.bar.picture);
}

TEST_F(ApplySkinTest, UnreadableFileChangesNothingNamesTheFileAndIsDropped) {
  // A copy of the default skin whose NavBtn3.bmp is not a picture.
  for (const char* file : kSkinFiles)
    Write(Folder("Broken") + "/" + file, ShippedSkinFile("default", file));
  Write(Folder("Broken") + "/navbtn3.bmp", "BM but not a bitmap");
  ASSERT_EQ(g_remove((Folder("Broken") + "/NavBtn3.bmp").c_str()), 0);
  ASSERT_TRUE(IsSkinFolderComplete(Folder("Broken")));
  Choose("Broken");
  ApplySkinResult r = ApplySkin(window, settings, app.path());
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(r.unreadable_file, Folder("Broken") + "/navbtn3.bmp");
  EXPECT_NE(r.message().find(r.unreadable_file), std::string::npos);
  EXPECT_EQ(r.caption(), "エラー");
  // A skin is applied whole or not at all, and a stored one that is refused is not kept.
  EXPECT_EQ(settings.Get("Setting", "Skin", "<absent>"), "");
  EXPECT_EQ(window.toolbar_list.count(), 0);
  EXPECT_EQ(window.pocket_list.count(), 0);
  EXPECT_EQ(window.mode_list.count(), 0);
  for (auto& image : window.nav_images) EXPECT_FALSE(image.get_pixbuf());
  for (auto& image : window.dir_images) EXPECT_FALSE(image.get_pixbuf());
  EXPECT_FALSE(window.bar.picture);
  for (auto& band : window.bands) EXPECT_EQ(band.pictures_set, 0);
}

TEST_F(ApplySkinTest, MissingBackgroundAtPaintingTimeLeavesTheBands) {
  Choose("default");
  ApplySkin(window, settings, app.path());
  const Pixbuf before = window.bands[0].view.picture();
  ASSERT_TRUE(before);
  ASSERT_EQ(g_remove((Folder("default") + "/ClbBack.bmp").c_str()), 0);
  EXPECT_FALSE(PaintBandBackgrounds(window, app.path()));
  EXPECT_EQ(window.bands[0].view.picture(), before);
  // A background that is not a picture is left alone the same way.
  Write(Folder("default") + "/ClbBack.bmp", "not a picture");
  EXPECT_FALSE(PaintBandBackgrounds(window, app.path()));
  EXPECT_EQ(window.bands[0].view.picture(), before);
}

TEST(ApplySkinForTheUser, UsesTheUsersSettingsAndTheApplicationFolder) {
  // The test program points both at folders of its own.
  SkinsTestWindow window;
  ASSERT_TRUE(InstallShippedSkins(ApplicationFolder()));
  SaveSetting("Setting", "Skin", "Sakura");
  EXPECT_EQ(ApplySkin(window).kind, SkinToApply::Kind::kApply);
  EXPECT_EQ(CurrentSkinName(), "Sakura");
  EXPECT_EQ(window.mode_list.count(), 2);
  window.bands[1].pictures_set = 0;
  EXPECT_TRUE(PaintBandBackgrounds(window));
  EXPECT_EQ(window.bands[1].pictures_set, 1);
  SaveSetting("Setting", "Skin", "");
  EXPECT_EQ(ApplySkin(window).kind, SkinToApply::Kind::kNone);
  EXPECT_EQ(CurrentSkinName(), "");
  EXPECT_FALSE(PaintBandBackgrounds(window));
}

TEST(PaintBandBackground, ZeroSizedBandOrTileGivesNoPicture) {
  auto tile = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, 8, 8);
  EXPECT_FALSE(PaintBandBackground(tile, {0, 0, 0, 10}, 15, 15));
  EXPECT_FALSE(PaintBandBackground({}, {0, 0, 10, 10}, 15, 15));
  EXPECT_TRUE(PaintBandBackground(tile, {-7, 3, 10, 10}, 15, 15));
}

TEST(SkinMenuItems, RebuildingReplacesTheItemsAndChoosingGivesTheCaption) {
  Gtk::Menu menu;
  Gtk::MenuItem fixed("ﾃﾞﾌｫﾙﾄ(_D)", true);
  menu.append(fixed);
  std::vector<std::pair<int, std::string>> chosen;
  SkinMenuItems items(
      menu, [](const std::string& caption) { return "[" + caption + "]"; },
      [&](int index, const std::string& caption) { chosen.emplace_back(index, caption); });

  items.Rebuild({"Sakura", "R&B"});
  items.Rebuild({"Sakura", "R&B"});
  EXPECT_EQ(items.count(), 2);
  EXPECT_EQ(menu.get_children().size(), 3u);  // the fixed item and the two, not four
  EXPECT_EQ(items.item(2)->get_label(), "[R&B]");
  items.item(2)->activate();
  EXPECT_EQ(chosen, (std::vector<std::pair<int, std::string>>{{2, "R&B"}}));

  items.Rebuild({"Sakura", "R&B", "夜"});
  EXPECT_EQ(items.count(), 3);
  EXPECT_EQ(menu.get_children().size(), 4u);
  EXPECT_EQ(menu.get_children().back(), items.item(3));
  EXPECT_EQ(items.caption(3), "夜");
  EXPECT_EQ(items.caption(0), "");
  EXPECT_EQ(items.item(4), nullptr);
  items.Rebuild({});
  EXPECT_EQ(menu.get_children().size(), 1u);
}

TEST(LoadSkinPictures, StopsAtTheFirstMissingFile) {
  TempDir app;
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  const std::string folder = SkinFolder(app.path(), "Sakura");
  ASSERT_EQ(g_remove((folder + "/OprBtnJ.bmp").c_str()), 0);
  const SkinPictures p = LoadSkinPictures(folder);
  EXPECT_FALSE(p.complete());
  EXPECT_EQ(p.unreadable_file, folder + "/OprBtnJ.bmp");
  EXPECT_TRUE(p.pocket_full);
  EXPECT_FALSE(p.mode[0]);
  EXPECT_FALSE(p.background);
}

// An 8-bit run-length bitmap of one colour: a few bytes a row, however wide the picture.
std::string RunLengthBmp(int width, int height) {
  std::string rows;
  for (int y = 0; y < height; ++y) {
    for (int left = width; left > 0; left -= 255) rows += {char(std::min(left, 255)), char(1)};
    rows += {char(0), char(0)};  // end of row
  }
  rows += {char(0), char(1)};  // end of picture
  std::string palette(1024, '\0');
  palette[4] = char(0x40);  // colour 1
  auto le = [](std::uint32_t v, int n) {
    std::string b;
    for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xff);
    return b;
  };
  const std::uint32_t offset = 14 + 40 + 1024;
  return "BM" + le(offset + std::uint32_t(rows.size()), 4) + le(0, 4) + le(offset, 4) + le(40, 4) +
         le(std::uint32_t(width), 4) + le(std::uint32_t(height), 4) + le(1, 2) + le(8, 2) +
         le(1, 4) + le(std::uint32_t(rows.size()), 4) + le(2835, 4) + le(2835, 4) + le(0, 4) +
         le(0, 4) + palette + rows;
}

TEST(LoadSkinBitmap, ReadsPicturesOfAnySizeAButtonOrATileCanHave) {
  TempDir dir;
  Write(dir.file("small.bmp"), RunLengthBmp(300, 20));
  Pixbuf small = LoadSkinBitmap(dir.file("small.bmp"), false);
  ASSERT_TRUE(small);
  EXPECT_EQ((Size{small->get_width(), small->get_height()}), (Size{300, 20}));
  // More bytes than the reader hands over at once, and a picture at the pixel limit.
  auto source = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, 240, 160);
  source->fill(0x204060ff);
  Write(dir.file("large.bmp"),
        EncodeBmp24(240, 160, source->get_pixels(), source->get_rowstride(), 3));
  EXPECT_EQ(Difference(LoadSkinBitmap(dir.file("large.bmp"), false), source), "");
  Write(dir.file("limit.bmp"), RunLengthBmp(2048, 2048));
  EXPECT_TRUE(LoadSkinBitmap(dir.file("limit.bmp"), false));
}

TEST(LoadSkinBitmap, HugePicturesAndFilesThatAreNotRegularAreRefused) {
  TempDir dir;
  // 2 MB on disk, a gigabyte once unpacked.
  Write(dir.file("bomb.bmp"), RunLengthBmp(16000, 16000));
  EXPECT_FALSE(LoadSkinBitmap(dir.file("bomb.bmp"), false));
  Write(dir.file("wide.bmp"), RunLengthBmp(2049, 2048));
  EXPECT_FALSE(LoadSkinBitmap(dir.file("wide.bmp")));
  // A bitmap whose rows end early showed as a black square.
  auto source = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, 40, 40);
  source->fill(0x204060ff);
  const std::string whole = EncodeBmp24(40, 40, source->get_pixels(), source->get_rowstride(), 3);
  Write(dir.file("cut.bmp"), whole.substr(0, whole.size() - 120));
  EXPECT_FALSE(LoadSkinBitmap(dir.file("cut.bmp")));
  // A pipe under a bitmap's name: nobody will ever write to it, so waiting would hang.
  ASSERT_EQ(mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
  EXPECT_FALSE(LoadSkinBitmap(dir.file("pipe.bmp")));

  // In a skin, the huge picture is the file the user is told about.
  TempDir app;
  ASSERT_TRUE(InstallShippedSkins(app.path()));
  const std::string folder = SkinFolder(app.path(), "Sakura");
  Write(folder + "/NavBtn2.bmp", RunLengthBmp(16000, 16000));
  const SkinPictures p = LoadSkinPictures(folder);
  EXPECT_EQ(p.unreadable_file, folder + "/NavBtn2.bmp");
  EXPECT_TRUE(p.nav[0]);
  // Pictures that each fit but together pass the skin's pixel budget: the one past it is named.
  for (const char* name : {"TlbIcon1.bmp", "TlbIcon2.bmp", "TlbIcon3.bmp", "TlbIcon4.bmp"})
    Write(folder + "/" + name, RunLengthBmp(1100, 1100));
  EXPECT_EQ(LoadSkinPictures(folder).unreadable_file, folder + "/TlbIcon4.bmp");
  EXPECT_FALSE(p.nav[1]);
}

}  // namespace
}  // namespace tarvik
