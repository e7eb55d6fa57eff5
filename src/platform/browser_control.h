// The web browser control a main window embeds: the methods, properties and events that the
// window relies on, in Tarvik's own terms. The WebKitGTK adapter (webkit_browser.h) is the
// real one; tests use FakeBrowser (tests/support/fake_browser.h).
#pragma once

#include <sigc++/sigc++.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Gtk {
class Widget;
}

namespace tarvik {

class BrowserControl;

// What a browser asks of the window that hosts it. The adapter calls these; it never reaches
// the main window itself.
class BrowserHost {
 public:
  virtual ~BrowserHost() = default;
  // A page asks for a new window. Returns the browser of the new window, which then loads the
  // requested page, or nullptr to refuse.
  virtual BrowserControl* NewWindow2() = 0;
  // A page asks to close its window. The control never closes the window by itself.
  virtual void WindowClosing() = 0;
};

// A link of the page shown: its address resolved against the page, and its text (the visible
// text with white space collapsed, else its title attribute, else the alt text of a picture in
// it; empty when it has none of them).
struct PageLink {
  std::string url;
  std::string text;
  bool operator==(const PageLink&) const = default;
};

class BrowserControl {
 public:
  virtual ~BrowserControl() = default;

  // The widget that shows the page.
  virtual Gtk::Widget& widget() = 0;
  virtual void set_host(BrowserHost* host) = 0;

  // Methods.
  virtual void Navigate(const std::string& url) = 0;
  virtual void Navigate2(const std::string& url) = 0;
  virtual void GoBack() = 0;     // does nothing at the start of the history
  virtual void GoForward() = 0;  // does nothing at the end of the history
  virtual void Stop() = 0;
  virtual void Refresh2() = 0;

  // Properties.
  virtual std::string LocationURL() const = 0;
  // The page title, or its address when it has none.
  virtual std::string LocationName() const = 0;
  // 1 unless the page that opened this browser asked for no toolbar.
  virtual int ToolBar() const = 0;
  // Whether the page view has the keyboard focus in its window.
  virtual bool HasFocus() const = 0;
  // Gives the keyboard focus to the page.
  virtual void FocusPage() = 0;
  // Whether it has the focus in a field of the page that the user types into: a text box, a
  // text area or an editable element.
  virtual bool EditableHasFocus() const = 0;
  // Copies the text selected in the page to the clipboard, when there is any. `done` learns,
  // possibly after this returns, whether something was copied.
  virtual void CopySelectionIfAny(std::function<void(bool)> done) = 0;
  // The links of the page shown, in document order, from its main frame and the frames of the
  // same origin inside it; only those inside the selection when text is selected. Links to a
  // place in the same page are left out. Read where the page's own scripts can neither see nor
  // change the reading. `done` gets them, possibly after this returns; none when the page
  // cannot be read.
  virtual void CollectLinks(std::function<void(std::vector<PageLink>)> done) = 0;

  // The page the user will most likely ask for next, made ready out of sight. `Prepare` starts
  // loading `url` (an http or https address) hidden from the user: the page sees itself hidden,
  // makes no sound, and is given up the moment it wants the user (a dialog, a window, a
  // download, a password, a permission). A later Navigate to the same address, once the page has
  // started to show, puts it in place of the page shown, with the events of a load and without
  // asking the server again; a Navigate elsewhere, or any other load, gives it up. One page at a
  // time: a new Prepare replaces the one before. `DropPrepared` gives it up at once.
  virtual void Prepare(const std::string& url) = 0;
  virtual void DropPrepared() = 0;
  // Asks the network layer to look up the host names of these addresses ahead of time.
  virtual void ResolveHostsAhead(const std::vector<std::string>& urls) = 0;

