#include "browse/page_menu.h"

namespace tarvik {

namespace {

enum class Group { Spelling, Link, Picture, Media, Going, Editing, None };

Group GroupOf(PageAction a) {
  switch (a) {
    case PageAction::SpellingGuess:
    case PageAction::NoGuessesFound:
    case PageAction::IgnoreSpelling:
    case PageAction::LearnSpelling: return Group::Spelling;
    case PageAction::OpenLink:
    case PageAction::OpenLinkInNewWindow:
    case PageAction::DownloadLink:
    case PageAction::CopyLinkAddress: return Group::Link;
    case PageAction::OpenImageInNewWindow:
    case PageAction::DownloadImage:
    case PageAction::CopyImageAddress:
    case PageAction::CopyImage: return Group::Picture;
    case PageAction::OpenMediaInNewWindow:
    case PageAction::DownloadMedia:
    case PageAction::CopyMediaAddress:
    case PageAction::Play:
    case PageAction::Pause:
    case PageAction::Mute:
    case PageAction::MediaControls:
    case PageAction::MediaLoop:
    case PageAction::MediaFullScreen: return Group::Media;
    case PageAction::Back:
    case PageAction::Forward:
    case PageAction::Stop:
    case PageAction::Reload: return Group::Going;
    case PageAction::Copy:
    case PageAction::Cut:
    case PageAction::Paste:
    case PageAction::Delete:
    case PageAction::SelectAll: return Group::Editing;
    case PageAction::Other: return Group::None;
  }
  return Group::None;
}

// A link a job entry can hold: one that opens a page.
bool IsJobLink(const std::string& url) {
  for (const char* scheme : {"http://", "https://", "file://", "ftp://"})
    if (url.rfind(scheme, 0) == 0) return true;
  return false;
}

}  // namespace

std::string PageActionCaption(PageAction action, const std::string& engine_label) {
  switch (action) {
    case PageAction::OpenLink: return "ﾘﾝｸを開く(&O)";
    case PageAction::OpenLinkInNewWindow: return "新しいｳｨﾝﾄﾞｳでﾘﾝｸを開く(&W)";
    case PageAction::DownloadLink: return "ﾘﾝｸ先を保存(&K)...";
    case PageAction::CopyLinkAddress: return "ﾘﾝｸのURLをｺﾋﾟｰ(&L)";
    case PageAction::OpenImageInNewWindow: return "新しいｳｨﾝﾄﾞｳで画像を開く(&I)";
    case PageAction::DownloadImage: return "画像を保存(&S)...";
    case PageAction::CopyImageAddress: return "画像のURLをｺﾋﾟｰ(&U)";
    case PageAction::CopyImage: return "画像をｺﾋﾟｰ(&Y)";
    case PageAction::Back: return "戻る(&B)";
    case PageAction::Forward: return "進む(&F)";
    case PageAction::Stop: return "中止(&T)";
    case PageAction::Reload: return "更新(&R)";
    case PageAction::Copy: return "ｺﾋﾟｰ(&C)";
    case PageAction::Cut: return "切り取り(&X)";
    case PageAction::Paste: return "貼り付け(&P)";
    case PageAction::Delete: return "削除(&D)";
    case PageAction::SelectAll: return "すべて選択(&A)";
    case PageAction::SpellingGuess: return engine_label;
    case PageAction::NoGuessesFound: return "候補なし";
    case PageAction::IgnoreSpelling: return "無視(&G)";
    case PageAction::LearnSpelling: return "辞書に追加(&N)";
    case PageAction::OpenMediaInNewWindow: return "新しいｳｨﾝﾄﾞｳで開く(&W)";
    case PageAction::DownloadMedia: return "ﾒﾃﾞｨｱを保存(&S)...";
    case PageAction::CopyMediaAddress: return "ﾒﾃﾞｨｱのURLをｺﾋﾟｰ(&U)";
    case PageAction::Play: return "再生(&P)";
    case PageAction::Pause: return "一時停止(&P)";
    case PageAction::Mute: return "消音(&M)";
    case PageAction::MediaControls: return "ｺﾝﾄﾛｰﾙを表示(&C)";
    case PageAction::MediaLoop: return "繰り返し(&L)";
    case PageAction::MediaFullScreen: return "全画面(&F)";
    case PageAction::Other: return "";
  }
  return "";
}

std::vector<PlannedPageRow> PlanPageMenu(const PageMenuContext& context) {
  using Kind = PlannedPageRow::Kind;
  std::vector<PlannedPageRow> rows;
  Group last = Group::None;
  bool link_job_added = false;
  const bool link_job = IsJobLink(context.link_url);
  auto separate = [&rows] {
    if (!rows.empty() && rows.back().kind != Kind::Separator) rows.push_back({});
  };
  auto add_link_job = [&] {
    rows.push_back({Kind::AddLinkToJob, -1, kAddLinkToJobCaption});
    link_job_added = true;
  };
  for (size_t i = 0; i < context.engine_rows.size(); ++i) {
    const PageAction action = context.engine_rows[i];
    const std::string label = i < context.engine_labels.size() ? context.engine_labels[i] : "";
    const std::string caption = PageActionCaption(action, label);
    if (caption.empty()) continue;
    const Group group = GroupOf(action);
    if (group != last) {
      if (last == Group::Link && link_job) add_link_job();
      separate();
      last = group;
    }
    rows.push_back({Kind::Engine, static_cast<int>(i), caption});
  }
  if (link_job && !link_job_added) {
    // With the link's own rows when they came last; in a group of its own without them.
    if (last != Group::Link) separate();
    add_link_job();
  }
  if (context.selection_has_links) {
    separate();
    rows.push_back({Kind::JobFromSelection, -1, kJobFromSelectionLinksCaption});
  }
  if (!rows.empty() && rows.back().kind == Kind::Separator) rows.pop_back();
  return rows;
}

}  // namespace tarvik
