#include "platform/settings_store.h"

#include "platform/key_file.h"

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

std::optional<std::string> StoredKey(GKeyFile* kf, const std::string& group, const std::string& name) {
  gsize n = 0;
  gchar** keys = g_key_file_get_keys(kf, group.c_str(), &n, nullptr);
  std::optional<std::string> found;
  for (gsize i = 0; keys && i < n && !found; ++i)
    if (SameKeyName(keys[i], name)) found = keys[i];
  g_strfreev(keys);
  return found;
}

std::string g_user_path;
std::unique_ptr<SettingsStore> g_user_store;

}  // namespace

struct SettingsStore::Parsed {
  KeyFilePtr kf;
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
  if (parsed_ && parsed_->exists == exists && (!exists || SameFile(parsed_->st, st))) return *parsed_;
  auto parsed = std::make_shared<Parsed>();
  parsed->kf = LoadKeyFile(path_);
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
  return KeyFileString(kf, *group, *stored);
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
  KeyFilePtr kf = LoadKeyFileToChange(path_);
  for (const SettingWrite& w : writes) {
    std::string group = StoredGroup(kf.get(), w.section).value_or(w.section);
    std::string name = StoredKey(kf.get(), group, w.key).value_or(w.key);
    g_key_file_set_string(kf.get(), group.c_str(), name.c_str(), w.value.c_str());
  }
  parsed_.reset();
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

std::string Trimmed(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

std::optional<double> ToNumber(const std::string& text) {
  std::string t = Trimmed(text);
  if (t.empty()) return std::nullopt;
  double v = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

bool ToBoolean(const std::string& text, bool fallback) {
  std::string t = Trimmed(text);
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
