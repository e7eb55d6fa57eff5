// The menu commands of the system integration, called by the main window's menu handlers.
#pragma once

namespace Gtk {
class Window;
}

namespace tarvik {

class BrowserControl;

// Settings menu "ﾃﾞﾌｫﾙﾄﾌﾞﾗｳｻﾞにする(&D)": asks, then makes Tarvik the default browser.
void mnuDefBro_Click(Gtk::Window* parent);
// Settings menu "ｲﾝﾀｰﾈｯﾄの設定(&I)...": starts the desktop's proxy settings, when installed.
void mnuInet_Click(Gtk::Window* parent);
// Help menu "ﾍﾙﾌﾟを開く(&O)...": opens the manual with the desktop's handler for HTML.
void mnuHelp_Click(Gtk::Window* parent);
// Help menu "作者ﾎｰﾑﾍﾟｰｼﾞへ(&A)": shows the author's page in this window's browser: the
// manual's section about Tarvik and its author.
void mnuAuthorPage_Click(BrowserControl& browser);
// Help menu "ﾊﾞｰｼﾞｮﾝ情報(&V)...": shows the version dialog and returns when it is closed.
void mnuVer_Click(Gtk::Window* parent);

}  // namespace tarvik
