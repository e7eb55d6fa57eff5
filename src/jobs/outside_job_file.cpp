#include "jobs/outside_job_file.h"

#include <glib.h>
#include <stdlib.h>

#include <memory>

#include "jobs/bookmarks.h"
#include "platform/display_text.h"
#include "platform/file_names.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

// The folder as the file system names it: absolute, without "." and "..", links resolved as far
// as the folder exists.
std::string RealFolder(const std::string& folder) {
  std::unique_ptr<gchar, decltype(&g_free)> absolute(
      g_canonicalize_filename(folder.c_str(), nullptr), g_free);
  std::unique_ptr<char, decltype(&free)> real(realpath(absolute.get(), nullptr), free);
  return real ? std::string(real.get()) : std::string(absolute.get());
}

// A file name that makes no name of its own (only spaces, say) still gives the job one.
constexpr char kFallbackJobName[] = "New Job";

}  // namespace

bool IsInJobsFolder(const std::string& path, const std::string& jobs_folder) {
  std::unique_ptr<gchar, decltype(&g_free)> folder(g_path_get_dirname(path.c_str()), g_free);
  return RealFolder(folder.get()) == RealFolder(JobFilesFolder(jobs_folder));
}

OutsideJobOffer OfferOutsideJobFile(const std::string& path, const std::string& job_name,
                                    const std::string& jobs_folder) {
  OutsideJobOffer offer;
  offer.path = path;
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> bytes = ReadFileBytes(path, kJobFileReadLimit, &failure);
  if (!bytes) {
    offer.refusal = ReadFailureMessage(path, failure);
    return offer;
  }
  Job job = ParseJobFile(*bytes);
  if (job.entries.empty()) {
    // An empty job would open nothing; the file stays where it is.
    offer.refusal = kEmptyJobFileMessage;
    return offer;
  }
  offer.truncated = job.truncated;
  offer.wanted = ValidJobNameFrom(job_name);
  if (offer.wanted.empty()) offer.wanted = kFallbackJobName;
  offer.job.name = UnusedJobName(offer.wanted, TakenJobNames(jobs_folder));
  offer.job.entries = std::move(job.entries);
  return offer;
}

std::string AddOutsideJobQuestion(const OutsideJobOffer& offer) {
  std::string text =
      "ジョブファイル「" + ShortenForDisplay(offer.path) + "」はジョブの一覧にありません。\r\n";
  if (offer.job.name != offer.wanted)
    text += "ジョブ「" + offer.wanted + "」は既にあるため、ジョブ「" + offer.job.name + "」";
  else
    text += "ジョブ「" + offer.job.name + "」";
  text += "として追加して開きますか？";
  if (offer.truncated)
    text += "\r\n(先頭の " + std::to_string(kMaxJobEntries) + " 件のURLだけを追加します)";
  return text;
}

std::string AddOutsideJobFailure(const std::string& error) {
  return "ジョブを追加できませんでした。\r\n" + error;
}

}  // namespace tarvik
