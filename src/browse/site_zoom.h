// How large each site's pages are shown: the zoom level the user chose for a host, kept across
// restarts in "Zoom.txt" of the application folder, one line per host that is not at 100 %:
// the host, a tab, the level in percent ("example.com\t125"). A level given for one page applies
// to every page of its host.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

// The host of an address, in lower case, without user, port or brackets; "" for an address
// without one (about:blank, file:///...).
std::string HostOfAddress(std::string_view url);

// The levels the zoom keys step through, in percent, smallest first; 100 is among them.
const std::vector<int>& ZoomSteps();
// The next level up (`direction` > 0) or down from `percent`; the ends stay where they are.
int NextZoomStep(int percent, int direction);
// What the status bar shows for a level: "" at 100 %, else "ｽﾞｰﾑ 125%".
std::string ZoomStatusText(int percent);

class SiteZoom {
 public:
  // The levels stored in the file at `path`; a missing or unreadable file holds none.
  explicit SiteZoom(std::string path);

  // The level for the page at `url`, in percent: the host's, or 100. The file is read again
  // when another window or process has written it since.
  int PercentFor(std::string_view url);
  // Keeps `percent` for the host of `url` (100 forgets the host) and writes the file under its
  // lock, with the levels other processes wrote since kept. False when it cannot be written;
  // the level is kept for this process then. An address without a host keeps nothing.
  bool Set(std::string_view url, int percent);

  // The process's store, in the application folder.
  static SiteZoom& Shared();

 private:
  void ReadIfChanged();
  std::string path_;
  std::string stamp_;  // of the file last read
  std::vector<std::pair<std::string, int>> levels_;
};

}  // namespace tarvik
