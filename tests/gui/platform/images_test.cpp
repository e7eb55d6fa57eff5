#include <gdkmm/cursor.h>
#include <gdkmm/display.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/builtin_drawing.h"
#include "platform/builtin_images.h"
#include "platform/image_list.h"

namespace tarvik {
namespace {

namespace b = builtin;

struct Pixel {
  guint8 r, g, b, a;
};

Pixel At(const Glib::RefPtr<Gdk::Pixbuf>& p, int x, int y) {
  const guint8* q = p->get_pixels() + y * p->get_rowstride() + x * p->get_n_channels();
  return {q[0], q[1], q[2], p->get_has_alpha() ? q[3] : guint8{255}};
}

Glib::RefPtr<Gdk::Pixbuf> Solid(int w, int h, guint8 r, guint8 g, guint8 bl, bool alpha = false) {
  auto p = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, alpha, 8, w, h);
  p->fill((guint32{r} << 24) | (guint32{g} << 16) | (guint32{bl} << 8) | 0xff);
  return p;
}

void Put(const Glib::RefPtr<Gdk::Pixbuf>& p, int x, int y, Pixel c) {
  guint8* q = p->get_pixels() + y * p->get_rowstride() + x * p->get_n_channels();
  q[0] = c.r;
  q[1] = c.g;
  q[2] = c.b;
  if (p->get_has_alpha()) q[3] = c.a;
}

struct Picture {
  std::string name;
  Glib::RefPtr<Gdk::Pixbuf> image;
  int width, height;
};

std::vector<Picture> AllPictures() {
  std::vector<Picture> all;
  const char* toolbar[] = {"stop", "refresh", "home", "back", "forward"};
  for (int i = 1; i <= 5; ++i) all.push_back({toolbar[i - 1], b::ToolbarImage(i), 32, 32});
  all.push_back({"pocket Empty", b::PocketImage(false), 32, 32});
  all.push_back({"pocket Full", b::PocketImage(true), 32, 32});
  all.push_back({"job mode", b::ModeImage(1), 75, 25});
  all.push_back({"direct mode", b::ModeImage(2), 75, 25});
  for (int i = 0; i <= 4; ++i)
    all.push_back({"cmdNav(" + std::to_string(i) + ")", b::NavButtonImage(i),
                   b::kNavButtonImageSize, b::kNavButtonImageSize});
  all.push_back({"cmdMove", b::DirButtonImage(1), b::kGoImageWidth, b::kGoImageHeight});
  all.push_back({"cmdOpFav", b::DirButtonImage(2), b::kFavoriteImageSize, b::kFavoriteImageSize});
  all.push_back({"cmdSvFav", b::DirButtonImage(3), b::kFavoriteImageSize, b::kFavoriteImageSize});
  all.push_back({"cool bar tile", b::CoolBarBackground(), 64, 64});
  all.push_back({"window icon", b::WindowIcon(), 48, 48});
  all.push_back({"pocket cursor", b::PocketCursorImage(), 32, 32});
  return all;
}

bool SamePixels(const Glib::RefPtr<Gdk::Pixbuf>& a, const Glib::RefPtr<Gdk::Pixbuf>& c) {
  if (a->get_width() != c->get_width() || a->get_height() != c->get_height()) return false;
  for (int y = 0; y < a->get_height(); ++y)
    for (int x = 0; x < a->get_width(); ++x) {
      Pixel p = At(a, x, y), q = At(c, x, y);
      if (p.r != q.r || p.g != q.g || p.b != q.b || p.a != q.a) return false;
    }
  return true;
}

// ---- the built-in pictures ------------------------------------------------------------------

TEST(BuiltinImages, EveryPictureHasItsDesignedSizeAndIsDrawn) {
  for (const auto& pic : AllPictures()) {
    SCOPED_TRACE(pic.name);
    ASSERT_TRUE(pic.image);
    EXPECT_EQ(pic.image->get_width(), pic.width);
    EXPECT_EQ(pic.image->get_height(), pic.height);
    int opaque = 0;
    std::set<std::uint32_t> colours;
    for (int y = 0; y < pic.image->get_height(); ++y)
      for (int x = 0; x < pic.image->get_width(); ++x) {
        Pixel p = At(pic.image, x, y);
        if (p.a == 255) {
          ++opaque;
          colours.insert((std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b);
        }
      }
    // A drawing, not an empty or flat placeholder: a fair share of solid pixels, in many shades.
    EXPECT_GT(opaque, pic.width * pic.height / 16);
    EXPECT_GT(colours.size(), 8u);
  }
}

TEST(BuiltinImages, GlyphsFitInsideTheirButtonsWithAMargin) {
  // The job step buttons are 25 x 24 and the address bar buttons 57 x 26 and 42 x 26 pixels;
  // a GTK button needs about 3 pixels of frame and padding on each side.
  for (int i = 0; i <= 4; ++i) {
    auto p = b::NavButtonImage(i);
    EXPECT_LE(p->get_width(), 25 - 6);
    EXPECT_LE(p->get_height(), 24 - 6);
  }
  EXPECT_LE(b::DirButtonImage(1)->get_width(), 57 - 8);
  EXPECT_LE(b::DirButtonImage(1)->get_height(), 26 - 6);
  for (int i = 2; i <= 3; ++i) {
    EXPECT_LE(b::DirButtonImage(i)->get_width(), 42 - 8);
    EXPECT_LE(b::DirButtonImage(i)->get_height(), 26 - 6);
  }
}

TEST(BuiltinImages, PicturesOfOneSetDifferFromEachOther) {
  const auto all = AllPictures();
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j) {
      if (all[i].width != all[j].width || all[i].height != all[j].height) continue;
      EXPECT_FALSE(SamePixels(all[i].image, all[j].image)) << all[i].name << " and " << all[j].name;
    }
}

TEST(BuiltinImages, ModeLabelsAreRendered) {
  // Each mode picture carries its name as text; the two labels differ in length, so the dark ink
  // of the text covers a different width in the label area right of the slide.
  auto ink_width = [](const Glib::RefPtr<Gdk::Pixbuf>& p) {
    int left = p->get_width(), right = -1;
    for (int y = 0; y < p->get_height(); ++y)
      for (int x = 30; x < p->get_width() - 2; ++x) {
        Pixel q = At(p, x, y);
        if (q.a == 255 && q.r + q.g + q.b < 3 * 110) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
      }
    return right - left + 1;
  };
  int job = ink_width(b::ModeImage(1));
  int direct = ink_width(b::ModeImage(2));
  EXPECT_GT(job, 10);
  EXPECT_GT(direct, job + 5);
  EXPECT_LE(direct, 75 - 30);
}

TEST(BuiltinImages, IndexOutsideTheRangeGivesNothing) {
  EXPECT_FALSE(b::ToolbarImage(0));
  EXPECT_FALSE(b::ToolbarImage(6));
  EXPECT_FALSE(b::ModeImage(0));
  EXPECT_FALSE(b::ModeImage(3));
  EXPECT_FALSE(b::NavButtonImage(-1));
  EXPECT_FALSE(b::NavButtonImage(5));
  EXPECT_FALSE(b::DirButtonImage(0));
  EXPECT_FALSE(b::DirButtonImage(4));
}

// The program shows the pixels the build drew: each accessor gives the picture it names, with its
// colours and alpha channel as the drawing code makes them now.
TEST(BuiltinImages, CompiledPicturesAreTheDrawingsTheyName) {
  const std::vector<b::Picture> order = {
      b::Picture::kStop,         b::Picture::kRefresh,     b::Picture::kHome,
      b::Picture::kBack,         b::Picture::kForward,     b::Picture::kPocketEmpty,
      b::Picture::kPocketFull,   b::Picture::kModeJob,     b::Picture::kModeDirect,
      b::Picture::kNavFirst,     b::Picture::kNavPrevious, b::Picture::kNavNext,
      b::Picture::kNavLast,      b::Picture::kNavList,     b::Picture::kGo,
      b::Picture::kOpenFavorite, b::Picture::kAddFavorite, b::Picture::kCoolBarTile,
      b::Picture::kIcon48,       b::Picture::kPocketCursor};
  const std::vector<Picture> shown = AllPictures();
  ASSERT_EQ(shown.size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(shown[i].name);
    auto drawn = b::DrawPicture(order[i]);
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(shown[i].image->get_has_alpha());
    EXPECT_TRUE(SamePixels(shown[i].image, drawn));
  }
  const auto icons = b::WindowIconList();
  const b::Picture icon_pictures[] = {b::Picture::kIcon16, b::Picture::kIcon24, b::Picture::kIcon32,
                                      b::Picture::kIcon48};
  ASSERT_EQ(icons.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(SamePixels(icons[i], b::DrawPicture(icon_pictures[i])));
}

TEST(BuiltinImages, EachPictureIsWrappedOnce) {
  EXPECT_EQ(b::ToolbarImage(2), b::ToolbarImage(2));
  EXPECT_EQ(b::PocketImage(true), b::PocketImage(true));
  EXPECT_EQ(b::WindowIcon(), b::WindowIcon());
}

TEST(BuiltinImages, NoPictureLosesPixelsToTheMask) {
  // Image lists cut RGB(192, 192, 192) out of every picture added to them, built-in ones included.
  for (const auto& pic : AllPictures()) {
    SCOPED_TRACE(pic.name);
    auto masked = WithMaskTransparent(pic.image);
    for (int y = 0; y < pic.height; ++y)
      for (int x = 0; x < pic.width; ++x)
        ASSERT_EQ(At(masked, x, y).a, At(pic.image, x, y).a) << x << "," << y;
  }
}

TEST(BuiltinImages, CoolBarTileJoinsItselfWithoutASeam) {
  // Across the seam the step between neighbouring pixels must be no larger than the steps inside.
  auto t = b::CoolBarBackground();
  const int n = t->get_width();
  auto diff = [&](Pixel p, Pixel q) {
    return std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
  };
  int inside = 0, seam_x = 0, seam_y = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j + 1 < n; ++j) inside = std::max(inside, diff(At(t, j, i), At(t, j + 1, i)));
    seam_x = std::max(seam_x, diff(At(t, n - 1, i), At(t, 0, i)));
  }
  int inside_y = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y + 1 < n; ++y)
      inside_y = std::max(inside_y, diff(At(t, x, y), At(t, x, y + 1)));
    seam_y = std::max(seam_y, diff(At(t, x, n - 1), At(t, x, 0)));
  }
  EXPECT_LE(seam_x, inside);
  EXPECT_LE(seam_y, inside_y);
}

