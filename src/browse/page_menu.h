// The page's own menu as Tarvik shows it: the engine's rows with Japanese captions whatever the
// locale, in groups, and the rows that put links into jobs.
#pragma once

#include <string>
#include <vector>

#include "platform/browser_control.h"

namespace tarvik {

inline constexpr char kAddLinkToJobCaption[] = "ﾘﾝｸをｼﾞｮﾌﾞに追加";
inline constexpr char kJobFromSelectionLinksCaption[] = "選択範囲のﾘﾝｸからｼﾞｮﾌﾞを作成...";

// Tarvik's caption of an engine row, "" for a row the menu leaves out. A spelling guess is
// its word (`engine_label`).
std::string PageActionCaption(PageAction action, const std::string& engine_label);

struct PlannedPageRow {
  enum class Kind { Engine, AddLinkToJob, JobFromSelection, Separator };
  Kind kind = Kind::Separator;
  int engine_row = -1;  // Engine
  std::string caption;
  bool operator==(const PlannedPageRow&) const = default;
};

// The rows for `context`: the engine's rows that have a caption, in its order, a separator
// between groups (spelling, link, picture, media, going back and forth, editing); after the
// link's rows, the link into a job (a link a job can hold); and on a selection with links, the
// job made of them.
std::vector<PlannedPageRow> PlanPageMenu(const PageMenuContext& context);

}  // namespace tarvik
