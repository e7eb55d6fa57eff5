// The web browser control a main window embeds: the methods, properties and events that the
// window relies on, in Tarvik's own terms. The WebKitGTK adapter (webkit_browser.h) is the
// real one; tests use FakeBrowser (tests/support/fake_browser.h).
#pragma once

#include <sigc++/sigc++.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/page_link.h"

namespace Gtk {
class Widget;
}

namespace tarvik {

class BrowserControl;

// The page's own menu (the one a right click on the page opens). The engine offers its rows for
// what was clicked; the window that hosts the browser decides what the menu shows
// (BrowserHost::PlanPageMenu): the engine's rows with Tarvik's captions, and rows of its own.
enum class PageAction {
  OpenLink,
  OpenLinkInNewWindow,
  DownloadLink,
  CopyLinkAddress,
  OpenImageInNewWindow,
  DownloadImage,
  CopyImageAddress,
  CopyImage,
  Back,
  Forward,
  Stop,
  Reload,
  Copy,
  Cut,
  Paste,
  Delete,
  SelectAll,
  SpellingGuess,
  NoGuessesFound,
  IgnoreSpelling,
  LearnSpelling,
  OpenMediaInNewWindow,
  DownloadMedia,
  CopyMediaAddress,
  Play,
  Pause,
  Mute,
  MediaControls,
  MediaLoop,
  MediaFullScreen,
  Other,  // input methods, the inspector and whatever the engine adds later
};

struct PageMenuContext {
  std::vector<PageAction> engine_rows;     // in the engine's order, separators left out
  std::vector<std::string> engine_labels;  // the engine's caption of each (a spelling guess's word)
  std::string link_url;                    // the link clicked, "" for none
  std::string link_text;                   // its text, "" for none
  bool selection = false;                  // the click was on selected text
  bool selection_has_links = false;        // ... and the selection holds links
  bool editable = false;                   // in a field the user types into
};

struct PageMenuRow {
  enum class Kind { Engine, Command, Submenu, Separator };
  Kind kind = Kind::Separator;
  int engine_row = -1;             // Engine: the row of PageMenuContext::engine_rows it shows
  std::string caption;             // with "&" before an access key
  std::function<void()> run;       // Command
  std::vector<PageMenuRow> items;  // Submenu
};

// What a page asks leave for.
enum class PagePermission { Notifications, Location };

// A page's question, answered once: `answer(true)` allows, `answer(false)` refuses. A question
// dropped unanswered is refused.
struct PermissionQuestion {
  PagePermission kind = PagePermission::Notifications;
  std::string page_url;  // the page that asks
  std::function<void(bool)> answer;
};

class DownloadSource;

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
  // The page's menu opens on `context`: the rows to show, or nothing for the engine's own menu.
  virtual std::optional<std::vector<PageMenuRow>> PlanPageMenu(const PageMenuContext& context) {
    (void)context;
    return std::nullopt;
  }
};

// The main resource of the page shown as its server sent it: the bytes of its body and the
// headers a round keeps of it.
struct ShownResource {
  std::string url;  // the address it came from, after redirects
  int status = 0;   // the HTTP status; 0 for a page that did not come over HTTP
  std::string body;
  std::string content_type;  // the Content-Type header, with its charset when it names one
  std::string etag;
  std::string last_modified;
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
  // loading `uri`, a web address as the engine loads it (the step's plan has fixed it up once:
  // browse/step_ahead.h), hidden from the user: the page sees itself hidden, makes no sound, and
  // is given up the moment it wants the user (a dialog, a window, a download, a password, a
  // permission). A later Navigate to an address that fixes up to `uri`, once the page has
  // started to show, puts it in place of the page shown, with the events of a load and without
  // asking the server again; a Navigate elsewhere, or any other load, gives it up. One page at a
  // time: a new Prepare replaces the one before. `DropPrepared` gives it up at once.
  virtual void Prepare(const std::string& uri) = 0;
  virtual void DropPrepared() = 0;
  // Asks the network layer to look up the host names of these addresses ahead of time.
  virtual void ResolveHostsAhead(const std::vector<std::string>& urls) = 0;

  // What the user sees of the page shown, for a round through a job. Each reads where the page's
  // own scripts can neither see nor change the reading; `done` runs possibly after this returns,
  // and never after the control is gone.
  // The main resource as the server sent it; nothing while the page has none (a page still
  // loading, an error page).
  virtual void ReadShownResource(std::function<void(std::optional<ShownResource>)> done) = 0;
  // Runs a reading script of Tarvik's own (an expression giving a string: the text of a page
  // as it is rendered now, for pages whose text comes from their scripts); `done` gets the
  // string, "" when the script failed.
  virtual void RunReadingScript(const std::string& script,
                                std::function<void(std::string)> done) = 0;
  // Puts a quiet background behind the blocks of the page shown whose text is one of `blocks`,
  // in place of any it had before; an empty list takes it away. `done` learns how many places
  // of the page were marked.
  virtual void HighlightBlocks(const std::vector<std::string>& blocks,
                               std::function<void(int)> done) = 0;
  // The downloads of the engine behind this browser (the whole process's), or nullptr.
  virtual DownloadSource* downloads() { return nullptr; }
  // Spell checking in the fields of every page, for these languages ("en_US").
  virtual void SetSpellChecking(bool on, const std::vector<std::string>& languages) {
    (void)on;
    (void)languages;
  }
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
  // A page asks to show notifications or to know where the user is.
  using PermissionSignal = sigc::signal<void(const PermissionQuestion&)>;
  PermissionSignal& signal_permission_request() { return permission_request_; }
  // A page tried to open a window at this address without the user's click, and was refused.
  TextSignal& signal_popup_blocked() { return popup_blocked_; }
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
  PermissionSignal permission_request_;
  TextSignal popup_blocked_;
  CountSignal find_count_;
  StepSignal zoom_wheel_;
  FlagSignal history_button_;
};

// Makes the browser of a main window. `related` is the browser whose page asked for the new
// window, or nullptr for a window of its own.
using BrowserFactory = std::function<std::unique_ptr<BrowserControl>(BrowserControl* related)>;

}  // namespace tarvik
