// New jobs from lists of links the user already has: the links of the page shown, a file of
// addresses, links dropped on the main window's job selector. Each list goes through the pick
// dialog (frm_pick_links.h), then the job is named as New Job names one and written listed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"
#include "jobs/link_list.h"
#include "platform/browser_control.h"

namespace Gtk {
class Window;
}

namespace tarvik {

inline constexpr char kJobFromPageLinksCaption[] = "ﾍﾟｰｼﾞのﾘﾝｸからｼﾞｮﾌﾞを作成(&L)...";
inline constexpr char kJobFromUrlListCaption[] = "URLﾘｽﾄの読み込み(&T)...";
inline constexpr char kJobFromUrlListTitle[] = "URLﾘｽﾄの読み込み";
inline constexpr char kNoPageLinksMessage[] = "このページにはジョブにできるリンクがありません。";

class JobHost;

// Offers `links` (as LinksForJob keeps them) in the pick dialog and makes a new job of the links
// picked. Returns the new job's name, or "" when none was made. A list without links shows
// `no_links_message` (nothing when it is empty).
std::string JobFromLinks(JobHost& host, std::vector<JobEntry> links,
                         const std::string& no_links_message);

// The same for the links a page gave (BrowserControl::CollectLinks).
std::string JobFromPageLinks(JobHost& host, const std::vector<PageLink>& links);

// Reads the file of addresses at `path` and makes its pick list off the main loop, behind the
// progress window of work_progress.h over `owner`. Nothing when the file could not be read (the
// message in `error`) or the progress window's "キャンセル" stopped it (`error` left empty).
std::optional<PickList> ReadUrlListForPicking(Gtk::Window& owner, const std::string& path,
                                              std::string* error);

// "URLﾘｽﾄの読み込み": asks for a file, reads its addresses (url_list_file.h) and goes on as
// JobFromLinks.
std::string JobFromUrlList(JobHost& host);

}  // namespace tarvik
