#include "platform/text_file.h"

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>

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

// `bytes` through `cv`, into a text first given `room` bytes. A sequence the converter refuses
// becomes U+FFFD when `replace`, and ends the conversion with nothing otherwise.
std::optional<std::string> Convert(Iconv& cv, std::string_view bytes, size_t room, bool replace) {
  std::string out(room, '\0');
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
      continue;
    }
    if (!replace) return std::nullopt;
    // An invalid or truncated sequence: one replacement character, then go on after it.
    if (out.size() - done < kReplacement.size()) out.resize(out.size() * 2);
    std::memcpy(out.data() + done, kReplacement.data(), kReplacement.size());
    done += kReplacement.size();
    ++in;
    --in_left;
    iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(done);
  return out;
}

}  // namespace

std::string DecodeCp932(std::string_view bytes) {
  if (!HasNonAscii(bytes)) return std::string(bytes);
  Iconv cv("UTF-8", "CP932");
  if (!cv.ok()) return std::string(bytes);
  return *Convert(cv, bytes, bytes.size() * 3 / 2 + 16, true);
}

bool HasNonAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return true;
  return false;
}

namespace {

// UTF-16 after its byte-order mark → UTF-8. A lone surrogate, and an odd byte at the end,
// become U+FFFD.
std::string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  auto unit = [&](size_t i) -> gunichar {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (a << 8 | b) : (b << 8 | a);
  };
  char utf8[6];
  for (size_t i = 0; i < bytes.size(); i += 2) {
    gunichar c = 0xFFFD;
    if (i + 1 < bytes.size()) {
      c = unit(i);
      if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
          unit(i + 2) < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
        i += 2;
      } else if (c >= 0xD800 && c < 0xE000) {
        c = 0xFFFD;
      }
    }
    out.append(utf8, static_cast<size_t>(g_unichar_to_utf8(c, utf8)));
  }
  return out;
}

}  // namespace

std::string DecodeText(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return DecodeUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(bytes.substr(2), true);
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
  return Convert(cv, utf8, utf8.size() + 16, false);
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

std::string TrimChars(std::string_view text, std::string_view chars) {
  const size_t begin = text.find_first_not_of(chars);
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(chars) - begin + 1));
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

std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit,
                                         ReadFailure* failure) {
  ReadFailure why = ReadFailure::None;
  std::optional<std::string> result;
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    why = errno == ENOENT || errno == ENOTDIR ? ReadFailure::Missing : ReadFailure::Unreadable;
  } else {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
      why = ReadFailure::Unreadable;
    } else if (!S_ISREG(st.st_mode)) {
      why = ReadFailure::NotRegularFile;
    } else if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > limit) {
      why = ReadFailure::TooLarge;
    } else {
      try {
        // Read straight into the string: a job file can be megabytes, and a copy costs as much
        // as the read. A file that grows while it is read is read on, up to one byte past the
        // limit, which tells it is too large.
        std::string bytes;
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        for (;;) {
          if (done == bytes.size()) {
            if (done > limit) break;
            bytes.resize(std::min(limit + 1, std::max<size_t>(done * 2, done + 4096)));
          }
          ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
          if (got < 0) {
            if (errno == EINTR) continue;
            why = ReadFailure::Unreadable;
            break;
          }
          if (got == 0) break;
          done += static_cast<size_t>(got);
        }
        if (why == ReadFailure::None && done > limit) why = ReadFailure::TooLarge;
        if (why == ReadFailure::None) {
          bytes.resize(done);
          result = std::move(bytes);
        }
      } catch (const std::exception&) {
        why = ReadFailure::Unreadable;
      }
    }
    close(fd);
  }
  if (failure) *failure = why;
  return result;
}

ReadFailure CheckReadableFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? ReadFailure::Missing : ReadFailure::Unreadable;
  struct stat st {};
  const int got = fstat(fd, &st);
  close(fd);
  if (got != 0) return ReadFailure::Unreadable;
  return S_ISREG(st.st_mode) ? ReadFailure::None : ReadFailure::NotRegularFile;
}

std::string FileTooLargeMessage(const std::string& path) {
  return "ファイルが大きすぎます。\r\n" + path;
}

std::string ReadFailureMessage(const std::string& path, ReadFailure failure) {
  switch (failure) {
    case ReadFailure::None: return {};
    case ReadFailure::TooLarge: return FileTooLargeMessage(path);
    case ReadFailure::Missing: return "ファイルが見つかりません。\r\n" + path;
    case ReadFailure::NotRegularFile: return "通常のファイルではありません。\r\n" + path;
    case ReadFailure::Unreadable: break;
  }
  return "ファイルを読み込めませんでした。\r\n" + path;
}

namespace {

constexpr std::string_view kTempMarker = ".tarvik-tmp-";

// The part of a temporary file's name that names its target: the whole name when it fits, else
// its start, so that "." + part + ".tarvik-tmp-" + pid (up to 10 digits) + "-XXXXXX" stays
// within the 255 bytes a file name may have.
std::string_view TemporaryNamePart(std::string_view target_name) {
  constexpr size_t kRoom = 255 - (1 + kTempMarker.size() + 10 + 1 + 6);
  if (target_name.size() <= kRoom) return target_name;
  size_t cut = kRoom;
  // Not in the middle of a UTF-8 character.
  while (cut > 0 && (static_cast<unsigned char>(target_name[cut]) & 0xC0) == 0x80) --cut;
  return target_name.substr(0, cut);
}

std::string DirName(const std::string& path) {
  gchar* dir = g_path_get_dirname(path.c_str());
  std::string out(dir);
  g_free(dir);
  return out;
}

std::string BaseName(const std::string& path) {
  gchar* base = g_path_get_basename(path.c_str());
  std::string out(base);
  g_free(base);
  return out;
}

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

}  // namespace

