// What the fuzzers share: a failed property aborts with its name, a private scratch folder, plain
// file writes that do not go through the code under test.
#pragma once

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tarvik::fuzz {

inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

// A private folder: $TARVIK_FUZZ_HOME (run.sh makes one on a memory file system, so the writers'
// flushes cost nothing, and removes it afterwards), or a new one.
inline const std::string& Home() {
  static const std::string home = [] {
    if (const char* given = g_getenv("TARVIK_FUZZ_HOME")) {
      g_mkdir_with_parents(given, 0700);
      return std::string(given);
    }
    const char* base = g_file_test("/dev/shm", G_FILE_TEST_IS_DIR) ? "/dev/shm" : g_get_tmp_dir();
    std::string pattern = std::string(base) + "/tarvik-fuzz-XXXXXX";
    if (!g_mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return home;
}

// Plain writes for the input: the harness should not depend on the code it tests.
inline void PutFile(const std::string& path, std::string_view bytes) {
  gchar* dir = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(dir, 0700);
  g_free(dir);
  FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr, "open input file");
  Check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(), "write input file");
  std::fclose(f);
}

// Removes a folder and everything in it (one level of subfolders is all the fuzzers make).
inline void RemoveTree(const std::string& folder) {
  if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) {
      gchar* path = g_build_filename(folder.c_str(), name, nullptr);
      if (g_file_test(path, G_FILE_TEST_IS_DIR) && !g_file_test(path, G_FILE_TEST_IS_SYMLINK))
        RemoveTree(path);
      else
        g_remove(path);
      g_free(path);
    }
    g_dir_close(dir);
  }
  g_rmdir(folder.c_str());
}

inline std::string ValidUtf8(std::string_view bytes) {
  gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  std::string text(valid);
  g_free(valid);
  return text;
}

}  // namespace tarvik::fuzz
