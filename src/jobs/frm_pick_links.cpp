#include "jobs/frm_pick_links.h"

#include <gtkmm/cellrenderertext.h>
#include <gtkmm/cellrenderertoggle.h>

#include "jobs/link_list.h"
#include "platform/accessible.h"
#include "platform/dialogs.h"
#include "platform/display_text.h"

namespace tarvik {

frmPickLinks::frmPickLinks(Gtk::Window& owner, std::vector<JobEntry> links)
    : Gtk::Dialog(kCaption, owner, true), links_(std::move(links)) {
  set_default_size(640, 440);
  keys_.reserve(links_.size());
  for (const JobEntry& link : links_) keys_.push_back(FilterKey(link));
  checked_.assign(links_.size(), 1);
  checked_count_ = static_cast<int>(links_.size());

  auto* box = get_content_area();
  box->set_border_width(6);
  box->set_spacing(6);
  prompt_.set_text("ジョブに入れるリンクを選んでください。");
  prompt_.set_xalign(0);
  box->pack_start(prompt_, Gtk::PACK_SHRINK);
  filter_.set_placeholder_text("絞り込み（タイトルまたはURL）");
  filter_.set_tooltip_text("入力した語を含むリンクだけを表示する");
  // Enter in the filter box accepts the dialog.
  filter_.signal_activate().connect([this] { response(Gtk::RESPONSE_OK); });
  filter_.signal_changed().connect([this] {
    words_ = FilterWords(filter_.get_text().raw());
    shown_->refilter();
  });
  box->pack_start(filter_, Gtk::PACK_SHRINK);
  SetAccessibleName(filter_, "絞り込み");

  BuildList();
  scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scroll_.set_shadow_type(Gtk::SHADOW_IN);
  scroll_.add(view_);
  box->pack_start(scroll_, Gtk::PACK_EXPAND_WIDGET);

  select_all_.set_label("すべて選択");
  select_all_.set_tooltip_text("表示中のリンクをすべて選択する");
  select_all_.signal_clicked().connect([this] { CheckShown(true); });
  clear_all_.set_label("選択解除");
  clear_all_.set_tooltip_text("表示中のリンクの選択をすべて解除する");
  clear_all_.signal_clicked().connect([this] { CheckShown(false); });
  row_.set_spacing(6);
  row_.pack_start(select_all_, Gtk::PACK_SHRINK);
  row_.pack_start(clear_all_, Gtk::PACK_SHRINK);
  row_.pack_end(count_, Gtk::PACK_SHRINK);
  box->pack_start(row_, Gtk::PACK_SHRINK);
  ShowCount();

  ok_ = add_button("OK", Gtk::RESPONSE_OK);
  cancel_ = add_button(kCancelCaption, Gtk::RESPONSE_CANCEL);
  set_default_response(Gtk::RESPONSE_OK);
  show_all_children();
  filter_.grab_focus();
}

void frmPickLinks::BuildList() {
  store_ = Gtk::ListStore::create(columns_);
  // The store is filled before a view watches it.
  for (int i = 0; i < static_cast<int>(links_.size()); ++i) (*store_->append())[columns_.link] = i;
  shown_ = Gtk::TreeModelFilter::create(store_);
  shown_->set_visible_func([this](const Gtk::TreeModel::const_iterator& row) {
    if (words_.empty()) return true;
    const int link = (*row)[columns_.link];
    return link >= 0 && link < static_cast<int>(keys_.size()) && MatchesFilter(keys_[link], words_);
  });

  auto* check_column = Gtk::manage(new Gtk::TreeViewColumn(""));
  auto* check = Gtk::manage(new Gtk::CellRendererToggle);
  check->set_activatable(true);
  check_column->pack_start(*check, false);
  check_column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
  check_column->set_fixed_width(32);
  check_column->set_cell_data_func(
      *check, [this, check](Gtk::CellRenderer*, const Gtk::TreeModel::iterator& row) {
        check->set_active(checked_[LinkOf(row)] != 0);
      });
  check->signal_toggled().connect([this](const Glib::ustring& path) {
    if (auto row = shown_->get_iter(path)) {
      const int link = LinkOf(row);
      SetChecked(link, !checked_[link]);
    }
  });
  view_.append_column(*check_column);

  auto add_text_column = [this](const char* caption, bool url, int width) {
    auto* column = Gtk::manage(new Gtk::TreeViewColumn(caption));
    auto* cell = Gtk::manage(new Gtk::CellRendererText);
    column->pack_start(*cell, true);
    // Fixed sizes spare the view measuring every row of a long list.
    column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    column->set_fixed_width(width);
    column->set_resizable(true);
    column->set_expand(url);
    cell->property_ellipsize() = Pango::ELLIPSIZE_END;
    column->set_cell_data_func(
        *cell, [this, cell, url](Gtk::CellRenderer*, const Gtk::TreeModel::iterator& row) {
          const JobEntry& link = links_[LinkOf(row)];
          cell->property_text() = ShortenForDisplay(url ? link.URL : link.Title);
        });
    view_.append_column(*column);
  };
  add_text_column("タイトル", false, 260);
  add_text_column("URL", true, 300);
  view_.set_fixed_height_mode(true);
  view_.set_enable_search(false);
  view_.set_tooltip_text("ジョブに入れるリンクの一覧");
  SetAccessibleName(view_, "リンクの一覧");
  view_.set_model(shown_);
  // Enter on a row accepts the dialog, as it does in the filter box.
  view_.signal_row_activated().connect(
      [this](const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*) { response(Gtk::RESPONSE_OK); });
}

int frmPickLinks::LinkOf(const Gtk::TreeModel::iterator& row) const {
  const int link = (*row)[columns_.link];
  return link;
}

void frmPickLinks::SetChecked(int link, bool checked) {
  if (link < 0 || link >= static_cast<int>(checked_.size()) || (checked_[link] != 0) == checked)
    return;
  checked_[link] = checked ? 1 : 0;
  checked_count_ += checked ? 1 : -1;
  ShowCount();
  view_.queue_draw();
}

void frmPickLinks::CheckShown(bool checked) {
  for (const auto& row : shown_->children()) {
    const int link = row[columns_.link];
    if ((checked_[link] != 0) == checked) continue;
    checked_[link] = checked ? 1 : 0;
    checked_count_ += checked ? 1 : -1;
  }
  ShowCount();
  view_.queue_draw();
}

void frmPickLinks::ShowCount() {
  count_.set_text(std::to_string(links_.size()) + " 件中 " + std::to_string(checked_count_) +
                  " 件を選択");
}

std::vector<int> frmPickLinks::ShownLinks() const {
  std::vector<int> shown;
  for (const auto& row : shown_->children()) shown.push_back(row[columns_.link]);
  return shown;
}

std::vector<JobEntry> frmPickLinks::Checked() const {
  std::vector<JobEntry> picked;
  picked.reserve(checked_count_);
  for (size_t i = 0; i < links_.size(); ++i)
    if (checked_[i]) picked.push_back(links_[i]);
  return picked;
}

void frmPickLinks::on_response(int response_id) {
  if (response_id == Gtk::RESPONSE_OK) {
    if (checked_count_ == 0) {
      // The dialog stays open (Run asks again).
      ShowError(this, kNothingChecked);
      return;
    }
    if (checked_count_ > kMaxJobEntries) {
      ShowError(this, "ジョブには " + std::to_string(kMaxJobEntries) +
                          " 件を超えるURLを登録できません。");
      return;
    }
  }
  closed_ = true;
  Gtk::Dialog::on_response(response_id);
}

std::optional<std::vector<JobEntry>> frmPickLinks::Run() {
  int answer = Gtk::RESPONSE_NONE;
  // A refused OK keeps the dialog open: run() ends only on an answer that closed it.
  do answer = run();
  while (!closed_ && answer != Gtk::RESPONSE_DELETE_EVENT && answer != Gtk::RESPONSE_NONE);
  hide();
  if (answer != Gtk::RESPONSE_OK || !closed_) return std::nullopt;
  return Checked();
}

}  // namespace tarvik