std::optional<long> TemporaryFileOwner(std::string_view name, std::string_view target_name) {
  // "." + target (cut when long) + ".tarvik-tmp-" + pid + "-" + six characters
  target_name = TemporaryNamePart(target_name);
  if (name.size() < 1 + target_name.size() + kTempMarker.size() + 2 + 6) return std::nullopt;
  if (name[0] != '.' || name.substr(1, target_name.size()) != target_name) return std::nullopt;
  name.remove_prefix(1 + target_name.size());
  if (name.substr(0, kTempMarker.size()) != kTempMarker) return std::nullopt;
  name.remove_prefix(kTempMarker.size());
  long pid = 0;
  size_t digits = 0;
  while (digits < name.size() && g_ascii_isdigit(name[digits]) && digits < 10)
    pid = pid * 10 + (name[digits++] - '0');
  if (digits == 0 || digits >= name.size() || name[digits] != '-') return std::nullopt;
  if (name.size() - digits - 1 != 6) return std::nullopt;
  return pid;
}

std::string ResolveWriteTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0) break;
    target.resize(static_cast<size_t>(n));
    current = g_path_is_absolute(target.c_str()) ? target : DirName(current) + "/" + target;
  }
  return current;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  auto fail = [&](const std::string& what) {
    if (error) *error = what;
    return false;
  };
  const std::string target = ResolveWriteTarget(path);
  const std::string dir = DirName(target);
  const std::string name = BaseName(target);
  g_mkdir_with_parents(dir.c_str(), 0755);
  // Renaming over a file needs only the folder to be writable, so the file's own permission is
  // checked here: a file the user made read-only stays as it is.
  int mode = 0666;
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    return fail(path + ": " + g_strerror(ELOOP));  // a loop of links, or one too long
  st = {};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return fail(target + ": not a regular file");
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0)
      return fail("read-only file");
    mode = static_cast<int>(st.st_mode & 07777);
  }

  std::string temp = dir + "/." + std::string(TemporaryNamePart(name)) + std::string(kTempMarker) +
                     std::to_string(static_cast<long>(::getpid())) + "-XXXXXX";
  // The mode goes through the umask, as any new file's does.
  int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, mode);
  // The temporary file is Tarvik's own business: a message names the file the user asked for.
  if (fd < 0) return fail(target + ": " + g_strerror(errno));
  bool ok = WriteAll(fd, bytes);
  int err = errno;
  // A replaced file keeps its permission bits even when the umask would take some away.
  if (ok && st.st_mode != 0) ::fchmod(fd, static_cast<mode_t>(mode));
  // Flushed before the rename: a power cut must not leave an empty file under the old name.
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    err = errno;
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return fail(target + ": " + g_strerror(err));
  }
  return true;
}

std::optional<std::string> WriteTemporaryFileFor(const std::string& path, std::string_view bytes,
                                                 std::string* error) {
  const std::string dir = DirName(path);
  g_mkdir_with_parents(dir.c_str(), 0755);
  std::string temp = dir + "/." + std::string(TemporaryNamePart(BaseName(path))) +
                     std::string(kTempMarker) + std::to_string(static_cast<long>(::getpid())) +
                     "-XXXXXX";
  int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error) *error = temp + ": " + g_strerror(errno);
    return std::nullopt;
  }
  bool ok = WriteAll(fd, bytes);
  int err = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    if (error) *error = path + ": " + g_strerror(err);
    return std::nullopt;
  }
  return temp;
}

bool SyncFileSystemOf(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::syncfs(fd) == 0;
  ::close(fd);
  return ok;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot refuse by itself: a hard link refuses an existing name.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

void RemoveStaleTemporaryFilesIn(const std::string& dir) {
  GDir* listing = g_dir_open(dir.c_str(), 0, nullptr);
  if (!listing) return;
  while (const char* name = g_dir_read_name(listing)) {
    const std::string_view n(name);
    const size_t marker = n.rfind(kTempMarker);
    if (n.empty() || n[0] != '.' || marker == std::string_view::npos || marker < 1) continue;
    std::optional<long> owner = TemporaryFileOwner(n, n.substr(1, marker - 1));
    if (!owner || ProcessAlive(*owner)) continue;
    const std::string path = dir + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (S_ISREG(st.st_mode)) {
      ::unlink(path.c_str());
    } else if (S_ISDIR(st.st_mode)) {
      // A temporary folder of files (an export's), with what was written into it.
      RemoveStaleTemporaryFilesIn(path);
      if (GDir* inner = g_dir_open(path.c_str(), 0, nullptr)) {
        while (const char* file = g_dir_read_name(inner)) {
          const std::string inside = path + "/" + file;
          if (::lstat(inside.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(inside.c_str());
        }
        g_dir_close(inner);
      }
      ::rmdir(path.c_str());
    }
  }
  g_dir_close(listing);
}

FileLock::FileLock(const std::string& path) {
  g_mkdir_with_parents(DirName(path).c_str(), 0700);
  fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ >= 0) {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

bool FileExists(const std::string& path) {
  return g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR);
}

bool DirectoryExists(const std::string& path) {
  return g_file_test(path.c_str(), G_FILE_TEST_IS_DIR);
}

}  // namespace tarvik
