#include "jobs/link_jobs.h"

#include <optional>

#include "jobs/frm_pick_links.h"
#include "jobs/job_commands.h"
#include "jobs/job_host.h"
#include "jobs/link_list.h"
#include "jobs/url_list_file.h"
#include "platform/dialogs.h"

namespace tarvik {

std::string JobFromLinks(JobHost& host, std::vector<JobEntry> links,
                         const std::string& no_links_message) {
  links = LinksForJob(std::move(links));
  if (links.empty()) {
    if (!no_links_message.empty()) ShowError(&host.job_window(), no_links_message);
    return "";
  }
  std::optional<std::vector<JobEntry>> picked;
  {
    frmPickLinks dialog(host.job_window(), std::move(links));
    picked = dialog.Run();
  }
  if (!picked) return "";
  return CreateJobWithEntries(host, *picked);
}

std::string JobFromPageLinks(JobHost& host, const std::vector<PageLink>& links) {
  std::vector<JobEntry> entries;
  entries.reserve(links.size());
  for (const PageLink& link : links) entries.push_back(JobEntry{link.text, link.url});
  return JobFromLinks(host, std::move(entries), kNoPageLinksMessage);
}

std::string JobFromUrlList(JobHost& host) {
  FileDialogOptions options;
  options.title = "URLﾘｽﾄの読み込み";
  options.filters = ParseFilter(
      "URLﾘｽﾄ(*.txt;*.csv;*.md;*.html)|*.txt;*.csv;*.tsv;*.md;*.markdown;*.html;*.htm|"
      "すべてのﾌｧｲﾙ(*.*)|*");
  std::optional<std::string> path = AppDialogs().OpenFile(&host.job_window(), options);
  if (!path) return "";
  std::string error;
  std::optional<std::vector<JobEntry>> links = ReadUrlListFile(*path, &error);
  if (!links) {
    ShowError(&host.job_window(), error);
    return "";
  }
  return JobFromLinks(host, std::move(*links),
                      "ファイル「" + *path + "」にはURLが一つもありません。");
}

}  // namespace tarvik
