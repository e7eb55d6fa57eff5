// A browser control for window tests: records every call and lets the test raise events.
#pragma once

#include <gtkmm/clipboard.h>
#include <gtkmm/drawingarea.h>

#include <string>
#include <vector>

#include "platform/browser_control.h"

namespace tarvik::test {

class FakeBrowser : public BrowserControl {
 public:
  FakeBrowser() { area_.show(); }

  Gtk::Widget& widget() override { return area_; }
  void set_host(BrowserHost* host) override { host_ = host; }

  void Navigate(const std::string& url) override { calls.push_back("Navigate:" + url); }
  void Navigate2(const std::string& url) override { calls.push_back("Navigate2:" + url); }
  void GoBack() override { calls.push_back("GoBack"); }
  void GoForward() override { calls.push_back("GoForward"); }
  void Stop() override { calls.push_back("Stop"); }
  void Refresh2() override { calls.push_back("Refresh2"); }

  std::string LocationURL() const override { return location_url; }
  std::string LocationName() const override {
    return location_name.empty() ? location_url : location_name;
  }
  int ToolBar() const override { return toolbar; }
  bool HasFocus() const override { return has_focus; }
  void FocusPage() override { has_focus = true; }
  bool EditableHasFocus() const override { return has_focus && editable_focus; }
  void CopySelectionIfAny(std::function<void(bool)> done) override {
    calls.push_back("CopySelectionIfAny");
    if (!selection.empty()) {
      Gtk::Clipboard::get()->set_text(selection);
      done(true);
    } else {
      done(false);
    }
  }

  void CollectLinks(std::function<void(std::vector<PageLink>)> done) override {
    calls.push_back("CollectLinks");
    done(page_links);
  }

  void Prepare(const std::string& url) override { prepared = url; }
  void DropPrepared() override {
    prepared.clear();
    ++drops;
  }
  void ResolveHostsAhead(const std::vector<std::string>& urls) override { resolved = urls; }
  void ReadShownResource(std::function<void(std::optional<ShownResource>)> done) override {
    done(std::nullopt);
  }
  void RunReadingScript(const std::string&, std::function<void(std::string)> done) override {
    done("");
  }
  void HighlightBlocks(const std::vector<std::string>&, std::function<void(int)> done) override {
    if (done) done(0);
  }
  void Find(const std::string& text, FindStep step) override {
    calls.push_back("Find:" + text + ":" + std::to_string(static_cast<int>(step)));
  }
  void EndFind() override { calls.push_back("EndFind"); }
  void SetZoom(double level) override { zoom = level; }
  double Zoom() const override { return zoom; }
  void set_zoom_source(std::function<double(const std::string&)> level_of) override {
    zoom_source = std::move(level_of);
  }
  void Print() override { calls.push_back("Print"); }
  void PrintToFile(const std::string& path, std::function<void(bool)> done) override {
    calls.push_back("PrintToFile:" + path);
    done(false);
  }
  void SavePage(const std::string& path, bool single_file,
                std::function<void(bool)> done) override {
    calls.push_back("SavePage:" + path + (single_file ? ":mhtml" : ":html"));
    done(false);
  }

  // Test side.
  std::string prepared;               // the page made ready, "" for none
  int drops = 0;                      // DropPrepared calls
  std::vector<std::string> resolved;  // the last addresses whose hosts were looked up
  std::vector<std::string> calls;
  double zoom = 1.0;
  std::function<double(const std::string&)> zoom_source;
  std::vector<PageLink> page_links;  // what CollectLinks finds
  std::string location_url;
  std::string location_name;
  int toolbar = 1;
  bool has_focus = false;
  bool editable_focus = false;  // with has_focus: the focus is in a field of the page
  std::string selection;        // the page's selected text
  BrowserHost* host() const { return host_; }

  // Completes a navigation as the engine would: the location changes, then the events follow.
  void Complete(const std::string& url, const std::string& title) {
    location_url = url;
    location_name = title;
    navigate_complete2_.emit(url);
    title_change_.emit(title.empty() ? url : title);
  }
  void RaiseStatusText(const std::string& text) { status_text_change_.emit(text); }
  void RaiseProgress(long progress, long maximum) { progress_change_.emit(progress, maximum); }
  void RaiseTitle(const std::string& title) { title_change_.emit(title); }
  void RaiseNavigateComplete(const std::string& url) { navigate_complete2_.emit(url); }
  void RaiseDocumentComplete() { document_complete_.emit(); }
  void RaiseToolBar(bool show) { on_tool_bar_.emit(show); }
  void RaiseMenuBar(bool show) { on_menu_bar_.emit(show); }
  void RaiseStatusBar(bool show) { on_status_bar_.emit(show); }
  void RaiseReadyToShow() { ready_to_show_.emit(); }
  void RaiseResizeTo(int width, int height) { resize_to_.emit(width, height); }

  // The last navigation call ("Navigate:..." or "Navigate2:..."), or "" when none.
  std::string last_navigation() const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
      if (it->rfind("Navigate", 0) == 0) return *it;
    return "";
  }
  int navigation_count() const {
    int n = 0;
    for (const auto& c : calls)
      if (c.rfind("Navigate", 0) == 0) ++n;
    return n;
  }

 private:
  Gtk::DrawingArea area_;
  BrowserHost* host_ = nullptr;
};

}  // namespace tarvik::test
