#include "jobs/link_jobs.h"

#include <optional>

#include "jobs/frm_pick_links.h"
#include "jobs/job_commands.h"
#include "jobs/job_host.h"
#include "jobs/link_list.h"
#include "jobs/url_list_file.h"
#include "jobs/work_progress.h"
#include "platform/dialogs.h"

namespace tarvik {

namespace {

std::string JobFromPickList(JobHost& host, PickList list, const std::string& no_links_message) {
  if (list.links.empty()) {
    if (!no_links_message.empty()) ShowError(&host.job_window(), no_links_message);
    return "";
  }
  std::optional<std::vector<JobEntry>> picked;
  {
    frmPickLinks dialog(host.job_window(), std::move(list));
    picked = dialog.Run();
  }
  if (!picked) return "";
  return CreateJobWithEntries(host, *picked);
}

}  // namespace

std::string JobFromLinks(JobHost& host, std::vector<JobEntry> links,
                         const std::string& no_links_message) {
  return JobFromPickList(host, std::move(*MakePickList(LinksForJob(std::move(links)))),
                         no_links_message);
}

std::optional<PickList> ReadUrlListForPicking(Gtk::Window& owner, const std::string& path,
                                              std::string* error) {
  std::optional<PickList> list;
  RunWithProgress(owner, kJobFromUrlListTitle, [&](WorkProgress& progress) {
    // Parsing counts for three quarters of the bar, the filter's keys for the rest.
    std::optional<std::vector<JobEntry>> links =
        ReadUrlListFile(path, error, [&progress](size_t done, size_t total) {
          progress.Report(3 * done, 4 * total);
          return !progress.cancelled();
        });
    if (!links) return;
    const size_t count = links->size();
    list = MakePickList(std::move(*links), [&progress, count](size_t done, size_t) {
      progress.Report(3 * count + done, 4 * count);
      return !progress.cancelled();
    });
  });
  return list;
}

std::string JobFromPageLinks(JobHost& host, const std::vector<PageLink>& links) {
  std::vector<JobEntry> entries;
  entries.reserve(links.size());
  for (const PageLink& link : links) entries.push_back(JobEntry{LinkTitle(link), link.url});
  return JobFromLinks(host, std::move(entries), kNoPageLinksMessage);
}

std::string JobFromUrlList(JobHost& host) {
  FileDialogOptions options;
  options.title = kJobFromUrlListTitle;
  options.filters = ParseFilter(
      "URLﾘｽﾄ(*.txt;*.csv;*.md;*.html)|*.txt;*.csv;*.tsv;*.md;*.markdown;*.html;*.htm|"
      "すべてのﾌｧｲﾙ(*.*)|*");
  std::optional<std::string> path = AppDialogs().OpenFile(&host.job_window(), options);
  if (!path) return "";
  std::string error;
  std::optional<PickList> list = ReadUrlListForPicking(host.job_window(), *path, &error);
  if (!list) {
    if (!error.empty()) ShowError(&host.job_window(), error);  // none: the reading was stopped
    return "";
  }
  return JobFromPickList(host, std::move(*list),
                         "ファイル「" + *path + "」にはURLが一つもありません。");
}

}  // namespace tarvik
