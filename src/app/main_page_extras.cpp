#include "app/main_page_extras.h"

#include <glib.h>

#include "app/main_job_extras.h"
#include "app/main_status_bar.h"
#include "browse/download_list.h"
#include "browse/page_menu.h"
#include "browse/spelling.h"
#include "jobs/add_to_job.h"
#include "platform/display_text.h"
#include "platform/settings_keys.h"

namespace tarvik {

namespace {

// A job name's "&" is its own, not an access key.
std::string Literal(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

}  // namespace

MainPageExtras::MainPageExtras(PageExtrasHost& window) : w_(window) {
  BrowserControl& browser = w_.browser();
  browser.signal_permission_request().connect(
      sigc::mem_fun(*this, &MainPageExtras::OnPermissionRequest));
  browser.signal_popup_blocked().connect(sigc::mem_fun(*this, &MainPageExtras::OnPopupBlocked));
  // A question of a page that has gone is no longer asked.
  browser.signal_navigate_complete2().connect([this](const std::string&) { bar_.Clear(); });
  w_.download_list().signal_changed().connect(
      sigc::mem_fun(*this, &MainPageExtras::OnDownloadChanged));
  w_.download_list().signal_ended().connect(sigc::mem_fun(*this, &MainPageExtras::OnDownloadEnded));
  ApplySpellChecking(browser);
}

// ---- The page's menu ---------------------------------------------------------------------------

std::vector<PageMenuRow> MainPageExtras::PageMenu(const PageMenuContext& context) {
  using Kind = PageMenuRow::Kind;
  std::vector<PageMenuRow> rows;
  for (const PlannedPageRow& planned : PlanPageMenu(context)) {
    PageMenuRow row;
    row.caption = planned.caption;
    switch (planned.kind) {
      case PlannedPageRow::Kind::Separator: row.kind = Kind::Separator; break;
      case PlannedPageRow::Kind::Engine:
        row.kind = Kind::Engine;
        row.engine_row = planned.engine_row;
        break;
      case PlannedPageRow::Kind::JobFromSelection:
        row.kind = Kind::Command;
        row.run = [this] { w_.job_extras().JobFromPageLinks(); };
        break;
      case PlannedPageRow::Kind::AddLinkToJob: {
        // As the job menu's add-page submenu: the jobs, "ほかのｼﾞｮﾌﾞ..." past the first ones,
        // then "新規ｼﾞｮﾌﾞ...".
        row.kind = Kind::Submenu;
        const JobEntry link{context.link_text.empty() ? context.link_url : context.link_text,
                            context.link_url};
        bool more = false;
        for (const std::string& name : w_.job_extras().AddToJobMenuNames(&more)) {
          PageMenuRow job{Kind::Command, -1, Literal(ShortenForDisplay(name)), {}, {}};
          job.run = [this, name, link] { w_.job_extras().AddEntryTo(name, link); };
          row.items.push_back(std::move(job));
        }
        if (more) {
          row.items.push_back({Kind::Command,
                               -1,
                               kAddPageToOtherJobCaption,
                               [this, link] {
                                 const std::string name = w_.job_extras().PickOtherJob();
                                 if (!name.empty()) w_.job_extras().AddEntryTo(name, link);
                               },
                               {}});
        }
        if (!row.items.empty()) row.items.push_back({});
        row.items.push_back({Kind::Command,
                             -1,
                             kAddPageToNewJobCaption,
                             [this, link] { w_.job_extras().AddEntryToNewJob(link); },
                             {}});
        break;
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// ---- Questions for leave and pop-ups -----------------------------------------------------------

void MainPageExtras::OnPermissionRequest(const PermissionQuestion& question) {
  const std::string site = SiteOf(question.page_url);
  if (site.empty()) return;  // refused: no site to remember the answer for
  if (std::optional<bool> remembered = permissions_.Recall(site, question.kind)) {
    question.answer(*remembered);
    return;
  }
  bar_.Ask(PermissionQuestionText(site, question.kind),
           [this, site, kind = question.kind, answer = question.answer](bool allow) {
             std::string error;
             if (!permissions_.Remember(site, kind, allow, &error)) w_.stbStat().ShowNotice(error);
             answer(allow);
           });
}

void MainPageExtras::OnPopupBlocked(const std::string& url) {
  w_.stbStat().ShowUndoNotice(kPopupBlockedNotice + ShortenForDisplay(url), kOpenPopupCaption,
                              kPopupOfferSeconds, [this, url] { w_.OpenInNewWindow(url); });
}

// ---- Spelling ----------------------------------------------------------------------------------

bool MainPageExtras::SpellCheckEnabled() {
  return ToBoolean(GetSetting(setting::kSpellCheck), true);
}

void MainPageExtras::SetSpellCheckEnabled(bool on, BrowserControl& browser) {
  if (on != SpellCheckEnabled()) SaveSetting(setting::kSpellCheck, BooleanText(on));
  ApplySpellChecking(browser);
}

void MainPageExtras::ApplySpellChecking(BrowserControl& browser) {
  const char* const* locales = g_get_language_names();
  browser.SetSpellChecking(
      SpellCheckEnabled(),
      SpellingLanguages(InstalledDictionaries(DictionaryFolders()), locales[0] ? locales[0] : ""));
}

// ---- Downloads in the status bar ---------------------------------------------------------------

void MainPageExtras::OnDownloadChanged(int id) {
  const DownloadItem* item = w_.download_list().Find(id);
  if (!item || item->state != DownloadState::Running) return;
  // A word when the figure moves: each percent, or each second while the size is unknown.
  const int percent = DownloadPercent(*item);
  const std::int64_t now = g_get_monotonic_time();
  if (percent >= 0 ? percent == last_percent_ : now - last_shown_ < G_USEC_PER_SEC) return;
  last_percent_ = percent;
  last_shown_ = now;
  w_.stbStat().ShowNotice(DownloadStatusText(*item));
}

void MainPageExtras::OnDownloadEnded(int id) {
  const DownloadItem* item = w_.download_list().Find(id);
  if (!item) return;
  last_percent_ = -2;
  last_shown_ = 0;
  w_.stbStat().ShowNotice(DownloadStatusText(*item));
}

}  // namespace tarvik
