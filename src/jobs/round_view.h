// What a round through a job shows the user: which entries are marked as changed or new since
// they were last seen, which of them the step to the next update opens, the place label and the
// status texts, and which text blocks of a page were not there at the last visit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// An entry's mark after a check: its visible text differs from what the user last saw, or the
// user has never seen it.
enum class RoundMark { None, Changed, New };

// The mark put before an entry's title in the list dialog; "" for none.
const char* RoundMarkText(RoundMark mark);

// The entries the step to the next update opens, in the order it opens them: the next marked
// entry after `current`, going round past the last entry to the first. Nothing when no entry
// other than `current` is marked.
std::optional<int> NextMarkedEntry(const std::vector<RoundMark>& marks, int current);

// How many entries carry a mark.
int MarkedCount(const std::vector<RoundMark>& marks);

// The place label: the designed place text ("3 / 120"), followed by " · 更新 12" while `marked`
// entries are marked; "更新 12" alone while the page shown is not the current entry's.
std::string RoundPlaceText(const std::string& place, int marked);

// The blocks of `now` that were not among `before`: each block of `before` accounts for one equal
// block of `now`, so a paragraph repeated once more is new once. In the order of `now`.
std::vector<std::string> NewBlocks(const std::vector<std::string>& before,
                                   const std::vector<std::string>& now);

// Whether a response of this Content-Type is a page whose text a round keeps: HTML, or a type
// not named.
bool IsHtmlContentType(const std::string& content_type);
// The charset a Content-Type names, lower-cased and unquoted; "" for none.
std::string CharsetOf(const std::string& content_type);

// "前回から 3 か所が変わりました".
std::string ChangedPlacesText(int places);
// The status bar's word at the end of a check: "更新の確認が終わりました (更新 3 · 新規 1 ·
// 接続できません 2)", the parts without pages left out.
std::string CheckDoneText(int changed, int added, int unreachable);

// Checking marked jobs on their own while Tarvik runs: the interval setting's value as hours
// (0, off, for anything that is not a whole number from 1 to 168), and whether a round of those
// checks is due at `now` when the last began at `last` (0: none yet; the first is due an interval
// after `started`, the moment the first page was shown).
int AutoCheckHours(const std::string& setting);
bool AutoCheckDue(int64_t now, int64_t started, int64_t last, int hours);
// What the job selector's list shows beside a job whose check found pages to look at: "更新 3";
// "" for none.
std::string JobNoteText(int marked);

// The captions of the round's commands and of the list dialog's filter.
inline constexpr char kCheckUpdatesCaption[] = "更新の確認(&K)";
inline constexpr char kNextUpdateCaption[] = "次の更新ﾍﾟｰｼﾞへ(&W)";
inline constexpr char kNextUpdateShortcut[] = "Alt+N";
inline constexpr char kMarkAllSeenCaption[] = "すべて確認済みにする(&Z)";
inline constexpr char kHighlightChangesCaption[] = "変わった箇所を強調表示(&L)";
inline constexpr char kOnlyUpdatedCaption[] = "更新されたﾍﾟｰｼﾞだけ表示(&O)";
inline constexpr char kNoUpdatesNotice[] = "更新されたﾍﾟｰｼﾞはありません";
inline constexpr char kAllSeenNotice[] = "すべてのﾍﾟｰｼﾞを確認済みにしました";
inline constexpr char kAutoCheckJobCaption[] = "このｼﾞｮﾌﾞを自動で確認(&A)";
inline constexpr char kAutoCheckHoursCaption[] = "更新の自動確認の間隔(&A)...";
inline constexpr char kAutoCheckHoursPrompt[] =
    "ﾁｪｯｸを付けたｼﾞｮﾌﾞの更新を確認する間隔を時間で入力してください (0 で確認しません)";
inline constexpr char kCheckCancelledNotice[] = "更新の確認を中止しました";
inline constexpr char kNoCheckNotice[] = "このｼﾞｮﾌﾞには確認できるﾍﾟｰｼﾞがありません";

}  // namespace tarvik
