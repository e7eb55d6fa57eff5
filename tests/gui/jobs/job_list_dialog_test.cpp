// The job URL list dialog on its own, over a plain window.
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/entry.h>
#include <gtkmm/window.h>

#include <string>

#include "jobs/frm_list.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::Pump;

std::string ShownText(frmList& dialog, int column, int row) {
  Gtk::TreeViewColumn* view_column = dialog.lsvList().get_column(column);
  auto* cell = dynamic_cast<Gtk::CellRendererText*>(view_column->get_first_cell());
  if (!cell) return "<no text cell>";
  view_column->cell_set_cell_data(dialog.list_model(), dialog.list_model()->children()[row], false,
                                  false);
  return cell->property_text().get_value().raw();
}

TEST(JobListDialog, RowsFollowTheEntriesAndShowTheirTexts) {
  Gtk::Window owner;
  ListExchange exchange;
  exchange.ListJobName = "News";
  exchange.ListLastIdx = 2;
  exchange.ListTitles = {"Top, first", "World", "Sport"};
  exchange.ListURLs = {"http://news/", "http://news/world", "http://news/sport"};
  frmList dialog(owner, exchange);
  dialog.show();
  Pump(50);
  EXPECT_EQ(dialog.get_title(), "ｼﾞｮﾌﾞ（News）");
  ASSERT_EQ(dialog.list_model()->children().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ShownText(dialog, 0, i), exchange.ListTitles[i]);
    EXPECT_EQ(ShownText(dialog, 1, i), exchange.ListURLs[i]);
  }
  EXPECT_EQ(dialog.lsvList().get_column(0)->get_title(), "タイトル");
  EXPECT_EQ(dialog.lsvList().get_column(1)->get_title(), "URL");
}

TEST(JobListDialog, HugeTitleIsShownShortAndChosenByItsRow) {
  std::string huge;
  while (huge.size() < 2 * 1024 * 1024) huge += "とても長い見出し";
  Gtk::Window owner;
  ListExchange exchange;
  exchange.ListJobName = std::string(5000, 'j');
  exchange.ListLastIdx = 1;
  exchange.ListTitles = {"first", huge};
  exchange.ListURLs = {"http://first/", "http://huge/" + huge};
  frmList dialog(owner, exchange);
  dialog.show();
  Pump(50);
  EXPECT_LT(dialog.get_title().size(), 400u);
  for (int column = 0; column < 2; ++column) {
    SCOPED_TRACE(column);
    const std::string shown = ShownText(dialog, column, 1);
    EXPECT_LT(shown.size(), 1200u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "…");
  }
  // The rows hold the whole texts.
  Gtk::TreeModel::Row row = *dialog.list_model()->children()[1];
  Glib::ustring title;
  row.get_value(0, title);
  EXPECT_TRUE(title.raw() == huge);

  // Double-clicking the huge row answers its index.
  Glib::signal_timeout().connect_once(
      [&dialog] {
        Gtk::TreeModel::Path path("1");
        dialog.lsvList().get_selection()->select(path);
        dialog.lsvList().row_activated(path, *dialog.lsvList().get_column(0));
      },
      50);
  dialog.Run();
  EXPECT_EQ(exchange.ListResultIdx, 1);
}

TEST(JobListDialog, OpensOnTheCurrentEntryScrolledIntoView) {
  Gtk::Window owner;
  ListExchange exchange;
  exchange.ListJobName = "Long";
  for (int i = 0; i < 2000; ++i) {
    exchange.ListTitles.push_back("Entry " + std::to_string(i));
    exchange.ListURLs.push_back("http://e/" + std::to_string(i));
  }
  exchange.ListLastIdx = 1999;
  exchange.ListCurrentIdx = 1500;
  frmList dialog(owner, exchange);
  dialog.show();
  Pump(200);
  auto selected = dialog.lsvList().get_selection()->get_selected();
  ASSERT_TRUE(selected);
  EXPECT_EQ(dialog.list_model()->get_path(selected)[0], 1500);
  Gtk::TreeModel::Path first, last;
  ASSERT_TRUE(dialog.lsvList().get_visible_range(first, last));
  EXPECT_LE(first[0], 1500);
  EXPECT_GE(last[0], 1500);
  // OK without touching the list opens the current entry.
  dialog.cmdOK().clicked();
  Pump(20);
}

TEST(JobListDialog, WithoutACurrentEntryNothingIsSelected) {
  Gtk::Window owner;
  ListExchange exchange;
  exchange.ListLastIdx = 1;
  exchange.ListTitles = {"A", "B"};
  exchange.ListURLs = {"http://a/", "http://b/"};
  exchange.ListCurrentIdx = 7;  // past the end
  frmList dialog(owner, exchange);
  EXPECT_FALSE(dialog.lsvList().get_selection()->get_selected());
}

TEST(JobListDialog, TypingSearchesTitlesAndAddressesCaseFolded) {
  EXPECT_TRUE(ListRowMatches("news", "World News", "http://w/"));
  EXPECT_TRUE(ListRowMatches("EXAMPLE.ORG", "Home", "http://example.org/"));
  EXPECT_TRUE(ListRowMatches("ニュース", "今日のニュース", "http://n/"));
  EXPECT_FALSE(ListRowMatches("sport", "World News", "http://w/"));
  // The view asks the dialog's own rule: a key found only in the address finds the row.
  Gtk::Window owner;
  ListExchange exchange;
  exchange.ListLastIdx = 2;
  exchange.ListTitles = {"Alpha", "Beta", "Gamma"};
  exchange.ListURLs = {"http://one/", "http://two/", "http://three/"};
  frmList dialog(owner, exchange);
  Gtk::Entry entry;
  dialog.lsvList().set_search_entry(entry);
  dialog.get_content_area()->pack_start(entry);
  dialog.show_all();
  Pump(50);
  entry.set_text("three");  // in Gamma's address only
  Pump(50);
  Gtk::TreeModel::Path path;
  Gtk::TreeViewColumn* column = nullptr;
  dialog.lsvList().get_cursor(path, column);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], 2);
  entry.set_text("bet");  // Beta's title
  Pump(50);
  dialog.lsvList().get_cursor(path, column);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], 1);
  EXPECT_TRUE(dialog.lsvList().get_enable_search());
}

}  // namespace
}  // namespace tarvik
