#include "browse/script_guard.h"

namespace tarvik {

namespace {

constexpr char kScheme[] = "javascript:";

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsScriptAddress(const std::string& url) {
  // An address parser drops leading C0 controls and spaces, and tabs and line breaks wherever
  // they stand, before it looks at the scheme: "\n java\tscript:" is a script address too.
  size_t pos = 0;
  while (pos < url.size() && static_cast<unsigned char>(url[pos]) <= 0x20) ++pos;
  size_t matched = 0;
  for (; pos < url.size() && kScheme[matched] != '\0'; ++pos) {
    const char c = url[pos];
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (AsciiLower(c) != kScheme[matched]) return false;
    ++matched;
  }
  return kScheme[matched] == '\0';
}

bool ConfirmScriptAddress(Dialogs& dialogs, Gtk::Window* parent, const std::string& url) {
  if (!IsScriptAddress(url)) return true;
  return dialogs.MessageBox(parent, kScriptAddressQuestion, kConfirmCaption, MsgIcon::Question,
                            MsgButtons::YesNo, MsgDefault::Second) == MsgResult::Yes;
}

bool OpenStoredAddress(Dialogs& dialogs, BrowserControl& browser, Gtk::Window* parent,
                       const std::string& url) {
  if (!ConfirmScriptAddress(dialogs, parent, url)) return false;
  browser.Navigate(url);
  return true;
}

}  // namespace tarvik
