#include "browse/site_zoom.h"

#include <glib.h>

#include <algorithm>
#include <cstdlib>

#include "platform/app_folder.h"
#include "platform/file_watch.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

constexpr size_t kZoomReadLimit = size_t{4} << 20;
constexpr int kLeast = 25;
constexpr int kMost = 500;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string StampText(const FileStamp& s) {
  if (!s.exists) return "";
  return std::to_string(s.inode) + ":" + std::to_string(s.size) + ":" + std::to_string(s.mtime_ns) +
         ":" + std::to_string(s.ctime_ns);
}

using Levels = std::vector<std::pair<std::string, int>>;

Levels ParseLevels(std::string_view bytes) {
  Levels levels;
  for (const std::string& line : SplitLines(DecodeText(bytes))) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    const std::string number = line.substr(tab + 1);
    char* end = nullptr;
    const long percent = std::strtol(number.c_str(), &end, 10);
    if (end == number.c_str() || *end != '\0' || percent < kLeast || percent > kMost) continue;
    const std::string host = Lower(line.substr(0, tab));
    auto same = [&](const auto& level) { return level.first == host; };
    if (percent != 100 && std::none_of(levels.begin(), levels.end(), same))
      levels.emplace_back(host, static_cast<int>(percent));
  }
  return levels;
}

}  // namespace

std::string HostOfAddress(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return "";
  std::string_view rest = url.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (const size_t at = rest.rfind('@'); at != std::string_view::npos) rest = rest.substr(at + 1);
  if (!rest.empty() && rest.front() == '[') {
    const size_t close = rest.find(']');
    return close == std::string_view::npos ? "" : Lower(rest.substr(1, close - 1));
  }
  return Lower(rest.substr(0, rest.find(':')));
}

const std::vector<int>& ZoomSteps() {
  static const std::vector<int> steps = {30,  50,  67,  80,  90,  100, 110,
                                         125, 150, 175, 200, 250, 300};
  return steps;
}

int NextZoomStep(int percent, int direction) {
  const std::vector<int>& steps = ZoomSteps();
  if (direction > 0) {
    for (int step : steps)
      if (step > percent) return step;
    return std::max(percent, steps.back());
  }
  for (auto it = steps.rbegin(); it != steps.rend(); ++it)
    if (*it < percent) return *it;
  return std::min(percent, steps.front());
}

std::string ZoomStatusText(int percent) {
  return percent == 100 ? "" : "ｽﾞｰﾑ " + std::to_string(percent) + "%";
}

SiteZoom::SiteZoom(std::string path) : path_(std::move(path)) {}

SiteZoom& SiteZoom::Shared() {
  static SiteZoom shared("");
  // The folder is read each time: a test gives each of its processes' starts a folder of its own.
  if (const std::string path = ApplicationFolder() + "/Zoom.txt"; path != shared.path_)
    shared = SiteZoom(path);
  return shared;
}

void SiteZoom::ReadIfChanged() {
  const FileStamp stamp = StampOf(path_);
  const std::string text = StampText(stamp);
  if (text == stamp_ && !StampMayHideAChange(stamp, g_get_real_time() * 1000)) return;
  stamp_ = text;
  if (!stamp.exists) return levels_.clear();
  if (std::optional<std::string> bytes = ReadFileBytes(path_, kZoomReadLimit))
    levels_ = ParseLevels(*bytes);
}

int SiteZoom::PercentFor(std::string_view url) {
  const std::string host = HostOfAddress(url);
  if (host.empty()) return 100;
  ReadIfChanged();
  for (const auto& [name, percent] : levels_)
    if (name == host) return percent;
  return 100;
}

bool SiteZoom::Set(std::string_view url, int percent) {
  const std::string host = HostOfAddress(url);
  if (host.empty()) return true;
  percent = std::clamp(percent, kLeast, kMost);
  FileLock lock(path_);
  stamp_.clear();
  ReadIfChanged();
  std::erase_if(levels_, [&](const auto& level) { return level.first == host; });
  if (percent != 100) levels_.emplace_back(host, percent);
  std::string text;
  for (const auto& [name, level] : levels_) text += name + "\t" + std::to_string(level) + "\r\n";
  const bool written = WriteFileAtomically(path_, EncodeText(text));
  stamp_ = StampText(StampOf(path_));
  return written;
}

}  // namespace tarvik
