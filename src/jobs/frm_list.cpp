#include "jobs/frm_list.h"

namespace tarvik {

frmList::frmList(Gtk::Window& owner, ListExchange& exchange)
    : Gtk::Dialog("ｼﾞｮﾌﾞ（）", owner, true), exchange_(exchange) {
  set_title("ｼﾞｮﾌﾞ（" + exchange_.ListJobName + "）");
  set_default_size(560, 360);

  store_ = Gtk::ListStore::create(columns_);
  for (int i = 0; i <= exchange_.ListLastIdx && i < static_cast<int>(exchange_.ListTitles.size()); ++i) {
    auto row = *store_->append();
    row[columns_.title] = exchange_.ListTitles[i];
    row[columns_.url] = i < static_cast<int>(exchange_.ListURLs.size()) ? exchange_.ListURLs[i] : "";
  }
  lsvList_.set_model(store_);
  lsvList_.append_column("タイトル", columns_.title);
  lsvList_.append_column("URL", columns_.url);
  for (int c = 0; c < 2; ++c) {
    lsvList_.get_column(c)->set_resizable(true);
    lsvList_.get_column(c)->set_expand(c == 1);
  }
  lsvList_.get_column(0)->set_fixed_width(220);
  lsvList_.set_tooltip_text("ジョブに登録されたURLの一覧");
  lsvList_.signal_row_activated().connect(
      [this](const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*) { response(Gtk::RESPONSE_OK); });

  scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scroll_.set_shadow_type(Gtk::SHADOW_IN);
  scroll_.add(lsvList_);
  get_content_area()->pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);
  get_content_area()->set_border_width(6);

  cmdOK_ = add_button("_OK", Gtk::RESPONSE_OK);
  cmdOK_->set_tooltip_text("選択したURLを開く");
  cmdCancel_ = add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  cmdCancel_->set_tooltip_text("ウィンドウを閉じる");
  show_all_children();
}

void frmList::Choose() {
  // OK with no row selected answers as Cancel does.
  exchange_.ListResultIdx = -1;
  if (auto row = lsvList_.get_selection()->get_selected()) {
    Gtk::TreeModel::Path path = store_->get_path(row);
    exchange_.ListResultIdx = path[0];
  }
}

void frmList::Run() {
  // Cancel and the close box answer -1.
  exchange_.ListResultIdx = -1;
  if (run() == Gtk::RESPONSE_OK) Choose();
  hide();
}

}  // namespace tarvik
