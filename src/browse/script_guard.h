// Script addresses ("javascript:...") run in whatever page is shown. Typed into the address box
// that is what the user asked for; coming from a file (a job entry, a shortcut, a pocket, the
// history, an import) it is not, so Tarvik asks first.
#pragma once

#include <string>

#include "platform/browser_control.h"
#include "platform/dialogs.h"

namespace tarvik {

inline constexpr char kScriptAddressQuestion[] =
    "このURLはスクリプトです。表示中のページで実行しますか？";

// True when the engine would take `url` as a script address: the scheme "javascript:" in any
// letter case, after the leading spaces and control characters that the engine strips, and with
// the tabs and line breaks that it removes anywhere in an address left out.
bool IsScriptAddress(const std::string& url);

// Whether to go on to `url`, which did not come from the keyboard: always for an ordinary
// address; for a script address, only when the user answers Yes to the question (caption "確認",
// question icon, Yes and No, No the default).
bool ConfirmScriptAddress(Dialogs& dialogs, Gtk::Window* parent, const std::string& url);

// Opens a stored address (a job entry, a pocket, a history slot, a shortcut) in `browser`, after
// the question above for a script address. False when the user declined.
bool OpenStoredAddress(Dialogs& dialogs, BrowserControl& browser, Gtk::Window* parent,
                       const std::string& url);

}  // namespace tarvik
