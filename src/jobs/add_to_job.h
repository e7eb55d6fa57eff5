// "表示中のﾍﾟｰｼﾞをｼﾞｮﾌﾞに追加": the page a main window shows, added as the last entry of a job
// chosen from the job menu, or of a new job.
#pragma once

#include <string>

#include "jobs/job_files.h"

namespace tarvik {

class BrowserControl;
class JobHost;

// The caption of the submenu and of its last item, which makes a new job.
inline constexpr char kAddPageToJobCaption[] = "表示中のﾍﾟｰｼﾞをｼﾞｮﾌﾞに追加(&G)";
inline constexpr char kAddPageToNewJobCaption[] = "新規ｼﾞｮﾌﾞ...";

// What the window's status bar says once the page is in job `name`: "「ニュース」に追加しました".
std::string AddedToJobNotice(const std::string& name);

// A page that can be added: one with an address other than the empty page.
bool IsPageToAdd(const std::string& url);

// Appends `entry` to the job file of `name`, read and replaced under the job list's lock, so
// two windows adding at once keep both entries. Fails, changing nothing, when the job file is
// missing or unreadable or the job is full (kMaxJobEntries).
bool AppendEntryToJob(const std::string& app_folder, const std::string& name, const JobEntry& entry,
                      std::string* error = nullptr);

// The commands. Each takes the page from `browser` when it runs (LocationName, LocationURL),
// shows its own messages and returns true when the entry was written. The caller brings a job
// it has loaded up to date.
bool AddPageToJob(JobHost& host, BrowserControl& browser, const std::string& name);
// Asks for a name as New Job does and creates the job with the page as its only entry.
bool AddPageToNewJob(JobHost& host, BrowserControl& browser, std::string* created_name = nullptr);

}  // namespace tarvik
