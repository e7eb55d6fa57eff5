// Feeds arbitrary bytes to the Internet Shortcut reader, and to the writer as a URL: any file
// reads without harm, and a shortcut written for a URL reads back as that URL.
#include <glib.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "favorites/shortcut_file.h"
#include "fuzz_support.h"
#include "jobs/job_files.h"
#include "platform/text_file.h"

namespace {

using tarvik::fuzz::Check;

// The URL the reader gives back for `url` written by WriteShortcut: line breaks are written as
// %0D / %0A so that they cannot start a line of their own.
std::string AsWritten(const std::string& url) {
  std::string out;
  for (char c : url) {
    if (c == '\r')
      out += "%0D";
    else if (c == '\n')
      out += "%0A";
    else
      out += c;
  }
  return out;
}

void CheckWriteThenRead(const std::string& url) {
  const std::string path = tarvik::fuzz::Home() + "/out.url";
  std::string error;
  Check(tarvik::WriteShortcut(path, url, &error), "shortcut writes");
  const auto read = tarvik::TryReadShortcutURL(path);
  Check(read.has_value(), "written shortcut reads");
  Check(*read == AsWritten(url), "shortcut reads back its URL");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string& home = tarvik::fuzz::Home();

  // The input as a shortcut file.
  const std::string in = home + "/in.url";
  tarvik::fuzz::PutFile(in, bytes);
  const auto url = tarvik::TryReadShortcutURL(in);
  Check(url.has_value(), "a regular file reads");
  Check(*url == tarvik::ShortcutURLFromText(tarvik::DecodeText(bytes)),
        "file reader matches text reader");
  Check(url->find_first_of("\r\n") == std::string::npos, "a URL is one line");
  if (!url->empty()) CheckWriteThenRead(*url);

  // The input as a URL that a page or a job gave (text, so valid UTF-8).
  CheckWriteThenRead(tarvik::fuzz::ValidUtf8(bytes));

  // The input as a page title offered as a favorite's file name.
  const std::string title = tarvik::fuzz::ValidUtf8(bytes.substr(0, 300));
  if (const auto name = tarvik::ProposedFavoriteFileName(title)) {
    Check(name->size() <= 255, "proposed name fits a file name");
    Check(name->size() > 4 && name->compare(name->size() - 4, 4, ".url") == 0,
          "proposed name ends in .url");
    Check(name->find('/') == std::string::npos && name->find('\0') == std::string::npos,
          "proposed name is one file name");
    Check(tarvik::IsValidJobName(*name), "proposed name holds no forbidden character");
  }
  return 0;
}
