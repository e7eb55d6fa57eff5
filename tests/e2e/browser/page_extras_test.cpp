// What the main window adds to the page, through the real engine against pages served on
// 127.0.0.1: the page's own menu in Japanese under an English locale with a link put into a job
// from it, a download followed in the downloads window, and a page's question answered in the
// window and remembered for its site.
#include <glib.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "app/frm_downloads.h"
#include "browse/address_fixup.h"
#include "browse/site_permissions.h"
#include "jobs/job_files.h"
#include "platform/webkit_browser.h"
#include "support/app_fixture.h"
#include "support/loopback_server.h"

namespace tarvik {

void PrintTo(const JobEntry& e, std::ostream* os) {
  *os << "{\"" << e.Title << "\", \"" << e.URL << "\"}";
}

namespace test {
namespace {

// The engine's own captions would be English: GTK reads the locale as it starts.
const bool kEnglishLocale = [] {
  g_setenv("LC_ALL", "C", TRUE);
  g_setenv("LANG", "C", TRUE);
  return true;
}();

constexpr int kLoad = 20000;  // ms; software rendering under Xvfb is slow to start

class PageExtrasTest : public AppTest {
 protected:
  frmMain& Open(const std::string& url, const std::string& title) {
    frmMain& w = StartWith(url, WebKitBrowser::Factory(FixUpAddress));
    EXPECT_TRUE(RunUntil([&] { return w.get_title() == title + " -- Tarvik"; }, kLoad));
    return w;
  }
  LoopbackServer server;
};

// The page's menu as GTK shows it: a popped-up menu of this process.
GtkMenu* ShownPageMenu() {
  GList* tops = gtk_window_list_toplevels();
  GtkMenu* found = nullptr;
  for (GList* l = tops; l; l = l->next) {
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(l->data));
    if (child && GTK_IS_MENU(child) && gtk_widget_get_mapped(child)) found = GTK_MENU(child);
  }
  g_list_free(tops);
  return found;
}

std::vector<std::string> Captions(GtkWidget* menu) {
  std::vector<std::string> captions;
  GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* l = items; l; l = l->next) {
    if (!gtk_widget_get_visible(GTK_WIDGET(l->data))) continue;
    const char* label =
        GTK_IS_SEPARATOR_MENU_ITEM(l->data) ? "" : gtk_menu_item_get_label(GTK_MENU_ITEM(l->data));
    captions.emplace_back(label ? label : "");
  }
  g_list_free(items);
  return captions;
}

GtkWidget* ItemCaptioned(GtkWidget* menu, const std::string& caption) {
  GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
  GtkWidget* found = nullptr;
  for (GList* l = items; l && !found; l = l->next) {
    const char* label = GTK_IS_MENU_ITEM(l->data) && !GTK_IS_SEPARATOR_MENU_ITEM(l->data)
                            ? gtk_menu_item_get_label(GTK_MENU_ITEM(l->data))
                            : nullptr;
    if (label && caption == label) found = GTK_WIDGET(l->data);
  }
  g_list_free(items);
  return found;
}

// A click of the real mouse in the middle of the page.
void ClickPage(frmMain& w, int button) {
  Gtk::Widget& page = w.wbwMain();
  int x = 0, y = 0;
  page.get_window()->get_origin(x, y);
  x += page.get_allocation().get_x() + page.get_allocated_width() / 2;
  y += page.get_allocation().get_y() + page.get_allocated_height() / 2;
  const std::string click = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
                            " sleep 0.3 click " + std::to_string(button);
  ASSERT_TRUE(g_spawn_command_line_sync(click.c_str(), nullptr, nullptr, nullptr, nullptr));
}

TEST_F(PageExtrasTest, ThePageMenuIsJapaneseAndPutsALinkIntoAJob) {
  ASSERT_TRUE(RewriteJobList(home.path(), {"ニュース"}));
  ASSERT_TRUE(WriteJobFile(home.path(), "ニュース", {}));
  server.Serve("/menu.html",
               "<html><head><title>Menu</title></head><body style=\"margin:0\">"
               "<a href=\"/story.html\" style=\"display:block;width:100vw;height:100vh\">"
               "今日の記事</a></body></html>");
  frmMain& w = Open(server.url("/menu.html"), "Menu");
  Pump(300);
  ClickPage(w, 3);
  GtkMenu* menu = nullptr;
  ASSERT_TRUE(RunUntil([&] { return (menu = ShownPageMenu()) != nullptr; }, kLoad));
  EXPECT_EQ(
      Captions(GTK_WIDGET(menu)),
      (std::vector<std::string>{"ﾘﾝｸを開く(_O)", "新しいｳｨﾝﾄﾞｳでﾘﾝｸを開く(_W)",
                                "ﾘﾝｸ先を保存(_K)...", "ﾘﾝｸのURLをｺﾋﾟｰ(_L)", "ﾘﾝｸをｼﾞｮﾌﾞに追加"}));
  GtkWidget* add = ItemCaptioned(GTK_WIDGET(menu), "ﾘﾝｸをｼﾞｮﾌﾞに追加");
  ASSERT_TRUE(add);
  GtkWidget* jobs = gtk_menu_item_get_submenu(GTK_MENU_ITEM(add));
  ASSERT_TRUE(jobs);
  EXPECT_EQ(Captions(jobs), (std::vector<std::string>{"ニュース", "", "新規ｼﾞｮﾌﾞ..."}));

  gtk_menu_shell_activate_item(GTK_MENU_SHELL(jobs), ItemCaptioned(jobs, "ニュース"), TRUE);
  const std::vector<JobEntry> expected = {{"今日の記事", server.url("/story.html")}};
  ASSERT_TRUE(RunUntil(
      [&] {
        std::optional<Job> job = ReadJobFile(home.path(), "ニュース");
        return job && job->entries == expected;
      },
      kLoad));
  EXPECT_EQ(w.stbStat().panel(0).get_text(), "「ニュース」に追加しました");
  gtk_menu_shell_deactivate(GTK_MENU_SHELL(menu));
}

TEST_F(PageExtrasTest, ADownloadShowsItsProgressAndItsEndInTheDownloadsWindow) {
  server.Serve("/start.html", "<html><head><title>Start</title></head><body></body></html>");
  // Two fifths come at once, the rest a few seconds later.
  server.ServeSlowly("/data.bin", std::string(200000, 'a'), std::string(300000, 'b'), 4000,
                     "application/octet-stream");
  frmMain& w = Open(server.url("/start.html"), "Start");
  const std::string path = home.file("data.bin");
  dialogs.AnswerFile(path);
  w.browser().Navigate(server.url("/data.bin"));
  w.Run(ActionId::Downloads);
  frmDownloads* list = app->downloads_window();
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->get_visible());

