#include "system/class_registry.h"

#include "platform/key_file.h"

#include <glib.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace tarvik {

namespace {

// Key-file group and key names cannot hold every character a registry name can, so the few
// that would break the file are written as %XX.
std::string Escape(const std::string& name, const char* special, bool guard_spaces) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    bool edge_space = guard_spaces && c == ' ' && (i == 0 || i + 1 == name.size());
    if (c < 0x20 || c == 0x7f || c == '%' || std::strchr(special, c) || edge_space) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && g_ascii_isxdigit(text[i + 1]) &&
        g_ascii_isxdigit(text[i + 2])) {
      out += static_cast<char>(g_ascii_xdigit_value(text[i + 1]) * 16 +
                               g_ascii_xdigit_value(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string GroupName(const std::vector<std::string>& segments) {
  std::string out;
  for (const std::string& s : segments) {
    if (!out.empty()) out += '\\';
    out += Escape(s, "[]\\", false);
  }
  return out;
}

std::vector<std::string> GroupSegments(const char* group) {
  std::vector<std::string> out;
  std::string current;
  for (const char* p = group; *p; ++p) {
    if (*p == '\\') {
      out.push_back(Unescape(current));
      current.clear();
    } else {
      current += *p;
    }
  }
  out.push_back(Unescape(current));
  return out;
}

// The default value is "@", as in exported registry files; other names are escaped so that
// none of them can be "@".
std::string ValueKey(const std::string& value_name) {
  return value_name.empty() ? "@" : Escape(value_name, "=[]@#", true);
}

// `path` starts with all of `prefix`, name by name.
bool StartsWith(const std::vector<std::string>& path, const std::vector<std::string>& prefix) {
  if (path.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (!SameKeyName(path[i], prefix[i])) return false;
  return true;
}

std::vector<std::vector<std::string>> AllKeys(GKeyFile* kf, std::vector<std::string>* names) {
  gsize n = 0;
  gchar** groups = g_key_file_get_groups(kf, &n);
  std::vector<std::vector<std::string>> out;
  for (gsize i = 0; i < n; ++i) {
    out.push_back(GroupSegments(groups[i]));
    if (names) names->push_back(groups[i]);
  }
  g_strfreev(groups);
  return out;
}

// The group holding `segments`, under whatever spelling it was stored.
std::optional<std::string> FindGroup(GKeyFile* kf, const std::vector<std::string>& segments) {
  std::vector<std::string> names;
  auto keys = AllKeys(kf, &names);
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].size() == segments.size() && StartsWith(keys[i], segments)) return names[i];
  return std::nullopt;
}

std::optional<std::string> FindValue(GKeyFile* kf, const std::string& group,
                                     const std::string& value_name) {
  gsize n = 0;
  gchar** keys = g_key_file_get_keys(kf, group.c_str(), &n, nullptr);
  std::optional<std::string> found;
  for (gsize i = 0; keys && i < n && !found; ++i) {
    std::string stored = keys[i];
    std::string name = stored == "@" ? std::string() : Unescape(stored);
    if (name.empty() != value_name.empty()) continue;
    if (SameKeyName(name, value_name)) found = stored;
  }
  g_strfreev(keys);
  return found;
}

// The spelling a new key takes: every name that already exists above or at it keeps the
// spelling it was first stored with.
std::vector<std::string> StoredSpelling(GKeyFile* kf, std::vector<std::string> segments) {
  auto keys = AllKeys(kf, nullptr);
  for (size_t depth = 1; depth <= segments.size(); ++depth) {
    std::vector<std::string> prefix(segments.begin(), segments.begin() + depth);
    for (const auto& k : keys) {
      if (StartsWith(k, prefix)) {
        segments[depth - 1] = k[depth - 1];
        break;
      }
    }
  }
  return segments;
}

bool Exists(GKeyFile* kf, const std::vector<std::string>& segments) {
  if (segments.empty()) return true;  // the class root itself
  for (const auto& k : AllKeys(kf, nullptr))
    if (StartsWith(k, segments)) return true;
  return false;
}

}  // namespace

std::vector<std::string> SplitKeyPath(const std::string& key) {
  std::vector<std::string> out;
  std::string current;
  for (char c : key) {
    if (c == '\\') {
      if (!current.empty()) out.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) out.push_back(current);
  return out;
}

namespace {
// Whether a registry file read for a change may be stored over: read, or not there yet.
bool Readable(ReadFailure failure) {
  return failure == ReadFailure::None || failure == ReadFailure::Missing;
}
}  // namespace

KeyFileClassRegistry::KeyFileClassRegistry(std::string path) : path_(std::move(path)) {}

GKeyFile* KeyFileClassRegistry::View(KeyFilePtr& holder) const {
  if (group_copy_) return group_copy_.get();
  holder = LoadKeyFile(path_);
  return holder.get();
}

bool KeyFileClassRegistry::Modify(const std::function<bool(GKeyFile*)>& change) {
  bool ok = false;
  if (change_depth_ > 0 && group_copy_) {
    ok = change(group_copy_.get());
    group_dirty_ = group_dirty_ || ok;
  } else {
    FileLock lock(path_);
    ReadFailure failure = ReadFailure::None;
    KeyFilePtr kf = LoadKeyFileToChange(path_, &failure);
    // A file that is there but cannot be read is not replaced by what little is known.
    ok = Readable(failure) && change(kf.get()) && StoreKeyFile(kf.get(), path_);
  }
  if (ok) Changed();
  return ok;
}

std::optional<std::string> KeyFileClassRegistry::Read(const std::string& key,
                                                      const std::string& value_name) const {
  KeyFilePtr holder;
  GKeyFile* kf = View(holder);
  auto group = FindGroup(kf, SplitKeyPath(key));
  if (!group) return std::nullopt;
  auto stored = FindValue(kf, *group, value_name);
  if (!stored) return std::nullopt;
  return KeyFileString(kf, *group, *stored);
}

bool KeyFileClassRegistry::Write(const std::string& key, const std::string& value_name,
                                 const std::string& data) {
  std::vector<std::string> segments = SplitKeyPath(key);
  // Values of the class root itself are not Tarvik's to write.
  if (segments.empty() || !g_utf8_validate(key.c_str(), -1, nullptr) ||
      !g_utf8_validate(value_name.c_str(), -1, nullptr) ||
      !g_utf8_validate(data.c_str(), -1, nullptr))
    return false;
  return Modify([&](GKeyFile* kf) {
    std::string group = FindGroup(kf, segments).value_or(GroupName(StoredSpelling(kf, segments)));
    std::string name = FindValue(kf, group, value_name).value_or(ValueKey(value_name));
    g_key_file_set_string(kf, group.c_str(), name.c_str(), data.c_str());
    return true;
  });
}

bool KeyFileClassRegistry::DeleteSubKey(const std::string& key, const std::string& sub_key) {
  std::vector<std::string> parent = SplitKeyPath(key);
  std::vector<std::string> target = parent;
  for (auto& s : SplitKeyPath(sub_key)) target.push_back(s);
  if (target.size() == parent.size()) return false;  // no subkey named
  return Modify([&](GKeyFile* kf) {
    if (!Exists(kf, parent) || !Exists(kf, target)) return false;
    std::vector<std::string> names;
    auto keys = AllKeys(kf, &names);
    for (size_t i = 0; i < keys.size(); ++i)
      if (StartsWith(keys[i], target)) g_key_file_remove_group(kf, names[i].c_str(), nullptr);
    return true;
  });
}

bool KeyFileClassRegistry::KeyExists(const std::string& key) const {
  KeyFilePtr holder;
  return Exists(View(holder), SplitKeyPath(key));
}

std::vector<std::string> KeyFileClassRegistry::SubKeys(const std::string& key) const {
  KeyFilePtr holder;
  GKeyFile* kf = View(holder);
  std::vector<std::string> parent = SplitKeyPath(key);
  std::vector<std::string> out;
  for (const auto& k : AllKeys(kf, nullptr)) {
    if (k.size() <= parent.size() || !StartsWith(k, parent)) continue;
    const std::string& name = k[parent.size()];
    bool seen = false;
    for (const auto& o : out) seen = seen || SameKeyName(o, name);
    if (!seen) out.push_back(name);
  }
  return out;
}

void KeyFileClassRegistry::BeginChanges() {
  if (change_depth_++ > 0) return;
  group_lock_ = std::make_unique<FileLock>(path_);
  ReadFailure failure = ReadFailure::None;
  group_copy_ = LoadKeyFileToChange(path_, &failure);
  group_readable_ = Readable(failure);
  group_dirty_ = false;
}

bool KeyFileClassRegistry::EndChanges() {
  if (change_depth_ == 0 || --change_depth_ > 0) return true;
  const bool stored = !group_dirty_ || (group_readable_ && StoreKeyFile(group_copy_.get(), path_));
  group_lock_.reset();
  const bool notify = changed_ && stored;
  changed_ = false;
  if (notify && on_change_) on_change_(*this);  // reads the copy just stored
  group_copy_.reset();
  return stored;
}

void KeyFileClassRegistry::Changed() {
  if (change_depth_ > 0) {
    changed_ = true;
    return;
  }
  if (on_change_) on_change_(*this);
}

}  // namespace tarvik
