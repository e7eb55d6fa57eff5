#include "platform/settings_store.h"

#include "platform/key_file.h"
#include "platform/text_file.h"

#include <glib.h>
#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tarvik {

namespace {

// The spelling under which `name` is stored in the group list, or nothing.
std::optional<std::string> StoredGroup(GKeyFile* kf, const std::string& name) {
  gsize n = 0;
  gchar** groups = g_key_file_get_groups(kf, &n);
  std::optional<std::string> found;
  for (gsize i = 0; i < n && !found; ++i)
    if (SameKeyName(groups[i], name)) found = groups[i];
  g_strfreev(groups);
  return found;
}

std::optional<std::string> StoredKey(GKeyFile* kf, const std::string& group,
                                     const std::string& name) {
  gsize n = 0;
  gchar** keys = g_key_file_get_keys(kf, group.c_str(), &n, nullptr);
  std::optional<std::string> found;
  for (gsize i = 0; keys && i < n && !found; ++i)
    if (SameKeyName(keys[i], name)) found = keys[i];
  g_strfreev(keys);
  return found;
}

// Values are stored raw, in an escaped form of our own that reads back byte for byte. GLib's own
// escaping leaves a leading form feed, a trailing space or carriage return and bytes that are
// not UTF-8 to be lost on the next read. Written: "\\" for a back slash, "\s" for a space at
// either end, "\n", "\t", "\r", and "\xHH" for every other control character and every byte
// that is not part of valid UTF-8. Read: the same, plus GLib's escapes, so files written before
// read as they did.
std::string EscapeValue(const std::string& value) {
  std::string out;
  out.reserve(value.size() + 8);
  const char* p = value.data();
  const char* end = p + value.size();
  while (p < end) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x80) {
      // One character at a time: a valid one is kept as it is.
      gunichar u = g_utf8_get_char_validated(p, end - p);
      if (u != static_cast<gunichar>(-1) && u != static_cast<gunichar>(-2)) {
        const char* next = g_utf8_next_char(p);
        out.append(p, next);
        p = next;
        continue;
      }
    }
    const bool at_edge = p == value.data() || p + 1 == end;
    if (c == '\\') {
      out += "\\\\";
    } else if (c == ' ') {
      out += at_edge ? "\\s" : " ";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F || c >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out.push_back(static_cast<char>(c));
    }
    ++p;
  }
  return out;
}

std::string UnescapeValue(const std::string& raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c != '\\' || i + 1 >= raw.size()) {
      out.push_back(c);
      continue;
    }
    char e = raw[++i];
    switch (e) {
      case 's': out.push_back(' '); break;
      case 'n': out.push_back('\n'); break;
      case 't': out.push_back('\t'); break;
      case 'r': out.push_back('\r'); break;
      case '\\': out.push_back('\\'); break;
      case 'x':
        if (i + 2 < raw.size() && g_ascii_isxdigit(raw[i + 1]) && g_ascii_isxdigit(raw[i + 2])) {
          out.push_back(static_cast<char>(g_ascii_xdigit_value(raw[i + 1]) * 16 +
                                          g_ascii_xdigit_value(raw[i + 2])));
          i += 2;
          break;
        }
        [[fallthrough]];
      default: out.push_back('\\'); out.push_back(e);
    }
  }
  return out;
}

std::string g_user_path;
std::unique_ptr<SettingsStore> g_user_store;

}  // namespace

struct SettingsStore::Parsed {
  KeyFilePtr kf;
  ReadFailure failure = ReadFailure::None;
  bool damaged = false;  // a line or more could not be read
  bool exists = false;
  struct stat st {};
};

namespace {
bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}
}  // namespace

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

const SettingsStore::Parsed& SettingsStore::Current() const {
  struct stat st {};
  const bool exists = ::stat(path_.c_str(), &st) == 0;
  // Every writer replaces the file by rename, so a changed file has a new inode or new times.
  if (parsed_ && parsed_->exists == exists && (!exists || SameFile(parsed_->st, st)))
    return *parsed_;
  auto parsed = std::make_shared<Parsed>();
  parsed->kf = LoadKeyFile(path_, G_KEY_FILE_KEEP_COMMENTS, &parsed->damaged, &parsed->failure);
  parsed->exists = exists;
  parsed->st = st;
  parsed_ = parsed;
  return *parsed_;
}

