// The downloads of the process as the user follows them: each file with its progress, speed,
// time left and state, and the texts the downloads window and the status bar show of them. Fed
// from the engine's DownloadSource (platform/downloads.h); needs no display.
#pragma once

#include <sigc++/sigc++.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

enum class DownloadState { Running, Done, Failed, Cancelled };

struct DownloadItem {
  using Clock = std::chrono::steady_clock;
  int id = 0;
  std::string url;
  std::string path;  // the file it goes to
  std::uint64_t received = 0;
  std::uint64_t total = 0;  // 0 while unknown
  DownloadState state = DownloadState::Running;
  std::string error;  // why it failed
  double rate = 0;    // bytes a second, smoothed; 0 while unknown
  Clock::time_point sampled{};
  std::uint64_t sampled_bytes = 0;
};

class DownloadList {
 public:
  using Clock = DownloadItem::Clock;

  // A download starts; a retried one (an id seen before) starts over.
  void Started(int id, const std::string& url, const std::string& path, Clock::time_point now);
  void Progress(int id, std::uint64_t received, std::uint64_t total, Clock::time_point now);
  void Finished(int id);
  void Failed(int id, bool cancelled, const std::string& error);

  // Newest last.
  const std::vector<DownloadItem>& items() const { return items_; }
  const DownloadItem* Find(int id) const;

  // An item was added or changed.
  sigc::signal<void(int)>& signal_changed() { return changed_; }
  // An item has ended: done, failed or cancelled.
  sigc::signal<void(int)>& signal_ended() { return ended_; }

 private:
  DownloadItem* Item(int id);
  void End(int id, DownloadState state, const std::string& error);

  std::vector<DownloadItem> items_;
  sigc::signal<void(int)> changed_;
  sigc::signal<void(int)> ended_;
};

// "report.pdf": the file's name.
std::string DownloadFileName(const DownloadItem& item);
// 0 to 100, or -1 while the size is unknown.
int DownloadPercent(const DownloadItem& item);
// "1.5 MB / 4.0 MB"; "1.5 MB" while the size is unknown.
std::string DownloadProgressText(const DownloadItem& item);
// "120 KB/秒" while running at a known rate, else "".
std::string DownloadSpeedText(const DownloadItem& item);
// "残り 2 分 5 秒" while running with a known size and rate, else "".
std::string DownloadTimeLeftText(const DownloadItem& item);
// "ダウンロード中", "完了", "失敗", "キャンセル".
std::string DownloadStateText(const DownloadItem& item);
// What the status bar says of it: "ダウンロード中: report.pdf 35%", then how it ended.
std::string DownloadStatusText(const DownloadItem& item);
// "512 バイト", "1.5 KB", "12.0 MB", "1.2 GB".
std::string ByteSizeText(std::uint64_t bytes);

}  // namespace tarvik
