// The downloads of the web engine, in Tarvik's terms: the process's one source of them
// (BrowserControl::downloads). Where a file goes is asked before it shows here; a download
// whose question was cancelled never does.
#pragma once

#include <sigc++/sigc++.h>

#include <cstdint>
#include <string>

namespace tarvik {

class DownloadSource {
 public:
  virtual ~DownloadSource() = default;

  virtual void Cancel(int id) = 0;
  // The same address again, into the same file, under the same id.
  virtual void Retry(int id) = 0;

  // A download has its file and starts: id, address, path of the file.
  sigc::signal<void(int, const std::string&, const std::string&)> started;
  // Bytes received so far, and the total (0 while unknown).
  sigc::signal<void(int, std::uint64_t, std::uint64_t)> progress;
  sigc::signal<void(int)> finished;
  // It stopped short: cancelled by the user, or failed with the engine's message.
  sigc::signal<void(int, bool, const std::string&)> failed;
};

}  // namespace tarvik