  auto texts = [&] {
    return list->RowOf(1) >= 0 ? list->RowTexts(list->RowOf(1)) : std::vector<std::string>{};
  };
  ASSERT_TRUE(RunUntil(
      [&] { return !texts().empty() && texts()[1].find("(40%)") != std::string::npos; }, kLoad))
      << (texts().empty() ? "no row" : texts()[1]);
  EXPECT_EQ(texts()[0], "data.bin");
  EXPECT_EQ(texts()[1], "195.3 KB / 488.3 KB (40%)");
  EXPECT_EQ(texts()[4], "ダウンロード中");
  EXPECT_TRUE(list->cmdCancel().is_sensitive());
  EXPECT_FALSE(list->cmdOpen().is_sensitive());
  EXPECT_EQ(w.stbStat().panel(0).get_text(), "ダウンロード中: data.bin 40%");

  ASSERT_TRUE(RunUntil([&] { return texts()[4] == "完了"; }, kLoad));
  EXPECT_EQ(texts()[1], "488.3 KB / 488.3 KB (100%)");
  EXPECT_EQ(texts()[2], "");  // no speed and no time left once it has ended
  EXPECT_EQ(texts()[3], "");
  EXPECT_TRUE(list->cmdOpen().is_sensitive());
  EXPECT_FALSE(list->cmdRetry().is_sensitive());
  EXPECT_EQ(w.stbStat().panel(0).get_text(), "data.bin のダウンロードが完了しました");
  gchar* bytes = nullptr;
  gsize size = 0;
  ASSERT_TRUE(g_file_get_contents(path.c_str(), &bytes, &size, nullptr));
  g_free(bytes);
  EXPECT_EQ(size, 500000u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].file_options.file_name, "data.bin");
}

// Site A was refused before: its page hears "denied" without a question. Site B is asked in the
// window, the user allows it, the page hears "granted" and the answer is in the file.
TEST_F(PageExtrasTest, APagesQuestionIsAskedInTheWindowAndRememberedForItsSite) {
  // The engine lets a page ask only from the user's click.
  const char* page =
      "<html><head><title>Ask</title></head><body style=\"margin:0\"><button "
      "style=\"width:100vw;height:100vh\" onclick=\"Notification.requestPermission().then("
      "(p) => { document.title = 'Answer ' + p; })\">ask</button></body></html>";
  LoopbackServer other;
  server.Serve("/ask.html", page);
  other.Serve("/ask.html", page);
  const std::string site_a = "http://127.0.0.1:" + std::to_string(server.port());
  const std::string site_b = "http://127.0.0.1:" + std::to_string(other.port());
  SitePermissions store;
  ASSERT_TRUE(store.Remember(site_a, PagePermission::Notifications, false));

  frmMain& w = Open(server.url("/ask.html"), "Ask");
  PermissionBar& bar = w.page_extras().permission_bar();
  ClickPage(w, 1);
  EXPECT_TRUE(RunUntil([&] { return w.get_title() == "Answer denied -- Tarvik"; }, kLoad));
  EXPECT_FALSE(bar.get_visible());

  w.browser().Navigate(other.url("/ask.html"));
  ASSERT_TRUE(RunUntil([&] { return w.get_title() == "Ask -- Tarvik"; }, kLoad));
  ClickPage(w, 1);
  ASSERT_TRUE(RunUntil([&] { return bar.get_visible(); }, kLoad));
  EXPECT_EQ(bar.lblQuestion().get_text(),
            "127.0.0.1:" + std::to_string(other.port()) + " が通知の表示を求めています");
  EXPECT_EQ(bar.cmdAllow().get_label(), "許可");
  EXPECT_EQ(bar.cmdDeny().get_label(), "拒否");
  bar.cmdAllow().clicked();
  EXPECT_TRUE(RunUntil([&] { return w.get_title() == "Answer granted -- Tarvik"; }, kLoad));
  EXPECT_FALSE(bar.get_visible());
  EXPECT_EQ(store.Recall(site_b, PagePermission::Notifications), std::optional<bool>(true));
  EXPECT_EQ(store.Recall(site_a, PagePermission::Notifications), std::optional<bool>(false));
}

}  // namespace
}  // namespace test
}  // namespace tarvik
