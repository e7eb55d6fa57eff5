// What the user answered when a site asked to show notifications or to know the location,
// remembered per site in a text file of the application folder ("SitePermissions.txt"), one
// answer a line: "allow" or "deny", the permission, the site, separated by tabs. Several Tarvik
// processes share the file: every change re-reads it under its lock. Needs no display.
#pragma once

#include <optional>
#include <string>

#include "platform/browser_control.h"

namespace tarvik {

inline constexpr char kSitePermissionsFile[] = "SitePermissions.txt";
inline constexpr char kAllowCaption[] = "許可";
inline constexpr char kDenyCaption[] = "拒否";

// The site of a page: "https://example.com", with the port when it is not the scheme's own;
// "" for an address that names no site (about:blank, data:).
std::string SiteOf(const std::string& url);

// The question the window shows: "example.com が通知の表示を求めています".
std::string PermissionQuestionText(const std::string& site, PagePermission kind);

class SitePermissions {
 public:
  // The file at `path`; the application folder's when empty.
  explicit SitePermissions(std::string path = "");

  // The remembered answer, or nothing when the site has not been answered for `kind`. A file
  // that cannot be read remembers nothing.
  std::optional<bool> Recall(const std::string& site, PagePermission kind) const;
  // Remembers the answer, replacing an earlier one. False, with the reason in `error`, when
  // the file could not be written; nothing else is lost.
  bool Remember(const std::string& site, PagePermission kind, bool allow,
                std::string* error = nullptr);

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tarvik
