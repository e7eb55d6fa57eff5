#include "jobs/job_resume.h"

#include <charconv>

#include "jobs/job_cursor.h"
#include "platform/settings_keys.h"

namespace tarvik {

std::string ResumeKey(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string key;
  key.reserve(name.size());
  for (unsigned char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.') {
      key.push_back(static_cast<char>(c));
    } else {
      key.push_back('%');
      key.push_back(kHex[c >> 4]);
      key.push_back(kHex[c & 15]);
    }
  }
  return key;
}

std::string FormatResumePoint(const ResumePoint& point) {
  return std::to_string(point.index) + "," + point.url;
}

std::optional<ResumePoint> ParseResumePoint(const std::string& value) {
  const size_t comma = value.find(',');
  if (comma == std::string::npos || comma == 0) return std::nullopt;
  ResumePoint point;
  auto [end, ec] = std::from_chars(value.data(), value.data() + comma, point.index);
  if (ec != std::errc() || end != value.data() + comma || point.index < 0 ||
      point.index >= kMaxJobEntries)
    return std::nullopt;
  point.url = value.substr(comma + 1);
  return point;
}

void RememberResumePoint(const std::string& name, const ResumePoint& point) {
  SaveSetting(setting::kResumeSection, ResumeKey(name), FormatResumePoint(point));
}

std::optional<ResumePoint> RecallResumePoint(const std::string& name) {
  std::optional<std::string> value = UserSettings().Find(setting::kResumeSection, ResumeKey(name));
  if (!value) return std::nullopt;
  return ParseResumePoint(*value);
}

void RenameResumePoint(const std::string& old_name, const std::string& new_name) {
  std::optional<std::string> value =
      UserSettings().Find(setting::kResumeSection, ResumeKey(old_name));
  if (!value || old_name == new_name) return;
  SettingWrite gone{setting::kResumeSection, ResumeKey(old_name), "", true};
  UserSettings().SaveAll({gone, {setting::kResumeSection, ResumeKey(new_name), *value}});
}

void ForgetResumePoint(const std::string& name) {
  if (!UserSettings().Find(setting::kResumeSection, ResumeKey(name))) return;
  UserSettings().SaveAll({{setting::kResumeSection, ResumeKey(name), "", true}});
}

int ResumeIndex(const std::vector<JobEntry>& entries, const std::optional<ResumePoint>& point) {
  if (!point || entries.empty()) return 0;
  return KeptEntryIndex(entries, point->index, point->url);
}

std::optional<ResumePoint> ResumeTracker::Shown(const std::string& name, const ResumePoint& point) {
  if (name != job_) {
    job_ = name;
    last_point_ = point;
    if (point.index == 0) return std::nullopt;
  } else if (last_point_ == point) {
    return std::nullopt;
  }
  last_point_ = point;
  return point;
}

void ResumeTracker::Resumed(const std::string& name, const ResumePoint& point) {
  job_ = name;
  last_point_ = point;
}

void ResumeTracker::Renamed(const std::string& from, const std::string& to) {
  if (job_ == from) job_ = to;
}

}  // namespace tarvik
