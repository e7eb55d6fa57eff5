// Helpers for tests that run real GTK windows under Xvfb.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarvik::test {

// Runs the GTK main loop until `done` returns true or `timeout_ms` passes. Returns `done()`.
bool RunUntil(const std::function<bool()>& done, int timeout_ms = 5000);
// Lets pending events and idle handlers run for about `ms` milliseconds.
void Pump(int ms = 50);

// A temporary folder removed with its contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes `bytes` as the whole file at `path`; a test that cannot write its input stops there.
void WriteBytes(const std::string& path, const std::string& bytes);
// The names in `folder`, sorted, without "." and "..".
std::vector<std::string> NamesIn(const std::string& folder);

}  // namespace tarvik::test
