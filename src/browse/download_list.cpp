#include "browse/download_list.h"

#include <algorithm>
#include <cstdio>

namespace tarvik {

namespace {

// How often the speed is measured, and how much a new measure counts against the old.
constexpr auto kSampleEvery = std::chrono::milliseconds(500);
constexpr double kNewWeight = 0.3;

std::string Fixed1(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

}  // namespace

DownloadItem* DownloadList::Item(int id) {
  for (DownloadItem& item : items_)
    if (item.id == id) return &item;
  return nullptr;
}

const DownloadItem* DownloadList::Find(int id) const {
  for (const DownloadItem& item : items_)
    if (item.id == id) return &item;
  return nullptr;
}

void DownloadList::Started(int id, const std::string& url, const std::string& path,
                           Clock::time_point now) {
  DownloadItem* item = Item(id);
  if (!item) {
    items_.push_back({});
    item = &items_.back();
  }
  *item = DownloadItem{};
  item->id = id;
  item->url = url;
  item->path = path;
  item->sampled = now;
  changed_.emit(id);
}

void DownloadList::Progress(int id, std::uint64_t received, std::uint64_t total,
                            Clock::time_point now) {
  DownloadItem* item = Item(id);
  if (!item || item->state != DownloadState::Running) return;
  item->received = received;
  item->total = total;
  const auto since = now - item->sampled;
  if (since >= kSampleEvery && received >= item->sampled_bytes) {
    const double seconds = std::chrono::duration<double>(since).count();
    const double measured = static_cast<double>(received - item->sampled_bytes) / seconds;
    item->rate = item->rate == 0 ? measured : item->rate * (1 - kNewWeight) + measured * kNewWeight;
    item->sampled = now;
    item->sampled_bytes = received;
  }
  changed_.emit(id);
}

void DownloadList::End(int id, DownloadState state, const std::string& error) {
  DownloadItem* item = Item(id);
  if (!item || item->state != DownloadState::Running) return;
  item->state = state;
  item->error = error;
  if (state == DownloadState::Done && item->total < item->received) item->total = item->received;
  item->rate = 0;
  changed_.emit(id);
  ended_.emit(id);
}

void DownloadList::Finished(int id) { End(id, DownloadState::Done, ""); }

void DownloadList::Failed(int id, bool cancelled, const std::string& error) {
  End(id, cancelled ? DownloadState::Cancelled : DownloadState::Failed, cancelled ? "" : error);
}

std::string DownloadFileName(const DownloadItem& item) {
  const size_t slash = item.path.find_last_of('/');
  return slash == std::string::npos ? item.path : item.path.substr(slash + 1);
}

int DownloadPercent(const DownloadItem& item) {
  if (item.state == DownloadState::Done) return 100;
  if (item.total == 0) return -1;
  return static_cast<int>(std::min<std::uint64_t>(100, item.received * 100 / item.total));
}

std::string ByteSizeText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " バイト";
  const double kb = static_cast<double>(bytes) / 1024;
  if (kb < 1024) return Fixed1(kb) + " KB";
  const double mb = kb / 1024;
  if (mb < 1024) return Fixed1(mb) + " MB";
  return Fixed1(mb / 1024) + " GB";
}

std::string DownloadProgressText(const DownloadItem& item) {
  if (item.total == 0) return ByteSizeText(item.received);
  return ByteSizeText(item.received) + " / " + ByteSizeText(item.total);
}

std::string DownloadSpeedText(const DownloadItem& item) {
  if (item.state != DownloadState::Running || item.rate <= 0) return "";
  return ByteSizeText(static_cast<std::uint64_t>(item.rate)) + "/秒";
}

std::string DownloadTimeLeftText(const DownloadItem& item) {
  if (item.state != DownloadState::Running || item.rate <= 0 || item.total == 0 ||
      item.received > item.total)
    return "";
  const auto seconds =
      static_cast<std::uint64_t>(static_cast<double>(item.total - item.received) / item.rate + 0.5);
  if (seconds < 60) return "残り " + std::to_string(seconds) + " 秒";
  if (seconds < 3600)
    return "残り " + std::to_string(seconds / 60) + " 分 " + std::to_string(seconds % 60) + " 秒";
  return "残り " + std::to_string(seconds / 3600) + " 時間 " + std::to_string(seconds % 3600 / 60) +
         " 分";
}

std::string DownloadStateText(const DownloadItem& item) {
  switch (item.state) {
    case DownloadState::Running: return "ダウンロード中";
    case DownloadState::Done: return "完了";
    case DownloadState::Failed: return "失敗";
    case DownloadState::Cancelled: return "キャンセル";
  }
  return "";
}

std::string DownloadStatusText(const DownloadItem& item) {
  const std::string name = DownloadFileName(item);
  switch (item.state) {
    case DownloadState::Running: {
      const int percent = DownloadPercent(item);
      return "ダウンロード中: " + name + " " +
             (percent >= 0 ? std::to_string(percent) + "%" : ByteSizeText(item.received));
    }
    case DownloadState::Done: return name + " のダウンロードが完了しました";
    case DownloadState::Failed: return name + " のダウンロードに失敗しました";
    case DownloadState::Cancelled: return name + " のダウンロードを取り消しました";
  }
  return "";
}

}  // namespace tarvik
