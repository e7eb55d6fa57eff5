#include "platform/text_file.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace tarvik {

namespace {

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


// g_utf8_validate treats a NUL byte as invalid. A NUL is a character like any other here, so the
// text is validated piece by piece between NULs.
bool IsValidUtf8(std::string_view s) {
  while (!s.empty()) {
    size_t nul = s.find('\0');
    std::string_view piece = s.substr(0, nul);
    if (!g_utf8_validate(piece.data(), static_cast<gssize>(piece.size()), nullptr)) return false;
    if (nul == std::string_view::npos) break;
    s.remove_prefix(nul + 1);
  }
  return true;
}

// Invalid sequences become U+FFFD; NUL characters stay.
std::string MakeValidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 16);
  while (!s.empty()) {
    const char* end = nullptr;
    if (g_utf8_validate(s.data(), static_cast<gssize>(s.size()), &end)) {
      out.append(s);
      break;
    }
    size_t valid = static_cast<size_t>(end - s.data());
    out.append(s.substr(0, valid));
    if (s[valid] == '\0')
      out.push_back('\0');
    else
      out.append(kReplacement);
    s.remove_prefix(valid + 1);
  }
  return out;
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

bool HasNonAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return true;
  return false;
}

std::string DecodeText(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bytes.remove_prefix(kUtf8Bom.size());
    return MakeValidUtf8(bytes);
  }
  if (!HasNonAscii(bytes)) return std::string(bytes);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return DecodeCp932(bytes);
}

namespace {

std::optional<std::string> ConvertToCp932(std::string_view utf8) {
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

// The code page 932 bytes of one character of the Basic Multilingual Plane, packed as
// (length << 16) | bytes, or kNoFit. A character fits when the converter maps it and maps the
// result back to it: the converter maps some characters one way only (U+301C WAVE DASH and
// U+2212 MINUS SIGN come back as their fullwidth forms, U+00A5 YEN SIGN as a back slash), and a
// write and a read would change them. Each character goes through the converter once per
// process; the answers are kept in a table, and racing threads store the same answer.
constexpr uint32_t kUnknown = 0;
constexpr uint32_t kNoFit = 1;

uint32_t Cp932Code(gunichar c) {
  static std::atomic<uint32_t> known[0x10000];
  uint32_t code = known[c].load(std::memory_order_relaxed);
  if (code == kUnknown) {
    char utf8[6];
    std::string_view one(utf8, static_cast<size_t>(g_unichar_to_utf8(c, utf8)));
    auto bytes = ConvertToCp932(one);
    code = kNoFit;
    if (bytes && (bytes->size() == 1 || bytes->size() == 2) && DecodeCp932(*bytes) == one) {
      code = static_cast<uint32_t>(bytes->size()) << 16;
      for (unsigned char byte : *bytes) code = (code & 0xFFFF0000u) | ((code & 0xFFu) << 8) | byte;
    }
    known[c].store(code, std::memory_order_relaxed);
  }
  return code;
}

}  // namespace

std::optional<std::string> EncodeCp932(std::string_view utf8) {
  if (!HasNonAscii(utf8)) return std::string(utf8);
  // Character by character through the table: code page 932 keeps no state between characters,
  // so this gives the converter's bytes for the whole text at a fraction of its cost.
  std::string out;
  out.resize(utf8.size());  // never longer than the UTF-8: 2 bytes → at most 2, 3 → at most 2
  char* dst = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    unsigned char b = *p;
    if (b < 0x80) {
      *dst++ = static_cast<char>(b);
      ++p;
      continue;
    }
    gunichar c;
    if (b >= 0xC2 && b < 0xE0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
      c = (static_cast<gunichar>(b & 0x1F) << 6) | (p[1] & 0x3F);
      p += 2;
    } else if (b >= 0xE0 && b < 0xF0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
               (p[2] & 0xC0) == 0x80) {
      c = (static_cast<gunichar>(b & 0x0F) << 12) | (static_cast<gunichar>(p[1] & 0x3F) << 6) |
          (p[2] & 0x3F);
      if (c < 0x800 || (c >= 0xD800 && c < 0xE000)) return std::nullopt;  // not UTF-8
      p += 3;
    } else {
      return std::nullopt;  // outside the BMP, where code page 932 has nothing, or not UTF-8
    }
    uint32_t code = Cp932Code(c);
    if (code == kNoFit) return std::nullopt;
    if ((code >> 16) == 2) *dst++ = static_cast<char>((code >> 8) & 0xFF);
    *dst++ = static_cast<char>(code & 0xFF);
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

std::string EncodeText(std::string_view utf8) {
  // Code page 932 bytes that happen to be valid UTF-8 (some runs of halfwidth katakana) would be
  // read back as UTF-8, so such a text is written in UTF-8 with its byte-order mark instead.
  if (auto cp932 = EncodeCp932(utf8); cp932 && !(HasNonAscii(*cp932) && IsValidUtf8(*cp932)))
    return *cp932;
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
  // Read straight into the string: a job file can be megabytes, and a copy costs as much as
  // the read.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::string bytes;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  char more[4096];
  for (;;) {
    // Fill the sized string first; a file that grows while it is read, or reports no size, is
    // read on to its real end through the small buffer.
    const bool into_string = done < bytes.size();
    char* dst = into_string ? bytes.data() + done : more;
    size_t room = into_string ? bytes.size() - done : sizeof more;
    ssize_t got = read(fd, dst, room);
    if (got < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    if (!into_string) {
      bytes.resize(done);
      bytes.append(more, static_cast<size_t>(got));
    }
    done += static_cast<size_t>(got);
  }
  close(fd);
  bytes.resize(done);
  return bytes;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  gchar* dir = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(dir, 0755);
  g_free(dir);
  // Renaming over a file needs only the folder to be writable, so the file's own permission is
  // checked here: a file the user made read-only stays as it is.
  int mode = 0666;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0) {
      if (error) *error = "read-only file";
      return false;
    }
    mode = static_cast<int>(st.st_mode & 07777);
  }
  GError* err = nullptr;
  // "<path>.XXXXXX" is written beside the target, synced when it replaces a file, and renamed
  // over it.
  gboolean ok = g_file_set_contents_full(
      path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()),
      static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT |
                                         G_FILE_SET_CONTENTS_ONLY_EXISTING),
      mode, &err);
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
