#include "favorites/shortcut_file.h"

#include <glib.h>

#include <string_view>

#include "platform/file_names.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

constexpr std::string_view kHeader = "[InternetShortcut]";
constexpr std::string_view kUrlKey = "URL=";
// The longest file name most Linux file systems take, in bytes.
constexpr size_t kMaxFileNameBytes = 255;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (g_ascii_tolower(a[i]) != g_ascii_tolower(b[i])) return false;
  return true;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  if (word.size() > text.size()) return false;
  for (size_t i = 0; i + word.size() <= text.size(); ++i)
    if (EqualsIgnoringCase(text.substr(i, word.size()), word)) return true;
  return false;
}
}  // namespace

std::string ShortcutURLFromText(const std::string& text) {
  bool header = false;
  for (const std::string& line : SplitLines(text)) {
    if (!header) {
      // The header line itself is never searched for "URL=".
      header = EqualsIgnoringCase(line, kHeader);
      continue;
    }
    if (ContainsIgnoringCase(line, kUrlKey)) return line.substr(line.find('=') + 1);
  }
  return {};
}

std::optional<std::string> TryReadShortcutURL(const std::string& path, ReadFailure* failure) {
  auto bytes = ReadFileBytes(path, kShortcutReadLimit, failure);
  if (!bytes) return std::nullopt;
  return ShortcutURLFromText(DecodeText(*bytes));
}

std::string ReadShortcutURL(const std::string& path) {
  return TryReadShortcutURL(path).value_or(std::string());
}

bool WriteShortcut(const std::string& path, const std::string& url, std::string* error) {
  std::string one_line;
  one_line.reserve(url.size());
  for (char c : url) {
    if (c == '\r')
      one_line += "%0D";
    else if (c == '\n')
      one_line += "%0A";
    else
      one_line += c;
  }
  std::string text = std::string(kHeader) + "\r\n" + std::string(kUrlKey) + one_line + "\r\n";
  return WriteFileAtomically(path, EncodeText(text), error);
}

std::optional<std::string> ProposedFavoriteFileName(const std::string& title) {
  // A title is offered as a file name under the same rule as a job name.
  if (!IsValidJobName(title) || title.empty() || title == "." || title == "..") return std::nullopt;
  for (unsigned char c : title)
    if (c < 0x20 || c == 0x7F) return std::nullopt;
  // The extension is part of the proposal, so that a title holding a dot ("example.com") still
  // becomes a ".url" file and the overwrite question names the file really written.
  std::string name = title + ".url";
  if (name.size() > kMaxFileNameBytes) return std::nullopt;
  return name;
}

}  // namespace tarvik
