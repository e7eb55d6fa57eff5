#include "platform/page_freshness.h"

#include <glib.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace tarvik {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The seconds of a delta-seconds value ("120"); nullopt when it is not one.
std::optional<long long> DeltaSeconds(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '"')) ++i;
  long long value = 0;
  size_t digits = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits)
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL << 40);
  if (digits == 0) return std::nullopt;
  return value;
}

// The directives of a Cache-Control header: whether `name` is there, and its value.
bool HasDirective(const std::string& header, std::string_view name, std::string_view* value) {
  size_t start = 0;
  while (start <= header.size()) {
    size_t end = header.find(',', start);
    if (end == std::string::npos) end = header.size();
    std::string_view item(header.data() + start, end - start);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    const size_t eq = item.find('=');
    std::string_view key = item.substr(0, eq);
    while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    if (key == name) {
      if (value) *value = eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
      return true;
    }
    start = end + 1;
  }
  return false;
}

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT") in seconds since 1970, if it is one.
std::optional<long long> HttpDate(std::string_view text) {
  static const char* kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                  "jul", "aug", "sep", "oct", "nov", "dec"};
  std::string s = Lower(text);
  char month[4] = {};
  int day = 0, year = 0, h = 0, m = 0, sec = 0;
  const size_t comma = s.find(',');
  const char* rest = s.c_str() + (comma == std::string::npos ? 0 : comma + 1);
  if (std::sscanf(rest, " %d %3s %d %d:%d:%d", &day, month, &year, &h, &m, &sec) != 6)
    return std::nullopt;
  int mon = -1;
  for (int i = 0; i < 12; ++i)
    if (std::string_view(month) == kMonths[i]) mon = i + 1;
  if (mon < 0) return std::nullopt;
  GDateTime* when = g_date_time_new_utc(year, mon, day, h, m, sec);
  if (!when) return std::nullopt;
  const long long out = g_date_time_to_unix(when);
  g_date_time_unref(when);
  return out;
}

}  // namespace

Seconds FreshLifetime(std::string_view cache_control, std::string_view expires,
                      std::string_view date, std::string_view age) {
  const std::string directives = Lower(cache_control);
  std::optional<long long> lifetime;
  std::string_view value;
  if (HasDirective(directives, "max-age", &value)) {
    lifetime = DeltaSeconds(value).value_or(0);  // a max-age that is no number: stale at once
    lifetime = *lifetime - DeltaSeconds(age).value_or(0);
  } else if (!expires.empty()) {
    const std::optional<long long> until = HttpDate(expires);
    const std::optional<long long> now = HttpDate(date);
    // An Expires that is no date means the past, as HTTP says.
    lifetime = until && now ? *until - *now : 0;
  }
  if (!lifetime) return kFreshAtMost;
  return Seconds(std::clamp<long long>(*lifetime, 0, kFreshAtMost.count()));
}

std::optional<Seconds> RefreshIn(Seconds on_page, Seconds age) {
  const Seconds wait = std::max(Seconds(0), kFreshAtMost - age);
  if (on_page + wait > kKeepFreshFor) return std::nullopt;
  return wait;
}

}  // namespace tarvik