TEST(BuiltinImages, WindowIconListHoldsEachSizeDrawn) {
  auto icons = b::WindowIconList();
  std::vector<int> sizes;
  for (const auto& icon : icons) {
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->get_width(), icon->get_height());
    sizes.push_back(icon->get_width());
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48}));
  EXPECT_EQ(icons.back(), b::WindowIcon());
}

TEST(BuiltinImages, PocketCursorPointsWithTheTipOfItsArrow) {
  auto image = b::PocketCursorImage();
  // The hot spot sits on the drawn outline of the tip, not on a transparent pixel beside it.
  EXPECT_GT(At(image, b::kPocketCursorHotX, b::kPocketCursorHotY).a, 128);
  // Nothing is drawn above or left of the tip.
  for (int x = 0; x < image->get_width(); ++x) EXPECT_EQ(At(image, x, 0).a, 0) << x;
  for (int y = 0; y < image->get_height(); ++y) EXPECT_EQ(At(image, 0, y).a, 0) << y;

  auto display = Gdk::Display::get_default();
  ASSERT_TRUE(display);
  auto cursor = b::PocketCursor(display);
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->get_cursor_type(), Gdk::CURSOR_IS_PIXMAP);
}

// ---- the mask ------------------------------------------------------------------------------

TEST(WithMaskTransparent, ClearsExactlyTheMaskColour) {
  auto p = Solid(6, 1, 10, 20, 30);
  Put(p, 0, 0, {192, 192, 192, 255});
  Put(p, 1, 0, {192, 192, 193, 255});
  Put(p, 2, 0, {191, 192, 192, 255});
  Put(p, 3, 0, {192, 193, 192, 255});
  Put(p, 4, 0, {0, 0, 0, 255});
  Put(p, 5, 0, {192, 192, 192, 255});
  auto m = WithMaskTransparent(p);
  ASSERT_TRUE(m->get_has_alpha());
  const guint8 expected[] = {0, 255, 255, 255, 255, 0};
  for (int x = 0; x < 6; ++x) {
    Pixel q = At(m, x, 0), src = At(p, x, 0);
    EXPECT_EQ(q.a, expected[x]) << x;
    // The colours stay as they were.
    EXPECT_EQ(q.r, src.r);
    EXPECT_EQ(q.g, src.g);
    EXPECT_EQ(q.b, src.b);
  }
}