std::optional<std::string> SettingsStore::Find(const std::string& section,
                                               const std::string& key) const {
  GKeyFile* kf = Current().kf.get();
  auto group = StoredGroup(kf, section);
  if (!group) return std::nullopt;
  auto stored = StoredKey(kf, *group, key);
  if (!stored) return std::nullopt;
  gchar* raw = g_key_file_get_value(kf, group->c_str(), stored->c_str(), nullptr);
  if (!raw) return std::nullopt;
  std::string value = UnescapeValue(raw);
  g_free(raw);
  return value;
}

std::string SettingsStore::ReadProblem() const {
  const ReadFailure failure = Current().failure;
  if (failure == ReadFailure::None || failure == ReadFailure::Missing) return {};
  return ReadFailureMessage(path_, failure);
}

std::string SettingsStore::SetAsideDamage() {
  FileLock lock(path_);
  const Parsed& parsed = Current();
  if (!parsed.damaged || parsed.failure != ReadFailure::None) return {};
  const std::string copy = path_ + ".damaged";
  std::optional<std::string> bytes = ReadFileBytes(path_, kSettingsReadLimit);
  if (!bytes || !WriteFileAtomically(copy, *bytes)) return {};
  return "設定ファイルが壊れていました。元のファイルは次の場所にあります。\r\n" + copy;
}

std::string SettingsStore::Get(const std::string& section, const std::string& key,
                               const std::string& fallback) const {
  return Find(section, key).value_or(fallback);
}

bool SettingsStore::Save(const std::string& section, const std::string& key,
                         const std::string& value) {
  return SaveAll({{section, key, value}});
}

bool SettingsStore::SaveAll(const std::vector<SettingWrite>& writes) {
  FileLock lock(path_);
  ReadFailure failure = ReadFailure::None;
  KeyFilePtr kf = LoadKeyFileToChange(path_, &failure);
  parsed_.reset();
  // A file that is there but cannot be read stays as it is.
  if (failure != ReadFailure::None && failure != ReadFailure::Missing) return false;
  for (const SettingWrite& w : writes) {
    std::string group = StoredGroup(kf.get(), w.section).value_or(w.section);
    std::string name = StoredKey(kf.get(), group, w.key).value_or(w.key);
    if (w.remove) {
      g_key_file_remove_key(kf.get(), group.c_str(), name.c_str(), nullptr);
      continue;
    }
    g_key_file_set_value(kf.get(), group.c_str(), name.c_str(), EscapeValue(w.value).c_str());
  }
  return StoreKeyFile(kf.get(), path_);
}

std::string DefaultSettingsPath() {
  if (const char* over = g_getenv("TARVIK_SETTINGS"); over && *over) return over;
  gchar* p = g_build_filename(g_get_user_config_dir(), "tarvik", "settings.ini", nullptr);
  std::string path(p);
  g_free(p);
  return path;
}

SettingsStore& UserSettings() {
  if (!g_user_store) {
    if (g_user_path.empty()) g_user_path = DefaultSettingsPath();
    g_user_store = std::make_unique<SettingsStore>(g_user_path);
  }
  return *g_user_store;
}

void SetUserSettingsPath(const std::string& path) {
  g_user_path = path;
  g_user_store.reset();
}

std::string GetSetting(const std::string& section, const std::string& key,
                       const std::string& fallback) {
  return UserSettings().Get(section, key, fallback);
}

void SaveSetting(const std::string& section, const std::string& key, const std::string& value) {
  UserSettings().Save(section, key, value);
}

namespace {

std::optional<double> ToNumber(const std::string& text) {
  std::string t = TrimChars(text, " \t");
  if (t.empty()) return std::nullopt;
  double v = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

bool ToBoolean(const std::string& text, bool fallback) {
  std::string t = TrimChars(text, " \t");
  if (g_ascii_strcasecmp(t.c_str(), "True") == 0) return true;
  if (g_ascii_strcasecmp(t.c_str(), "False") == 0) return false;
  if (auto n = ToNumber(t)) return *n != 0;
  return fallback;
}

int ToInt16(const std::string& text, int fallback) {
  auto n = ToNumber(text);
  if (!n) return fallback;
  double r = std::nearbyint(*n);  // round half to even, as the runtime's integer conversion does
  if (r < -32768 || r > 32767) return fallback;
  return static_cast<int>(r);
}

float ToSingle(const std::string& text, float fallback) {
  auto n = ToNumber(text);
  if (!n || std::fabs(*n) > 3.4e38) return fallback;
  return static_cast<float>(*n);
}

std::string BooleanText(bool value) { return value ? "True" : "False"; }

std::string SingleText(float value) {
  char buf[64];
  // Fixed notation, shortest text that reads back as the same value: 150000 stays "150000".
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buf, ptr);
}

}  // namespace tarvik
