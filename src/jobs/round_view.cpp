#include "jobs/round_view.h"

#include <unordered_map>

namespace tarvik {

const char* RoundMarkText(RoundMark mark) {
  switch (mark) {
    case RoundMark::Changed: return "【更新】";
    case RoundMark::New: return "【新規】";
    case RoundMark::None: break;
  }
  return "";
}

std::optional<int> NextMarkedEntry(const std::vector<RoundMark>& marks, int current) {
  const int n = static_cast<int>(marks.size());
  if (n == 0) return std::nullopt;
  // A current index outside the job starts the search at the first entry.
  const int from = current >= 0 && current < n ? current : -1;
  for (int step = 1; step <= n; ++step) {
    const int i = (from + step) % n;
    if (i == from) break;
    if (marks[i] != RoundMark::None) return i;
  }
  return std::nullopt;
}

int MarkedCount(const std::vector<RoundMark>& marks) {
  int n = 0;
  for (RoundMark m : marks) n += m != RoundMark::None;
  return n;
}

std::string RoundPlaceText(const std::string& place, int marked) {
  if (marked <= 0) return place;
  const std::string count = "更新 " + std::to_string(marked);
  return place.empty() ? count : place + " · " + count;
}

std::vector<std::string> NewBlocks(const std::vector<std::string>& before,
                                   const std::vector<std::string>& now) {
  std::unordered_map<std::string, int> left;
  for (const std::string& b : before) ++left[b];
  std::vector<std::string> fresh;
  for (const std::string& b : now) {
    auto it = left.find(b);
    if (it != left.end() && it->second > 0)
      --it->second;
    else
      fresh.push_back(b);
  }
  return fresh;
}

namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string Trimmed(const std::string& text, const char* also = "") {
  const std::string cut = std::string(" \t") + also;
  const size_t a = text.find_first_not_of(cut);
  if (a == std::string::npos) return "";
  return text.substr(a, text.find_last_not_of(cut) - a + 1);
}

}  // namespace

bool IsHtmlContentType(const std::string& content_type) {
  const std::string type = Lower(Trimmed(content_type.substr(0, content_type.find(';'))));
  return type.empty() || type == "text/html" || type == "application/xhtml+xml";
}

std::string CharsetOf(const std::string& content_type) {
  const std::string lower = Lower(content_type);
  size_t at = 0;
  while ((at = lower.find(';', at)) != std::string::npos) {
    ++at;
    const size_t end = lower.find(';', at);
    const std::string part = lower.substr(at, end == std::string::npos ? end : end - at);
    const size_t eq = part.find('=');
    if (eq != std::string::npos && Trimmed(part.substr(0, eq)) == "charset")
      return Trimmed(part.substr(eq + 1), "\"'");
  }
  return "";
}

int AutoCheckHours(const std::string& setting) {
  const std::string t = Trimmed(setting);
  if (t.empty() || t.size() > 3 || t.find_first_not_of("0123456789") != std::string::npos) return 0;
  const int hours = std::stoi(t);
  return hours >= 1 && hours <= 168 ? hours : 0;
}

bool AutoCheckDue(int64_t now, int64_t started, int64_t last, int hours) {
  if (hours <= 0 || started <= 0) return false;
  const int64_t from = last > 0 ? last : started;
  return now - from >= int64_t{hours} * 3600;
}

std::string JobNoteText(int marked) { return marked > 0 ? "更新 " + std::to_string(marked) : ""; }

std::string ChangedPlacesText(int places) {
  return "前回から " + std::to_string(places) + " か所が変わりました";
}

std::string CheckDoneText(int changed, int added, int unreachable) {
  std::string parts;
  auto part = [&parts](const char* what, int n) {
    if (n <= 0) return;
    parts += (parts.empty() ? "" : " · ") + std::string(what) + " " + std::to_string(n);
  };
  part("更新", changed);
  part("新規", added);
  part("接続できません", unreachable);
  return "更新の確認が終わりました" + (parts.empty() ? " (更新なし)" : " (" + parts + ")");
}

}  // namespace tarvik