  // Finding text in the page shown, letter case ignored: every match is highlighted and the
  // page scrolls to the current one. `First` looks for `text` anew, `Next` and `Previous` step
  // from the current match, going round at the ends. The engine answers through
  // signal_find_count. `EndFind` takes the highlights away.
  enum class FindStep { First, Next, Previous };
  virtual void Find(const std::string& text, FindStep step) = 0;
  virtual void EndFind() = 0;

  // How large pages are shown, 1.0 for their own size. `SetZoom` changes the page shown now;
  // `set_zoom_source` gives the level of each page as it comes to be shown, and of the page
  // made ready out of sight (from its address, also again on each SetZoom).
  virtual void SetZoom(double level) = 0;
  virtual double Zoom() const = 0;
  virtual void set_zoom_source(std::function<double(const std::string& url)> level_of) = 0;

  // Prints the page shown through the desktop's print dialog, whose preview and printers
  // (a PDF file among them) the user picks from.
  virtual void Print() = 0;
  // Prints the page shown into a PDF file, with no dialog. `done` learns whether it was
  // written, once the engine has finished.
  virtual void PrintToFile(const std::string& pdf_path, std::function<void(bool)> done) = 0;
  // Saves the page shown at `path`: as one file with what it shows (MHTML), or its HTML as
  // the server sent it. `done` learns whether it was written.
  virtual void SavePage(const std::string& path, bool single_file,
                        std::function<void(bool)> done) = 0;

  // Events.
  using TextSignal = sigc::signal<void(const std::string&)>;
  using ProgressSignal = sigc::signal<void(long, long)>;  // progress, maximum
  using FlagSignal = sigc::signal<void(bool)>;
  using VoidSignal = sigc::signal<void()>;

  TextSignal& signal_status_text_change() { return status_text_change_; }
  ProgressSignal& signal_progress_change() { return progress_change_; }
  // The page's title, or its address when it has none: raised for every page shown (also one
  // without a title) and again whenever the title changes.
  TextSignal& signal_title_change() { return title_change_; }
  // The page at this address is the one shown: raised as soon as it starts to show, before
  // the rest of it (and often its title) has come.
  TextSignal& signal_navigate_complete2() { return navigate_complete2_; }
  // The page shown has finished loading (or failed to).
  VoidSignal& signal_document_complete() { return document_complete_; }
  FlagSignal& signal_on_tool_bar() { return on_tool_bar_; }
  FlagSignal& signal_on_menu_bar() { return on_menu_bar_; }
  FlagSignal& signal_on_status_bar() { return on_status_bar_; }
  // A browser made for a page's new-window request is ready to be shown.
  VoidSignal& signal_ready_to_show() { return ready_to_show_; }
  // The page asks for a browser area of this size, in pixels.
  using SizeSignal = sigc::signal<void(int, int)>;
  SizeSignal& signal_resize_to() { return resize_to_; }
  // How many matches a Find found; 0 for none.
  using CountSignal = sigc::signal<void(unsigned)>;
  CountSignal& signal_find_count() { return find_count_; }
  // Ctrl and the wheel over the page: +1 asks for larger, -1 for smaller.
  using StepSignal = sigc::signal<void(int)>;
  StepSignal& signal_zoom_wheel() { return zoom_wheel_; }
  // The mouse's back (true) or forward (false) button over the page.
  FlagSignal& signal_history_button() { return history_button_; }

 protected:
  TextSignal status_text_change_;
  ProgressSignal progress_change_;
  TextSignal title_change_;
  TextSignal navigate_complete2_;
  VoidSignal document_complete_;
  FlagSignal on_tool_bar_;
  FlagSignal on_menu_bar_;
  FlagSignal on_status_bar_;
  VoidSignal ready_to_show_;
  SizeSignal resize_to_;
  CountSignal find_count_;
  StepSignal zoom_wheel_;
  FlagSignal history_button_;
};

// Makes the browser of a main window. `related` is the browser whose page asked for the new
// window, or nullptr for a window of its own.
using BrowserFactory = std::function<std::unique_ptr<BrowserControl>(BrowserControl* related)>;

}  // namespace tarvik
