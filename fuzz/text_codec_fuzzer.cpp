// Feeds arbitrary bytes to the text codec: whatever a file holds decodes to valid UTF-8, and what
// the writer makes of any text reads back as that same text, through real files too.
#include <glib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/text_file.h"

namespace {

using tarvik::fuzz::Check;

// Valid UTF-8 that may hold NUL characters, which the codec keeps like any other character.
bool IsText(std::string_view s) {
  while (!s.empty()) {
    const size_t nul = s.find('\0');
    const std::string_view piece = s.substr(0, nul);
    if (!g_utf8_validate_len(piece.data(), piece.size(), nullptr)) return false;
    if (nul == std::string_view::npos) break;
    s.remove_prefix(nul + 1);
  }
  return true;
}

void CheckWrittenText(const std::string& text) {
  const std::string bytes = tarvik::EncodeText(text);
  Check(tarvik::DecodeText(bytes) == text, "encoded text decodes to the same text");
  // The writer chooses code page 932 exactly when every character fits.
  const auto cp932 = tarvik::EncodeCp932(text);
  if (cp932) {
    Check(tarvik::DecodeCp932(*cp932) == text, "code page 932 form decodes to the same text");
    Check(bytes == *cp932 || bytes == std::string(tarvik::kUtf8Bom) + text,
          "writer uses code page 932 or UTF-8 with its mark");
  } else {
    Check(bytes == std::string(tarvik::kUtf8Bom) + text, "text past code page 932 is UTF-8");
  }
  // Line splitting: what one writes as lines comes back as the same lines.
  const std::vector<std::string> lines = tarvik::SplitLines(text);
  std::string joined;
  for (const std::string& line : lines) {
    Check(line.find_first_of("\r\n") == std::string::npos, "a line holds no line break");
    joined += line + "\r\n";
  }
  Check(tarvik::SplitLines(joined) == lines, "lines read back as written");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Any bytes decode, to valid text, and the decoding is stable.
  const std::string text = tarvik::DecodeText(bytes);
  Check(IsText(text), "decoded bytes are valid UTF-8");
  // Only a byte-order mark goes without a trace.
  const bool marked = bytes.substr(0, tarvik::kUtf8Bom.size()) == tarvik::kUtf8Bom ||
                      bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
  Check(tarvik::HasNonAscii(text) || !tarvik::HasNonAscii(bytes) || marked,
        "non-ASCII bytes never decode to plain ASCII");
  CheckWrittenText(text);

  // The input itself as a text, when it is one (a text with code page 932 bytes that are also
  // UTF-8 is the interesting case for the writer).
  if (IsText(bytes)) CheckWrittenText(std::string(bytes));

  // Through a real file: the atomic writer and the reader agree on every byte.
  const std::string path = tarvik::fuzz::Home() + "/codec.txt";
  const std::string written = tarvik::EncodeText(text);
  std::string error;
  Check(tarvik::WriteFileAtomically(path, written, &error), "file writes");
  const auto read = tarvik::ReadFileBytes(path);
  Check(read.has_value() && *read == written, "file reads back byte for byte");
  Check(tarvik::DecodeText(*read) == text, "file reads back as the same text");
  return 0;
}
