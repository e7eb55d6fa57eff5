// "表示中のﾍﾟｰｼﾞをｼﾞｮﾌﾞに追加": the page a main window shows, added as the last entry of a job
// chosen from the job menu, or of a new job.
#pragma once

#include <string>
#include <vector>

#include "jobs/job_editing.h"  // AppendEntryToJob
#include "jobs/job_files.h"

namespace tarvik {

class BrowserControl;
class JobHost;

// The caption of the submenu and of its last item, which makes a new job.
inline constexpr char kAddPageToJobCaption[] = "表示中のﾍﾟｰｼﾞをｼﾞｮﾌﾞに追加(&G)";
inline constexpr char kAddPageToNewJobCaption[] = "新規ｼﾞｮﾌﾞ...";
// The item after the jobs of a long list, which finds any job of it (frm_pick_job.h).
inline constexpr char kAddPageToOtherJobCaption[] = "ほかのｼﾞｮﾌﾞ...";

// How many jobs the submenu lists, one item each: a menu of a widget per job of a list of tens of
// thousands takes minutes to open.
inline constexpr int kAddToJobMenuJobs = 30;

// The jobs the submenu lists, by their place in `names`: the first kAddToJobMenuJobs that name a
// job (an empty line names none). `more` is set when the list holds others beyond them.
std::vector<int> AddToJobMenuJobs(const std::vector<std::string>& names, bool* more);

// What the window's status bar says once the page is in job `name`: "「ニュース」に追加しました".
std::string AddedToJobNotice(const std::string& name);

// A page that can be added: one with an address other than the empty page.
bool IsPageToAdd(const std::string& url);

// The commands. Each takes the page from `browser` when it runs (LocationName, LocationURL),
// shows its own messages and returns true when the entry was written. The caller brings a job
// it has loaded up to date.
bool AddPageToJob(JobHost& host, BrowserControl& browser, const std::string& name);
// Asks for a name as New Job does and creates the job with the page as its only entry.
bool AddPageToNewJob(JobHost& host, BrowserControl& browser, std::string* created_name = nullptr);

// The same for an entry that is not the page shown (a link of the page).
bool AddEntryToJob(JobHost& host, const JobEntry& entry, const std::string& name);
bool AddEntryToNewJob(JobHost& host, const JobEntry& entry, std::string* created_name = nullptr);

}  // namespace tarvik
