#include "platform/text_file.h"

#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <glib.h>

#include <cerrno>
#include <cstring>

namespace tarvik {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

bool HasNonAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return true;
  return false;
}

}  // namespace

std::string DecodeCp932(std::string_view bytes) {
  if (!HasNonAscii(bytes)) return std::string(bytes);
  Iconv cv("UTF-8", "CP932");
  if (!cv.ok()) return std::string(bytes);
  std::string out;
  out.resize(bytes.size() * 3 / 2 + 16);
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  size_t done = 0;
  while (in_left > 0) {
    char* dst = out.data() + done;
    size_t out_left = out.size() - done;
    size_t r = iconv(cv.get(), &in, &in_left, &dst, &out_left);
    done = out.size() - out_left;
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else {
      // An invalid or truncated sequence: one replacement character, then go on after it.
      if (out.size() - done < kReplacement.size()) out.resize(out.size() * 2);
      std::memcpy(out.data() + done, kReplacement.data(), kReplacement.size());
      done += kReplacement.size();
      ++in;
      --in_left;
      iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  out.resize(done);
  return out;
}

std::string DecodeText(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bytes.remove_prefix(kUtf8Bom.size());
    if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr))
      return std::string(bytes);
    gchar* fixed = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
    std::string text(fixed);
    g_free(fixed);
    return text;
  }
  if (!HasNonAscii(bytes)) return std::string(bytes);
  if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr))
    return std::string(bytes);
  return DecodeCp932(bytes);
}

std::optional<std::string> EncodeCp932(std::string_view utf8) {
  if (!HasNonAscii(utf8)) return std::string(utf8);
  Iconv cv("CP932", "UTF-8");
  if (!cv.ok()) return std::nullopt;
  std::string out;
  out.resize(utf8.size() + 16);
  char* in = const_cast<char*>(utf8.data());
  size_t in_left = utf8.size();
  size_t done = 0;
  while (in_left > 0) {
    char* dst = out.data() + done;
    size_t out_left = out.size() - done;
    size_t r = iconv(cv.get(), &in, &in_left, &dst, &out_left);
    done = out.size() - out_left;
    if (r != static_cast<size_t>(-1)) break;
    if (errno != E2BIG) return std::nullopt;
    out.resize(out.size() * 2);
  }
  out.resize(done);
  return out;
}

std::string EncodeText(std::string_view utf8) {
  if (auto cp932 = EncodeCp932(utf8)) return *cp932;
  std::string out(kUtf8Bom);
  out.append(utf8);
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  gchar* data = nullptr;
  gsize length = 0;
  if (!g_file_get_contents(path.c_str(), &data, &length, nullptr)) return std::nullopt;
  std::string bytes(data, length);
  g_free(data);
  return bytes;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  gchar* dir = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(dir, 0755);
  g_free(dir);
  GError* err = nullptr;
  // g_file_set_contents writes "<path>.XXXXXX" beside the target, fsyncs it and renames it over.
  gboolean ok = g_file_set_contents(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), &err);
  if (!ok) {
    if (error) *error = err ? err->message : "write failed";
    if (err) g_error_free(err);
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  return g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR);
}

bool DirectoryExists(const std::string& path) {
  return g_file_test(path.c_str(), G_FILE_TEST_IS_DIR);
}

}  // namespace tarvik
