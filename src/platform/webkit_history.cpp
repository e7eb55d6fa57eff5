// The window's history across the views of one browser: the views kept out of sight with the
// pages the user left, and the addresses of those no longer kept. Part of the WebKitGTK adapter.
#include <webkit2/webkit2.h>

#include <algorithm>

#include "platform/webkit_browser.h"
#include "platform/webkit_prepared_page.h"

namespace tarvik {

namespace {

// The addresses of a history list's items, in the list's order.
void AppendAddresses(GList* items, std::vector<std::string>& out) {
  for (GList* i = items; i; i = i->next) {
    const char* uri = webkit_back_forward_list_item_get_uri(WEBKIT_BACK_FORWARD_LIST_ITEM(i->data));
    if (uri && *uri) out.emplace_back(uri);
  }
  g_list_free(items);
}

}  // namespace

void WebKitBrowser::GoBack() {
  if (webkit_web_view_can_go_back(view_))
    webkit_web_view_go_back(view_);
  else if (!behind_.empty())
    ShowKept(true);
  else if (!carried_back_.empty())
    CrossHistory(true);
}

void WebKitBrowser::GoForward() {
  if (!AtLeftItem() && webkit_web_view_can_go_forward(view_))
    webkit_web_view_go_forward(view_);
  else if (!ahead_.empty())
    ShowKept(false);
  else if (!carried_forward_.empty())
    CrossHistory(false);
}

bool WebKitBrowser::AtLeftItem() const {
  return left_at_ && webkit_back_forward_list_get_current_item(
                         webkit_web_view_get_back_forward_list(view_)) == left_at_;
}

void WebKitBrowser::FollowHistory(int event) {
  WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view_);
  if (event == WEBKIT_LOAD_STARTED) {
    for (WebKitBackForwardListItem* item : history_before_) g_object_unref(item);
    history_before_.clear();
    GList* items = webkit_back_forward_list_get_back_list(list);
    items = g_list_concat(items, webkit_back_forward_list_get_forward_list(list));
    if (auto* current = webkit_back_forward_list_get_current_item(list))
      items = g_list_prepend(items, current);
    for (GList* i = items; i; i = i->next)
      history_before_.push_back(WEBKIT_BACK_FORWARD_LIST_ITEM(g_object_ref(G_OBJECT(i->data))));
    g_list_free(items);
  }
  if (event == WEBKIT_LOAD_COMMITTED) {
    // A page that is not one of the history's: the user went somewhere new from here, and the
    // pages ahead go, as the view's own do.
    auto* current = webkit_back_forward_list_get_current_item(list);
    const bool known =
        std::find(history_before_.begin(), history_before_.end(), current) != history_before_.end();
    if (!known && !crossing_) EndForwardHistory();
    crossing_ = false;
    shown_since_ = g_get_monotonic_time();
  }
}

void WebKitBrowser::ShowKept(bool back) {
  std::vector<KeptView>& from = back ? behind_ : ahead_;
  KeptView kept = from.back();
  from.pop_back();
  DropPrepared();
  ShowView(kept.view, kept.content, back ? &ahead_ : &behind_);
  left_at_ = kept.left_at;
  // The page as the user left it: no request, its form input and scroll place as they were.
  ReportPlaced(webkit_web_view_is_loading(view_) ? Came::Committed : Came::Loaded);
}

void WebKitBrowser::Release(KeptView& kept) {
  frame_.Drop(GTK_WIDGET(kept.view));
  g_object_unref(kept.view);
  g_object_unref(kept.content);
  if (kept.left_at) g_object_unref(kept.left_at);
  kept = {};
}

void WebKitBrowser::TrimKept() {
  while (behind_.size() > kKeptViews) {
    KeptView& oldest = behind_.front();
    WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(oldest.view);
    std::vector<std::string> back;
    AppendAddresses(webkit_back_forward_list_get_back_list(list), back);
    carried_back_.insert(carried_back_.end(), back.rbegin(), back.rend());
    if (const char* uri = webkit_web_view_get_uri(oldest.view); uri && *uri)
      carried_back_.emplace_back(uri);
    Release(oldest);
    behind_.erase(behind_.begin());
  }
  while (ahead_.size() > kKeptViews) {
    KeptView& farthest = ahead_.front();
    WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(farthest.view);
    std::vector<std::string> pages;  // from the page it shows on, as far as it was left
    if (const char* uri = webkit_web_view_get_uri(farthest.view); uri && *uri)
      pages.emplace_back(uri);
    WebKitBackForwardListItem* current = webkit_back_forward_list_get_current_item(list);
    if (current != farthest.left_at) {
      GList* items = webkit_back_forward_list_get_forward_list(list);
      for (GList* i = items; i; i = i->next) {
        auto* item = WEBKIT_BACK_FORWARD_LIST_ITEM(i->data);
        pages.emplace_back(webkit_back_forward_list_item_get_uri(item));
        if (item == farthest.left_at) break;
      }
      g_list_free(items);
    }
    carried_forward_.insert(carried_forward_.end(), pages.rbegin(), pages.rend());
    Release(farthest);
    ahead_.erase(ahead_.begin());
  }
}

void WebKitBrowser::EndForwardHistory() {
  carried_forward_.clear();
  for (KeptView& kept : ahead_) Release(kept);
  ahead_.clear();
  if (left_at_) g_object_unref(left_at_);
  left_at_ = nullptr;
}

void WebKitBrowser::CrossHistory(bool back) {
  std::vector<std::string>& from = back ? carried_back_ : carried_forward_;
  const std::string uri = from.back();
  from.pop_back();
  DropPrepared();
  // A view of its own, so that its history starts at the page it goes to; the view it replaces
  // is kept for the way back.
  WebKitUserContentManager* content = NewContentManager();
  auto* fresh = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", view_,
                                             "user-content-manager", content, nullptr));
  g_object_ref_sink(fresh);
  ShowView(fresh, content, back ? &ahead_ : &behind_);
  crossing_ = true;
  webkit_web_view_load_uri(view_, uri.c_str());
}

}  // namespace tarvik
