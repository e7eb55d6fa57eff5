// The main window's menu tree, built from one table, and the wiring of its commands.
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include "app/frm_main.h"
#include "browse/recent_history.h"

namespace tarvik {

namespace {

struct MenuSpec {
  const char* name;
  const char* caption;  // with "&" before the access key; nullptr for a separator
  const char* parent;   // nullptr for a top-level menu
  const char* shortcut;
  bool enabled;
  bool visible;
};

// The menus in their designed order. Captions keep the designer's "&"; GTK's "_" is made from it.
const std::vector<MenuSpec>& MenuTable() {
  static const std::vector<MenuSpec> table = [] {
    std::vector<MenuSpec> t = {
        {"mhFile", "ﾌｧｲﾙ(&F)", nullptr, nullptr, true, true},
        {"mnuOpURL", "URLを開く(&U)...", "mhFile", "Ctrl+U", true, true},
        {"mnuOpFav", "お気に入りを開く(&F)...", "mhFile", "Ctrl+F", true, true},
        {"mnuAddFav", "お気に入りに追加(&A)...", "mhFile", "Ctrl+D", true, true},
        {"mSep01", nullptr, "mhFile", nullptr, true, true},
        {"mhRecent", "最近開いたページ(&R)", "mhFile", nullptr, true, true},
        {"mnuDelHist", "履歴の削除(&D)", "mhRecent", "Ctrl+K", true, true},
        {"mSep02", nullptr, "mhRecent", nullptr, true, true},
    };
    static std::vector<std::string> recent_names;
    recent_names.clear();
    for (int i = 0; i < RecentHistory::kSlots; ++i)
      recent_names.push_back("mnuRecent(" + std::to_string(i) + ")");
    for (int i = 0; i < RecentHistory::kSlots; ++i)
      t.push_back({recent_names[i].c_str(), "（空）", "mhRecent", nullptr, false, i == 0});
    std::vector<MenuSpec> rest = {
        {"mSep03", nullptr, "mhFile", nullptr, true, true},
        {"mnuQuit", "閉じる(&Q)", "mhFile", "Ctrl+Q", true, true},
        {"mhEdit", "編集(&E)", nullptr, nullptr, true, true},
        {"mnuCopy", "URLのｺﾋﾟｰ(&C)", "mhEdit", "Ctrl+C", true, true},
        {"mnuPaste", "URLの貼り付け(&V)", "mhEdit", "Ctrl+V", true, true},
        {"mhJob", "ｼﾞｮﾌﾞ(&J)", nullptr, nullptr, true, true},
        {"mnuNewJob", "新規ｼﾞｮﾌﾞの作成(&N)...", "mhJob", "Ctrl+N", true, true},
        {"mnuEditJob", "ｼﾞｮﾌﾞの編集(&E)...", "mhJob", "Ctrl+E", true, true},
        {"mSep04", nullptr, "mhJob", nullptr, true, true},
        {"mnuImportFavFolder", "お気に入りﾌｫﾙﾀﾞのｲﾝﾎﾟｰﾄ(&M)...", "mhJob", "Ctrl+M", true, true},
        {"mhPocket", "ﾎﾟｹｯﾄ(&P)", nullptr, nullptr, true, true},
        {"mnuClear", "ｸﾘｱ(&C)", "mhPocket", nullptr, true, true},
        {"mnuClearAll", "すべて(&A)", "mnuClear", "Ctrl+P", true, true},
        {"mSep05", nullptr, "mnuClear", nullptr, true, true},
        {"mnuCPckt(0)", "ﾎﾟｹｯﾄ&1", "mnuClear", nullptr, true, true},
        {"mnuCPckt(1)", "ﾎﾟｹｯﾄ&2", "mnuClear", nullptr, true, true},
        {"mnuCPckt(2)", "ﾎﾟｹｯﾄ&3", "mnuClear", nullptr, true, true},
        {"mhConfig", "設定(&C)", nullptr, nullptr, true, true},
        {"mnuHomeURL", "ﾎｰﾑURL(&H)...", "mhConfig", nullptr, true, true},
        {"mnuFavPath", "お気に入りﾌｫﾙﾀﾞ(&F)...", "mhConfig", nullptr, true, true},
        {"mSep06", nullptr, "mhConfig", nullptr, true, true},
        {"mnuDefBro", "ﾃﾞﾌｫﾙﾄﾌﾞﾗｳｻﾞにする(&D)", "mhConfig", nullptr, true, true},
        {"mSep07", nullptr, "mhConfig", nullptr, true, true},
        {"mnuSkin", "ｽｷﾝの変更(&S)", "mhConfig", nullptr, true, true},
        {"mnuSelSkin(0)", "ﾃﾞﾌｫﾙﾄ(&D)", "mnuSkin", nullptr, true, true},
        {"mSep08", nullptr, "mhConfig", nullptr, true, true},
        {"mnuInet", "ｲﾝﾀｰﾈｯﾄの設定(&I)...", "mhConfig", "Ctrl+I", true, true},
        {"mhHelp", "ﾍﾙﾌﾟ(&P)", nullptr, nullptr, true, true},
        {"mnuHelp", "ﾍﾙﾌﾟを開く(&O)...", "mhHelp", "Ctrl+H", true, true},
        {"mSep09", nullptr, "mhHelp", nullptr, true, true},
        {"mnuAuthorPage", "作者ﾎｰﾑﾍﾟｰｼﾞへ(&A)", "mhHelp", "Ctrl+A", true, true},
        {"mnuVer", "ﾊﾞｰｼﾞｮﾝ情報(&V)...", "mhHelp", "Ctrl+R", true, true},
    };
    t.insert(t.end(), rest.begin(), rest.end());
    return t;
  }();
  return table;
}

}  // namespace

// "ﾌｧｲﾙ(&F)" → "ﾌｧｲﾙ(_F)": the designer's access-key marker in GTK's form.
std::string MnemonicCaption(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    char c = caption[i];
    if (c == '_') {
      out += "__";
    } else if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else {
      out += c;
    }
  }
  return out;
}