TEST(WithMaskTransparent, KeepsExistingTransparencyAndLeavesTheSourceAlone) {
  auto p = Solid(3, 1, 50, 60, 70, true);
  Put(p, 0, 0, {50, 60, 70, 40});
  Put(p, 1, 0, {192, 192, 192, 200});
  auto m = WithMaskTransparent(p);
  EXPECT_EQ(At(m, 0, 0).a, 40);
  EXPECT_EQ(At(m, 1, 0).a, 0);
  EXPECT_EQ(At(m, 2, 0).a, 255);
  EXPECT_EQ(At(p, 1, 0).a, 200);
  EXPECT_FALSE(WithMaskTransparent({}));
}

// ---- the image list ------------------------------------------------------------------------

TEST(ImageList, FindsImagesByOneBasedIndexAndByKey) {
  ImageList list(32, 32);
  auto red = Solid(32, 32, 255, 0, 0);
  auto blue = Solid(32, 32, 0, 0, 255);
  EXPECT_EQ(list.add(red, "Empty"), 1);
  EXPECT_EQ(list.add(blue, "Full"), 2);
  EXPECT_EQ(list.count(), 2);

  EXPECT_EQ(At(list.get(1), 5, 5).r, 255);
  EXPECT_EQ(At(list.get(2), 5, 5).b, 255);
  EXPECT_EQ(list.get("Full"), list.get(2));
  EXPECT_EQ(list.get("Empty"), list.get(1));

  EXPECT_FALSE(list.get(0));
  EXPECT_FALSE(list.get(3));
  EXPECT_FALSE(list.get(-1));
  EXPECT_FALSE(list.get("full"));
  EXPECT_FALSE(list.get("Half"));
  EXPECT_FALSE(list.get(""));
}

