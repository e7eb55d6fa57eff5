#include "browse/site_permissions.h"

#include <glib.h>

#include <vector>

#include "platform/app_folder.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

// Past this the file is not ours to read: a line is under a hundred bytes.
constexpr size_t kReadLimit = size_t{4} << 20;

const char* KindName(PagePermission kind) {
  return kind == PagePermission::Notifications ? "notifications" : "location";
}

struct Line {
  bool allow;
  std::string kind, site;
};

std::optional<Line> ParseLine(const std::string& text) {
  const size_t a = text.find('\t');
  if (a == std::string::npos) return std::nullopt;
  const size_t b = text.find('\t', a + 1);
  if (b == std::string::npos) return std::nullopt;
  const std::string answer = text.substr(0, a);
  if (answer != "allow" && answer != "deny") return std::nullopt;
  return Line{answer == "allow", text.substr(a + 1, b - a - 1), text.substr(b + 1)};
}

}  // namespace

std::string SiteOf(const std::string& url) {
  GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr);
  if (!uri) return "";
  std::string site;
  const char* scheme = g_uri_get_scheme(uri);
  const char* host = g_uri_get_host(uri);
  if (scheme && host && *host) {
    site = std::string(scheme) + "://" + host;
    const int port = g_uri_get_port(uri);
    const int own = g_uri_get_scheme(uri) == std::string("https") ? 443 : 80;
    if (port > 0 && port != own) site += ":" + std::to_string(port);
  }
  g_uri_unref(uri);
  return site;
}

std::string PermissionQuestionText(const std::string& site, PagePermission kind) {
  std::string shown = site;
  if (const size_t scheme = shown.find("://"); scheme != std::string::npos)
    shown = shown.substr(scheme + 3);
  return shown + (kind == PagePermission::Notifications ? " が通知の表示を求めています"
                                                        : " が現在地の取得を求めています");
}

SitePermissions::SitePermissions(std::string path)
    : path_(path.empty() ? ApplicationFolder() + "/" + kSitePermissionsFile : std::move(path)) {}

std::optional<bool> SitePermissions::Recall(const std::string& site, PagePermission kind) const {
  if (site.empty()) return std::nullopt;
  std::optional<std::string> bytes = ReadFileBytes(path_, kReadLimit);
  if (!bytes) return std::nullopt;
  std::optional<bool> found;
  for (const std::string& text : SplitLines(DecodeText(*bytes)))
    if (std::optional<Line> line = ParseLine(text);
        line && line->site == site && line->kind == KindName(kind))
      found = line->allow;
  return found;
}

bool SitePermissions::Remember(const std::string& site, PagePermission kind, bool allow,
                               std::string* error) {
  if (site.empty()) return true;
  FileLock lock(path_);
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> bytes = ReadFileBytes(path_, kReadLimit, &failure);
  if (!bytes && failure != ReadFailure::Missing) {
    if (error) *error = ReadFailureMessage(path_, failure);
    return false;
  }
  std::string out;
  if (bytes) {
    for (const std::string& text : SplitLines(DecodeText(*bytes))) {
      if (text.empty()) continue;
      // Lines this version does not read are kept as they are.
      if (std::optional<Line> line = ParseLine(text);
          line && line->site == site && line->kind == KindName(kind))
        continue;
      out += text + "\r\n";
    }
  }
  out += std::string(allow ? "allow" : "deny") + "\t" + KindName(kind) + "\t" + site + "\r\n";
  return WriteFileAtomically(path_, EncodeText(out), error);
}

}  // namespace tarvik
