#include "jobs/frm_list.h"

#include <glib.h>

#include "jobs/job_cursor.h"
#include "platform/accessible.h"
#include "platform/display_text.h"
#include "platform/text_column.h"

namespace tarvik {

frmList::frmList(Gtk::Window& owner, ListExchange& exchange)
    : Gtk::Dialog("ｼﾞｮﾌﾞ（）", owner, true), exchange_(exchange) {
  set_title("ｼﾞｮﾌﾞ（" + ShortenForDisplay(exchange_.ListJobName) + "）");
  set_default_size(560, 360);

  store_ = Gtk::ListStore::create(columns_);
  filter_ = Gtk::TreeModelFilter::create(store_);
  filter_->set_visible_func([this](const Gtk::TreeModel::const_iterator& row) {
    return !chkOnlyUpdated_.get_active() ||
           static_cast<RoundMark>(int((*row)[columns_.mark])) != RoundMark::None;
  });
  AppendTextColumn(lsvList_, "タイトル", 220, false, [this](const Gtk::TreeModel::iterator& row) {
    // A round's mark stands before the title.
    return RoundMarkText(static_cast<RoundMark>(int((*row)[columns_.mark]))) +
           Glib::ustring((*row)[columns_.title]).raw();
  });
  AppendTextColumn(lsvList_, "URL", 300, true, columns_.url);
  lsvList_.set_fixed_height_mode(true);
  FillRows();
  // Typing searches titles and addresses alike.
  lsvList_.set_enable_search(true);
  lsvList_.set_search_column(columns_.title);
  lsvList_.set_search_equal_func([this](const Glib::RefPtr<Gtk::TreeModel>&, int,
                                        const Glib::ustring& key,
                                        const Gtk::TreeModel::iterator& row) {
    // The slot answers "no match" with true.
    return !ListRowMatches(key.raw(), Glib::ustring((*row)[columns_.title]).raw(),
                           Glib::ustring((*row)[columns_.url]).raw());
  });
  ShowCurrentRow();
  lsvList_.set_tooltip_text("ジョブに登録されたURLの一覧");
  SetAccessibleName(lsvList_, "URLリスト");
  lsvList_.signal_row_activated().connect(
      [this](const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*) { response(Gtk::RESPONSE_OK); });

  scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scroll_.set_shadow_type(Gtk::SHADOW_IN);
  scroll_.add(lsvList_);
  get_content_area()->pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
  get_content_area()->set_border_width(6);

  // Only while the round marked some entry.
  chkOnlyUpdated_.set_label(MnemonicCaption(kOnlyUpdatedCaption));
  chkOnlyUpdated_.set_use_underline(true);
  chkOnlyUpdated_.signal_toggled().connect([this] {
    filter_->refilter();
    ShowCurrentRow();
  });
  get_content_area()->pack_start(chkOnlyUpdated_, Gtk::PACK_SHRINK);

  cmdOK_ = add_button("_OK", Gtk::RESPONSE_OK);
  cmdOK_->set_tooltip_text("選択したURLを開く");
  cmdCancel_ = add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  cmdCancel_->set_tooltip_text("ウィンドウを閉じる");
  show_all_children();
  int marked = 0;
  for (RoundMark m : exchange_.ListMarks) marked += m != RoundMark::None;
  chkOnlyUpdated_.set_visible(marked > 0);
}

void frmList::FillRows() {
  // The store is filled while no view watches it, then attached once.
  lsvList_.unset_model();
  store_->clear();
  for (int i = 0; i <= exchange_.ListLastIdx && i < static_cast<int>(exchange_.ListTitles.size());
       ++i) {
    auto row = *store_->append();
    row[columns_.title] = exchange_.ListTitles[i];
    row[columns_.url] =
        i < static_cast<int>(exchange_.ListURLs.size()) ? exchange_.ListURLs[i] : "";
    row[columns_.mark] =
        static_cast<int>(i < static_cast<int>(exchange_.ListMarks.size()) ? exchange_.ListMarks[i]
                                                                          : RoundMark::None);
    row[columns_.entry] = i;
  }
  lsvList_.set_model(filter_);
}

void frmList::ShowCurrentRow() {
  const int current = exchange_.ListCurrentIdx;
  if (current < 0 || current >= static_cast<int>(store_->children().size())) return;
  Gtk::TreeModel::Path entry;
  entry.push_back(current);
  Gtk::TreeModel::Path path = filter_->convert_child_path_to_path(entry);
  if (path.empty()) return;  // not among the rows shown
  lsvList_.set_cursor(path);
  // Before the view is realized GTK keeps the request and scrolls once it has its size.
  lsvList_.scroll_to_row(path, 0.5);
}

bool ListRowMatches(const std::string& key, const std::string& title, const std::string& url) {
  if (key.empty()) return true;
  auto folded = [](const std::string& text) {
    gchar* f = g_utf8_casefold(text.c_str(), static_cast<gssize>(text.size()));
    std::string out = f ? f : "";
    g_free(f);
    return out;
  };
  const std::string k = folded(key);
  return folded(title).find(k) != std::string::npos || folded(url).find(k) != std::string::npos;
}

void frmList::Choose() {
  // OK with no row selected answers as Cancel does.
  exchange_.ListResultIdx = -1;
  if (auto row = lsvList_.get_selection()->get_selected())
    exchange_.ListResultIdx = (*row)[columns_.entry];
}

void frmList::Run() {
  // Cancel and the close box answer -1.
  exchange_.ListResultIdx = -1;
  if (run() == Gtk::RESPONSE_OK) Choose();
  hide();
}

std::optional<int> ChooseJobEntry(Gtk::Window& owner, const JobCursor& job,
                                  const std::string& job_name, std::vector<RoundMark> marks) {
  ListExchange exchange{.ListCurrentIdx = job.current_index(), .ListMarks = std::move(marks)};
  exchange.ListJobName = job_name;
  exchange.ListLastIdx = job.last_index();
  for (const JobEntry& e : job.entries()) {
    exchange.ListTitles.push_back(e.Title);
    exchange.ListURLs.push_back(e.URL);
  }
  frmList dialog(owner, exchange);
  dialog.Run();
  if (exchange.ListResultIdx < 0) return std::nullopt;
  return exchange.ListResultIdx;
}

}  // namespace tarvik
