// The per-user settings store: named text values in sections, kept in one key file.
//
// Names of sections and keys compare case-insensitively. Every value is text; the typed
// readers below convert it and fall back to the caller's default when it does not convert.
// Every write re-reads the file under an advisory lock, changes its keys and replaces the
// file atomically, so two processes writing different keys never lose each other's values.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

struct SettingWrite {
  std::string section;
  std::string key;
  std::string value;
  bool remove = false;  // the key goes instead of taking `value`
};

class SettingsStore {
 public:
  explicit SettingsStore(std::string path);

  const std::string& path() const { return path_; }

  // The stored text, or `fallback` when the section or key is absent. Never fails.
  std::string Get(const std::string& section, const std::string& key,
                  const std::string& fallback) const;
  // The stored text, or nothing when absent.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;

  // The message for a settings file that is there but cannot be read (past its size limit, not
  // a regular file), or "" when the file reads or is missing. Such a file is never replaced.
  std::string ReadProblem() const;
  // For a file with lines that cannot be read: keeps the file as it is beside itself, as
  // `path`.damaged, and returns what the user is told; "" when the file is whole. The lines that
  // can be read are used, and the next save keeps them all.
  std::string SetAsideDamage();

  // Creates section and key as needed and stores the text; any bytes, a NUL included, read back
  // exactly. Returns false when the file could
  // not be written; the store's callers ignore that, as a failed write is not reported.
  bool Save(const std::string& section, const std::string& key, const std::string& value);
  // Several keys in one locked read-modify-replace.
  bool SaveAll(const std::vector<SettingWrite>& writes);

 private:
  // The file as last parsed, kept while the file on disk is the same one: a start reads dozens
  // of keys, and parsing the file once for each of them is wasted work.
  struct Parsed;
  const Parsed& Current() const;

  std::string path_;
  mutable std::shared_ptr<Parsed> parsed_;
};

// The store of this user: $XDG_CONFIG_HOME/tarvik/settings.ini.
SettingsStore& UserSettings();
// Points UserSettings() at another file (tests, and a TARVIK_SETTINGS override).
void SetUserSettingsPath(const std::string& path);
std::string DefaultSettingsPath();

std::string GetSetting(const std::string& section, const std::string& key,
                       const std::string& fallback);
void SaveSetting(const std::string& section, const std::string& key, const std::string& value);

// Conversions of stored text, with the caller's default for text that does not convert.
// "True"/"False" (any case) and numbers convert to Booleans; zero is False.
bool ToBoolean(const std::string& text, bool fallback);
// A whole number in -32768..32767 (a decimal part is rounded).
int ToInt16(const std::string& text, int fallback);
// A finite single-precision number.
float ToSingle(const std::string& text, float fallback);

std::string BooleanText(bool value);  // "True" / "False"
std::string SingleText(float value);  // shortest text; whole numbers have no decimal part

}  // namespace tarvik