TEST(ImageList, AddMakesTheMaskColourTransparent) {
  ImageList list(4, 4);
  auto p = Solid(4, 4, 192, 192, 192);
  Put(p, 1, 1, {200, 0, 0, 255});
  list.add(p);
  auto stored = list.get(1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(At(stored, x, y).a, (x == 1 && y == 1) ? 255 : 0) << x << "," << y;
}

TEST(ImageList, AddScalesToTheListSize) {
  ImageList list(32, 32);
  // Left half green, right half the mask colour.
  auto p = Solid(16, 8, 0, 160, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 8; x < 16; ++x) Put(p, x, y, {192, 192, 192, 255});
  ASSERT_EQ(list.add(p, "k"), 1);
  auto s = list.get("k");
  EXPECT_EQ(s->get_width(), 32);
  EXPECT_EQ(s->get_height(), 32);
  Pixel left = At(s, 4, 16), right = At(s, 28, 16);
  EXPECT_EQ(left.a, 255);
  EXPECT_EQ(left.g, 160);
  EXPECT_EQ(left.r, 0);
  EXPECT_EQ(right.a, 0);
  // Scaling blends the edge between green and the cut-out background, never greying the green.
  for (int x = 0; x < 32; ++x) {
    Pixel q = At(s, x, 16);
    if (q.a > 0) {
      EXPECT_LT(q.r, 20) << x;
    }
  }
}

TEST(ImageList, RefusesAKeyInUseAndANullPicture) {
  ImageList list(8, 8);
  EXPECT_EQ(list.add(Solid(8, 8, 1, 2, 3), "Full"), 1);
  EXPECT_EQ(list.add(Solid(8, 8, 4, 5, 6), "Full"), 0);
  EXPECT_EQ(list.add({}, "Other"), 0);
  EXPECT_EQ(list.count(), 1);
  EXPECT_EQ(At(list.get("Full"), 0, 0).r, 1);
  // Images without a key can be added any number of times.
  EXPECT_EQ(list.add(Solid(8, 8, 7, 8, 9)), 2);
  EXPECT_EQ(list.add(Solid(8, 8, 7, 8, 9)), 3);
}

TEST(ImageList, ClearStartsTheNumberingAgain) {
  ImageList list(8, 8);
  list.add(Solid(8, 8, 1, 1, 1), "Empty");
  list.add(Solid(8, 8, 2, 2, 2), "Full");
  list.clear();
  EXPECT_EQ(list.count(), 0);
  EXPECT_FALSE(list.get(1));
  EXPECT_FALSE(list.get("Empty"));
  EXPECT_EQ(list.add(Solid(8, 8, 3, 3, 3), "Full"), 1);
  EXPECT_EQ(At(list.get("Full"), 0, 0).r, 3);
}

TEST(ImageList, BuiltInPicturesKeepTheirLookInAList) {
  ImageList list(b::kModeImageWidth, b::kModeImageHeight);
  list.add(b::ModeImage(1));
  list.add(b::ModeImage(2));
  EXPECT_TRUE(SamePixels(list.get(1), b::ModeImage(1)));
  EXPECT_TRUE(SamePixels(list.get(2), b::ModeImage(2)));
}

}  // namespace
}  // namespace tarvik
