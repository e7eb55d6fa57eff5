// The designed main window: the geometry of its controls in twips, as (left, top, width,
// height) in their containers, and the designed texts.
#pragma once

namespace tarvik::design {

struct Rect {
  float left, top, width, height;
};

constexpr float kClientWidth = 11415;
constexpr float kClientHeight = 8355;

constexpr Rect kSkin{11580, 3300, 705, 615};
constexpr Rect kCoolBar{0, 0, 11370, 1425};
constexpr Rect kBrowser{30, 1470, 11370, 6465};
constexpr Rect kStatusBar{0, 8040, 11415, 315};
constexpr Rect kProgress{7860, 870, 405, 405};

// Band children.
constexpr Rect kToolbar{165, 30, 6285, 765};
constexpr Rect kBackPockets{7245, 75, 2115, 675};  // picBack(0), band 2
constexpr Rect kBackMode{10005, 165, 1275, 495};   // picBack(1), band 3
constexpr Rect kBackBar{165, 825, 11115, 570};     // picBack(2), band 4
constexpr Rect kBackJob{0, 0, 11115, 570};         // picBack(3), the job bar
constexpr Rect kBackAddress{0, 0, 11115, 570};     // picBack(4), the address bar

// The address bar.
constexpr Rect kURL{120, 135, 8535, 300};
constexpr Rect kMove{8775, 90, 855, 390};
constexpr Rect kOpenFav{9690, 90, 630, 390};
constexpr Rect kSaveFav{10395, 90, 630, 390};

// The job bar.
constexpr Rect kJob{120, 120, 2805, 345};
constexpr Rect kNav[5] = {{3015, 120, 375, 360},
                          {3360, 120, 375, 360},
                          {3720, 120, 375, 360},
                          {4065, 120, 375, 360},
                          {4410, 120, 375, 360}};
constexpr Rect kJobTitle{4890, 120, 6120, 345};

// The mode picture and the pockets.
constexpr Rect kMode{60, 30, 1125, 375};
constexpr Rect kPocket[3] = {{60, 60, 540, 540}, {765, 60, 540, 540}, {1455, 60, 540, 540}};

// Cool bar bands: minimum width, minimum height, width.
struct Band {
  const char* caption;
  float min_width, min_height, width;
  bool new_row;
  bool use_bar_picture;
};
constexpr Band kBands[4] = {
    {"", 4200, 765, 4200, false, false},
    {"ポケット", 2115, 675, 2085, false, true},
    {"操作", 1275, 495, 1215, false, true},
    {"", 11070, 570, 11070, true, true},
};

// What assistive technologies read for the controls that show only a picture. The step buttons,
// Go and the favorites buttons are named by their designed tooltips (which stay their
// descriptions, and the step buttons' tooltips change with the job); the pockets by their
// place; the mode picture by the mode it shows.
constexpr const char* kPocketNames[3] = {"ポケット1", "ポケット2", "ポケット3"};
constexpr const char* kModeNames[2] = {"ジョブ", "ダイレクト"};  // modes 1 and 2
constexpr const char* kNavNames[5] = {"先頭へ", "一つ前", "次", "最後へ", "一覧から選択"};
constexpr const char* kMoveName = "移動";
constexpr const char* kOpenFavName = "お気に入りを開く";
constexpr const char* kSaveFavName = "お気に入りに追加";

// The name of the mode picture while it shows `mode` (1 job, 2 direct); "" for any other.
constexpr const char* ModeName(int mode) {
  return mode == 1 || mode == 2 ? kModeNames[mode - 1] : "";
}

// Status bar panel widths.
constexpr float kPanelWidths[4] = {7410, 1800, 1020, 855};

// A compact look close to the designed one: the designed controls are small, and the theme's
// default padding would not fit them into their places.
inline constexpr const char* kMainWindowCss = R"css(
window.tarvik-main, window.tarvik-main * { font-family: "IPAPGothic", sans-serif; font-size: 9pt; }
.tarvik-main entry { min-height: 0; padding: 0 4px; }
.tarvik-main button.tarvik-picture { min-height: 0; min-width: 0; padding: 0; }
.tarvik-main button.tarvik-selector { min-height: 0; padding: 0 4px; }
.tarvik-main toolbar { padding: 0; background: transparent; border: none; }
.tarvik-main toolbar toolbutton button { padding: 0 2px; min-width: 0; }
.tarvik-main .tarvik-status { border-top: 1px solid alpha(black, 0.15); }
.tarvik-main .tarvik-status frame > border { border-style: inset; }
.tarvik-main .tarvik-status label { padding: 0 3px; }
)css";

}  // namespace tarvik::design
