// The page's menu, the pages' questions for leave and the pop-ups refused, between the engine and
// the window that hosts the browser.
#include <webkit2/webkit2.h>

#include <memory>

#include "platform/display_text.h"
#include "platform/webkit_browser.h"

namespace tarvik {

namespace {

PageAction ActionOf(WebKitContextMenuAction a) {
  switch (a) {
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK: return PageAction::OpenLink;
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW: return PageAction::OpenLinkInNewWindow;
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK: return PageAction::DownloadLink;
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD: return PageAction::CopyLinkAddress;
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_IMAGE_IN_NEW_WINDOW:
      return PageAction::OpenImageInNewWindow;
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_IMAGE_TO_DISK: return PageAction::DownloadImage;
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_IMAGE_URL_TO_CLIPBOARD:
      return PageAction::CopyImageAddress;
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_IMAGE_TO_CLIPBOARD: return PageAction::CopyImage;
    case WEBKIT_CONTEXT_MENU_ACTION_GO_BACK: return PageAction::Back;
    case WEBKIT_CONTEXT_MENU_ACTION_GO_FORWARD: return PageAction::Forward;
    case WEBKIT_CONTEXT_MENU_ACTION_STOP: return PageAction::Stop;
    case WEBKIT_CONTEXT_MENU_ACTION_RELOAD: return PageAction::Reload;
    case WEBKIT_CONTEXT_MENU_ACTION_COPY: return PageAction::Copy;
    case WEBKIT_CONTEXT_MENU_ACTION_CUT: return PageAction::Cut;
    case WEBKIT_CONTEXT_MENU_ACTION_PASTE: return PageAction::Paste;
    case WEBKIT_CONTEXT_MENU_ACTION_DELETE: return PageAction::Delete;
    case WEBKIT_CONTEXT_MENU_ACTION_SELECT_ALL: return PageAction::SelectAll;
    case WEBKIT_CONTEXT_MENU_ACTION_SPELLING_GUESS: return PageAction::SpellingGuess;
    case WEBKIT_CONTEXT_MENU_ACTION_NO_GUESSES_FOUND: return PageAction::NoGuessesFound;
    case WEBKIT_CONTEXT_MENU_ACTION_IGNORE_SPELLING: return PageAction::IgnoreSpelling;
    case WEBKIT_CONTEXT_MENU_ACTION_LEARN_SPELLING: return PageAction::LearnSpelling;
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_VIDEO_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_AUDIO_IN_NEW_WINDOW:
      return PageAction::OpenMediaInNewWindow;
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_VIDEO_TO_DISK:
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_AUDIO_TO_DISK: return PageAction::DownloadMedia;
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_VIDEO_LINK_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_AUDIO_LINK_TO_CLIPBOARD:
      return PageAction::CopyMediaAddress;
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_PLAY: return PageAction::Play;
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_PAUSE: return PageAction::Pause;
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_MUTE: return PageAction::Mute;
    case WEBKIT_CONTEXT_MENU_ACTION_TOGGLE_MEDIA_CONTROLS: return PageAction::MediaControls;
    case WEBKIT_CONTEXT_MENU_ACTION_TOGGLE_MEDIA_LOOP: return PageAction::MediaLoop;
    case WEBKIT_CONTEXT_MENU_ACTION_ENTER_VIDEO_FULLSCREEN: return PageAction::MediaFullScreen;
    default: return PageAction::Other;
  }
}

std::string EngineLabel(WebKitContextMenuItem* item) {
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GtkAction* action = webkit_context_menu_item_get_action(item);
  const char* label = action ? gtk_action_get_label(action) : nullptr;
  G_GNUC_END_IGNORE_DEPRECATIONS
  return label ? label : "";
}

// A row of Tarvik's own: its command runs when the row is chosen.
WebKitContextMenuItem* CommandItem(const PageMenuRow& row) {
  static int counter = 0;
  const std::string name = "tarvik-page-row-" + std::to_string(++counter);
  GSimpleAction* action = g_simple_action_new(name.c_str(), nullptr);
  auto* run = new std::function<void()>(row.run);
  g_object_set_data_full(G_OBJECT(action), "tarvik-run", run,
                         [](gpointer p) { delete static_cast<std::function<void()>*>(p); });
  g_signal_connect(
      action, "activate", G_CALLBACK(+[](GSimpleAction* a, GVariant*, gpointer) {
        auto* f = static_cast<std::function<void()>*>(g_object_get_data(G_OBJECT(a), "tarvik-run"));
        if (f && *f) (*f)();
      }),
      nullptr);
  WebKitContextMenuItem* item = webkit_context_menu_item_new_from_gaction(
      G_ACTION(action), MnemonicCaption(row.caption).c_str(), nullptr);
  g_object_unref(action);
  return item;
}

void Fill(WebKitContextMenu* menu, const std::vector<PageMenuRow>& rows,
          const std::vector<WebKitContextMenuItem*>& engine) {
  for (const PageMenuRow& row : rows) {
    switch (row.kind) {
      case PageMenuRow::Kind::Separator:
        webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
        break;
      case PageMenuRow::Kind::Engine: {
        if (row.engine_row < 0 || row.engine_row >= static_cast<int>(engine.size())) break;
        WebKitContextMenuItem* item = engine[row.engine_row];
        const WebKitContextMenuAction stock = webkit_context_menu_item_get_stock_action(item);
        // A spelling guess is its word, as the engine gave it.
        if (row.caption.empty() || stock == WEBKIT_CONTEXT_MENU_ACTION_SPELLING_GUESS) {
          webkit_context_menu_append(menu, item);
        } else {
          webkit_context_menu_append(menu,
                                     webkit_context_menu_item_new_from_stock_action_with_label(
                                         stock, MnemonicCaption(row.caption).c_str()));
        }
        break;
      }
      case PageMenuRow::Kind::Command: webkit_context_menu_append(menu, CommandItem(row)); break;
      case PageMenuRow::Kind::Submenu: {
        WebKitContextMenu* sub = webkit_context_menu_new();
        Fill(sub, row.items, engine);
        webkit_context_menu_append(menu, webkit_context_menu_item_new_with_submenu(
                                             MnemonicCaption(row.caption).c_str(), sub));
        break;
      }
    }
  }
}

}  // namespace

gboolean WebKitBrowser::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*,
                                      WebKitHitTestResult* hit, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  if (!b->host_) return FALSE;
  PageMenuContext context;
  std::vector<WebKitContextMenuItem*> engine;
  for (GList* l = webkit_context_menu_get_items(menu); l; l = l->next) {
    auto* item = WEBKIT_CONTEXT_MENU_ITEM(l->data);
    if (webkit_context_menu_item_is_separator(item)) continue;
    context.engine_rows.push_back(ActionOf(webkit_context_menu_item_get_stock_action(item)));
    context.engine_labels.push_back(EngineLabel(item));
    engine.push_back(WEBKIT_CONTEXT_MENU_ITEM(g_object_ref(item)));
  }
  if (webkit_hit_test_result_context_is_link(hit)) {
    const char* uri = webkit_hit_test_result_get_link_uri(hit);
    const char* label = webkit_hit_test_result_get_link_label(hit);
    const char* title = webkit_hit_test_result_get_link_title(hit);
    context.link_url = uri ? uri : "";
    context.link_text = label && *label ? label : title ? title : "";
  }
  context.selection = webkit_hit_test_result_context_is_selection(hit);
  context.selection_has_links = context.selection && b->selection_has_links_;
  context.editable = webkit_hit_test_result_context_is_editable(hit);
  std::optional<std::vector<PageMenuRow>> rows = b->host_->PlanPageMenu(context);
  if (rows) {
    webkit_context_menu_remove_all(menu);
    Fill(menu, *rows, engine);
  }
  for (WebKitContextMenuItem* item : engine) g_object_unref(item);
  return FALSE;
}