void frmMain::BuildMenus() {
  accel_ = Gtk::AccelGroup::create();
  add_accel_group(accel_);
  std::map<std::string, Gtk::Menu*> submenus;

  for (const MenuSpec& spec : MenuTable()) {
    std::unique_ptr<Gtk::MenuItem> item;
    if (!spec.caption) {
      item = std::make_unique<Gtk::SeparatorMenuItem>();
    } else {
      item = std::make_unique<Gtk::MenuItem>(MnemonicCaption(spec.caption), true);
    }
    Gtk::MenuItem* raw = item.get();
    raw->set_name(spec.name);
    raw->set_sensitive(spec.enabled);
    if (spec.visible) raw->show(); else raw->hide();
    item->set_no_show_all(true);

    if (spec.shortcut) {
      guint key = 0;
      Gdk::ModifierType mods;
      std::string accel = spec.shortcut;
      // "Ctrl+U" → "<Control>u"
      Gtk::AccelGroup::parse("<Control>" + accel.substr(accel.find('+') + 1), key, mods);
      raw->add_accelerator("activate", accel_, gdk_keyval_to_lower(key), Gdk::CONTROL_MASK,
                           Gtk::ACCEL_VISIBLE);
    }

    const bool is_head = std::string(spec.name).rfind("mh", 0) == 0 || std::string(spec.name) == "mnuClear" ||
                         std::string(spec.name) == "mnuSkin";
    if (is_head) {
      auto* menu = Gtk::manage(new Gtk::Menu());
      menu->set_accel_group(accel_);
      raw->set_submenu(*menu);
      submenus[spec.name] = menu;
      std::string name = spec.name;
      // Opening a menu may refresh it (the Edit and Settings menus do).
      menu->signal_show().connect([this, name] {
        auto it = commands_.find("open:" + name);
        if (it != commands_.end()) it->second();
      });
    } else if (spec.caption) {
      std::string name = spec.name;
      raw->signal_activate().connect([this, name] {
        auto it = commands_.find(name);
        if (it != commands_.end()) it->second();
      });
    }

    if (!spec.parent) {
      menubar_.append(*raw);
    } else {
      submenus.at(spec.parent)->append(*raw);
    }
    menu_items_[spec.name] = raw;
    menu_widgets_.push_back(std::move(item));
  }
}

Gtk::MenuItem* frmMain::menu_item(const std::string& name) {
  auto it = menu_items_.find(name);
  return it == menu_items_.end() ? nullptr : it->second;
}

void frmMain::activate_menu(const std::string& name) {
  if (Gtk::MenuItem* item = menu_item(name); item && item->is_sensitive()) {
    auto it = commands_.find(name);
    if (it != commands_.end()) it->second();
  }
}

}  // namespace tarvik
