#include "platform/key_file.h"

#include "platform/text_file.h"

namespace tarvik {

namespace {
void MakeParent(const std::string& path) {
  gchar* dir = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(dir, 0700);
  g_free(dir);
}
bool Parses(const std::string& text) {
  KeyFilePtr probe(g_key_file_new());
  return g_key_file_load_from_data(probe.get(), text.data(), text.size(), G_KEY_FILE_NONE, nullptr);
}

// The lines of a key file that GLib refuses whole, less the lines that cannot be read: GLib
// stops at the first bad line and would drop every key after it. A line is tried on its own
// (a key under a stand-in group); the keys under a group line that cannot be read go with it,
// since they belong to no group that can be named.
std::string ReadableLines(const std::string& bytes) {
  std::string kept;
  bool in_group = false;
  for (const std::string& line : SplitLines(bytes)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') {
      kept += line + "\n";
    } else if (line[start] == '[') {
      in_group = Parses(line + "\n");
      if (in_group) kept += line + "\n";
    } else if (in_group && Parses("[g]\n" + line + "\n")) {
      kept += line + "\n";
    }
  }
  return kept;
}

}  // namespace

KeyFilePtr LoadKeyFile(const std::string& path, GKeyFileFlags flags, bool* damaged,
                       ReadFailure* failure) {
  KeyFilePtr kf(g_key_file_new());
  ReadFailure why = ReadFailure::None;
  std::optional<std::string> bytes = ReadFileBytes(path, kSettingsReadLimit, &why);
  if (failure) *failure = why;
  bool broken = false;
  if (bytes) {
    GError* error = nullptr;
    g_key_file_load_from_data(kf.get(), bytes->data(), bytes->size(), flags, &error);
    broken = error && error->domain == G_KEY_FILE_ERROR;
    if (error) g_error_free(error);
    if (broken) {
      kf.reset(g_key_file_new());
      const std::string readable = ReadableLines(*bytes);
      g_key_file_load_from_data(kf.get(), readable.data(), readable.size(), flags, nullptr);
    }
  } else {
    // A file that is there but cannot be read must not be replaced by what little is known.
    broken = why != ReadFailure::Missing;
  }
  if (damaged) *damaged = broken;
  return kf;
}

KeyFilePtr LoadKeyFileToChange(const std::string& path, ReadFailure* failure) {
  bool damaged = false;
  ReadFailure why = ReadFailure::None;
  KeyFilePtr kf = LoadKeyFile(path, G_KEY_FILE_KEEP_COMMENTS, &damaged, &why);
  if (failure) *failure = why;
  if (damaged && why == ReadFailure::None) {
    if (std::optional<std::string> bytes = ReadFileBytes(path, kSettingsReadLimit))
      WriteFileAtomically(path + ".damaged", *bytes);
  }
  return kf;
}

bool SameKeyName(const std::string& a, const std::string& b) {
  if (g_ascii_strcasecmp(a.c_str(), b.c_str()) == 0) return true;
  gchar* fa = g_utf8_casefold(a.c_str(), -1);
  gchar* fb = g_utf8_casefold(b.c_str(), -1);
  const bool same = g_strcmp0(fa, fb) == 0;
  g_free(fa);
  g_free(fb);
  return same;
}

std::optional<std::string> KeyFileString(GKeyFile* kf, const std::string& group,
                                         const std::string& key) {
  gchar* value = g_key_file_get_string(kf, group.c_str(), key.c_str(), nullptr);
  if (!value) return std::nullopt;
  std::string text(value);
  g_free(value);
  return text;
}

std::string KeyFileText(GKeyFile* kf) {
  gsize length = 0;
  gchar* data = g_key_file_to_data(kf, &length, nullptr);
  std::string text(data, length);
  g_free(data);
  return text;
}

bool StoreKeyFile(GKeyFile* kf, const std::string& path) {
  MakeParent(path);  // private to the user, unlike the folders WriteFileAtomically makes
  return WriteFileAtomically(path, KeyFileText(kf));
}

}  // namespace tarvik