void WebKitBrowser::OnSelectionLinksMessage(WebKitUserContentManager*,
                                            WebKitJavascriptResult* result, gpointer self) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  static_cast<WebKitBrowser*>(self)->selection_has_links_ =
      value && jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
}

void WebKitBrowser::OnBlockedMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                     gpointer self) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  if (!value || !jsc_value_is_string(value)) return;
  gchar* text = jsc_value_to_string(value);
  const std::string url = text ? text : "";
  g_free(text);
  // Only addresses a window could have been opened at.
  if (url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0)
    static_cast<WebKitBrowser*>(self)->popup_blocked_.emit(url);
}

namespace {

// A question of the engine's, held until it is answered; refused when nobody answers.
struct HeldQuestion {
  explicit HeldQuestion(WebKitPermissionRequest* r) : request(r) { g_object_ref(r); }
  ~HeldQuestion() {
    if (!answered) webkit_permission_request_deny(request);
    g_object_unref(request);
  }
  WebKitPermissionRequest* request;
  bool answered = false;
};

}  // namespace

gboolean WebKitBrowser::OnPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request,
                                            gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  PermissionQuestion question;
  if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request)) {
    question.kind = PagePermission::Notifications;
  } else if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request)) {
    question.kind = PagePermission::Location;
  } else {
    return FALSE;  // the engine refuses the others
  }
  question.page_url = b->LocationURL();
  auto held = std::make_shared<HeldQuestion>(request);
  question.answer = [held](bool allow) {
    if (held->answered) return;
    held->answered = true;
    if (allow) {
      webkit_permission_request_allow(held->request);
    } else {
      webkit_permission_request_deny(held->request);
    }
  };
  b->permission_request_.emit(question);
  return TRUE;
}

void WebKitBrowser::SetSpellChecking(bool on, const std::vector<std::string>& languages) {
  WebKitWebContext* context = webkit_web_view_get_context(view_);
  std::vector<const char*> names;
  for (const std::string& l : languages) names.push_back(l.c_str());
  names.push_back(nullptr);
  if (on && languages.size())
    webkit_web_context_set_spell_checking_languages(context, names.data());
  webkit_web_context_set_spell_checking_enabled(context, on && !languages.empty());
}

}  // namespace tarvik
