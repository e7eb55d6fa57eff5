#include <set>

#include "app/main_actions.h"
#include "app/startup_services.h"
#include "main_window_fixture.h"
#include "platform/app_folder.h"
#include "skins/skin_files.h"
#include "skins/skin_state.h"

namespace tarvik::test {
namespace {

// A command without an action would be an item that silently does nothing; an id used twice
// would reach one of its rows only.
TEST(MainMenuTable, EveryCommandHasAnActionAndEveryParentComesFirst) {
  std::set<std::string> names;
  std::set<std::pair<ActionId, int>> ids;
  std::set<ActionId> menus;
  for (const ActionRow& row : MainActionRows()) {
    SCOPED_TRACE(row.name);
    if (row.kind == ActionRow::Kind::Command || row.kind == ActionRow::Kind::Check) {
      EXPECT_TRUE(row.handler);
    }
    if (row.kind == ActionRow::Kind::Separator) {
      EXPECT_FALSE(row.handler);
    } else {
      EXPECT_TRUE(ids.insert({row.id, row.index}).second) << "an id used twice";
      EXPECT_EQ(FindAction(row.id, row.index), &row);
    }
    if (!row.in_menu()) continue;
    EXPECT_TRUE(names.insert(row.name).second) << "a name used twice";
    EXPECT_EQ(row.caption.empty(), row.kind == ActionRow::Kind::Separator);
    EXPECT_TRUE(row.parent == ActionId::None || menus.count(row.parent));
    if (row.kind == ActionRow::Kind::Submenu) menus.insert(row.id);
  }
  // 40 designed items, the 20 recent pages, the 21 added to the job menu (6 of them the step
  // buttons', 5 a round's), the 5 added to the settings menu (the jobs folder, making the next
  // page ready, a round's highlight and interval of checks on their own, spell checking), the 4
  // added to the file menu (saving, printing, the downloads window), the 4 of finding in the page
  // and the view menu's 11
  EXPECT_EQ(names.size(), 105u);
}

using MenuTest = MainWindowTest;

TEST_F(MenuTest, EveryItemOfTheTableIsInTheWindowWithItsDesignedState) {
  frmMain& w = Start("");
  for (const ActionRow& row : MainActionRows()) {
    if (!row.in_menu() || row.kind == ActionRow::Kind::Separator) continue;
    SCOPED_TRACE(row.name);
    Gtk::MenuItem* item = w.menu_item(row.id, row.index);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->get_name(), row.name);
    EXPECT_EQ(item->get_submenu() != nullptr, row.kind == ActionRow::Kind::Submenu);
  }
  EXPECT_EQ(w.menu_item(ActionId::ClearAllPockets)->get_label(), "すべて(_A)");
  EXPECT_FALSE(w.action(ActionId::Recent, 0).enabled());
  EXPECT_FALSE(w.menu_item(ActionId::Recent, 1)->get_visible());
}

TEST_F(MenuTest, ClearingAPocketEmptiesItsRecordPictureAndTooltip) {
  frmMain& w = Start("");
  for (int i = 0; i < 3; ++i) {
    w.clbComm().picPocketImage(i).set(w.clbComm().imlPocket().get("Full"));
    w.clbComm().picPocket(i).set_tooltip_text("Page " + std::to_string(i));
  }
  w.Run(ActionId::ClearPocket, 1);
  EXPECT_EQ(w.clbComm().picPocketImage(1).get_pixbuf(), w.clbComm().imlPocket().get("Empty"));
  EXPECT_EQ(w.clbComm().picPocket(1).get_tooltip_text(), "");
  EXPECT_FALSE(w.pockets().pocket(1).full);
  EXPECT_EQ(w.clbComm().picPocketImage(0).get_pixbuf(), w.clbComm().imlPocket().get("Full"))
      << "only pocket 2";
  EXPECT_EQ(w.clbComm().picPocket(2).get_tooltip_text(), "Page 2");

  w.Run(ActionId::ClearAllPockets);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(w.clbComm().picPocketImage(i).get_pixbuf(), w.clbComm().imlPocket().get("Empty"));
    EXPECT_EQ(w.clbComm().picPocket(i).get_tooltip_text(), "");
    EXPECT_TRUE(w.pockets().pocket(i).title.empty() && w.pockets().pocket(i).url.empty());
  }
}

// The shipped skins are written after the first page has loaded; a Settings menu opened before
// that lists them all the same, and its default entry works.
TEST_F(MenuTest, TheDefaultSkinItemStoresTheDefaultSkinAlsoBeforeTheFirstPageHasLoaded) {
  PrepareProcess();
  frmMain& w = Start("");
  PrepareRestAfterFirstPage(w.browser());  // as the program does; the fake page never loads
  ASSERT_FALSE(IsSkinFolderComplete(SkinFolder(ApplicationFolder(), kDefaultSkinName)));
  Gtk::Menu* config = w.menu_item(ActionId::SettingsMenu)->get_submenu();
  config->show();
  ASSERT_NE(w.skin().menu_items(), nullptr);
  ASSERT_EQ(w.skin().menu_items()->count(), 1);
  EXPECT_EQ(w.skin().menu_items()->caption(1), "Sakura");
  config->hide();
  CurrentSkinName().clear();
  w.Run(ActionId::DefaultSkin);
  EXPECT_EQ(settings().Get("Setting", "Skin", ""), "default");
  EXPECT_EQ(CurrentSkinName(), "default");
  CurrentSkinName().clear();
}

}  // namespace
}  // namespace tarvik::test
