#include "jobs/frm_pick_links.h"

#include <glibmm/main.h>
#include <gtkmm/cellrenderertext.h>
#include <gtkmm/cellrenderertoggle.h>

#include <algorithm>

#include "jobs/link_list.h"
#include "platform/accessible.h"
#include "platform/dialogs.h"
#include "platform/display_text.h"
#include "platform/search_fold.h"
#include "platform/text_column.h"

namespace tarvik {

namespace {

// How long the filter goes through links before the main loop has its turn.
constexpr gint64 kFilterSliceMicroseconds = 8000;

}  // namespace

// The rows of the view: a list model over the places of the links shown, one column of int. A
// list store would hold a row object per link and take a call per row to fill; this holds one
// vector, made in one go.
struct LinkRows {
  GObject parent;
  std::vector<int>* links;
};
struct LinkRowsClass {
  GObjectClass parent_class;
};

namespace {

void link_rows_tree_model_init(GtkTreeModelIface* iface);

}  // namespace

G_DEFINE_TYPE_WITH_CODE(LinkRows, link_rows, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(GTK_TYPE_TREE_MODEL, link_rows_tree_model_init))

namespace {

constexpr gint kLinkRowsStamp = 0x4c52;

std::vector<int>& RowsOf(GtkTreeModel* model) { return *reinterpret_cast<LinkRows*>(model)->links; }

gboolean SetRow(GtkTreeModel* model, GtkTreeIter* iter, gint row) {
  if (row < 0 || row >= static_cast<gint>(RowsOf(model).size())) {
    iter->stamp = 0;
    return FALSE;
  }
  iter->stamp = kLinkRowsStamp;
  iter->user_data = GINT_TO_POINTER(row);
  return TRUE;
}

gint RowOf(GtkTreeIter* iter) { return GPOINTER_TO_INT(iter->user_data); }

void link_rows_tree_model_init(GtkTreeModelIface* iface) {
  iface->get_flags = [](GtkTreeModel*) {
    return static_cast<GtkTreeModelFlags>(GTK_TREE_MODEL_LIST_ONLY | GTK_TREE_MODEL_ITERS_PERSIST);
  };
  iface->get_n_columns = [](GtkTreeModel*) { return 1; };
  iface->get_column_type = [](GtkTreeModel*, gint) { return G_TYPE_INT; };
  iface->get_iter = [](GtkTreeModel* model, GtkTreeIter* iter, GtkTreePath* path) {
    if (gtk_tree_path_get_depth(path) != 1) return FALSE;
    return SetRow(model, iter, gtk_tree_path_get_indices(path)[0]);
  };
  iface->get_path = [](GtkTreeModel*, GtkTreeIter* iter) {
    return gtk_tree_path_new_from_indices(RowOf(iter), -1);
  };
  iface->get_value = [](GtkTreeModel* model, GtkTreeIter* iter, gint, GValue* value) {
    g_value_init(value, G_TYPE_INT);
    g_value_set_int(value, RowsOf(model).at(static_cast<size_t>(RowOf(iter))));
  };
  iface->iter_next = [](GtkTreeModel* model, GtkTreeIter* iter) {
    return SetRow(model, iter, RowOf(iter) + 1);
  };
  iface->iter_previous = [](GtkTreeModel* model, GtkTreeIter* iter) {
    return SetRow(model, iter, RowOf(iter) - 1);
  };
  iface->iter_children = [](GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent) {
    return parent ? FALSE : SetRow(model, iter, 0);
  };
  iface->iter_has_child = [](GtkTreeModel*, GtkTreeIter*) { return FALSE; };
  iface->iter_n_children = [](GtkTreeModel* model, GtkTreeIter* iter) {
    return iter ? 0 : static_cast<gint>(RowsOf(model).size());
  };
  iface->iter_nth_child = [](GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent, gint n) {
    return parent ? FALSE : SetRow(model, iter, n);
  };
  iface->iter_parent = [](GtkTreeModel*, GtkTreeIter* iter, GtkTreeIter*) { return FALSE; };
}

// The view's model of the links at `links`.
Glib::RefPtr<Gtk::TreeModel> LinkRowsOf(std::vector<int> links) {
  auto* rows = static_cast<LinkRows*>(g_object_new(link_rows_get_type(), nullptr));
  *rows->links = std::move(links);
  return Glib::wrap(GTK_TREE_MODEL(rows), false);
}

}  // namespace

static void link_rows_init(LinkRows* self) { self->links = new std::vector<int>; }

static void link_rows_class_init(LinkRowsClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = [](GObject* object) {
    delete reinterpret_cast<LinkRows*>(object)->links;
    G_OBJECT_CLASS(link_rows_parent_class)->finalize(object);
  };
}

frmPickLinks::frmPickLinks(Gtk::Window& owner, std::vector<JobEntry> links)
    : frmPickLinks(owner, std::move(*MakePickList(std::move(links)))) {}

frmPickLinks::frmPickLinks(Gtk::Window& owner, PickList list)
    : Gtk::Dialog(kCaption, owner, true),
      links_(std::move(list.links)),
      keys_(std::move(list.keys)) {
  set_default_size(640, 440);
  checked_.assign(links_.size(), 1);
  checked_count_ = static_cast<int>(links_.size());
  shown_.assign(links_.size(), 1);
  shown_links_.resize(links_.size());
  for (size_t i = 0; i < links_.size(); ++i) shown_links_[i] = static_cast<int>(i);
  shown_checked_ = checked_count_;

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
  filter_.signal_changed().connect(sigc::mem_fun(*this, &frmPickLinks::StartFilter));
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
    if (auto row = view_.get_model()->get_iter(path)) {
      const int link = LinkOf(row);
      SetChecked(link, !checked_[link]);
    }
  });
  view_.append_column(*check_column);

  for (const bool url : {false, true})
    AppendTextColumn(view_, url ? "URL" : "タイトル", url ? 300 : 260, url,
                     [this, url](const Gtk::TreeModel::iterator& row) {
                       const JobEntry& link = links_[LinkOf(row)];
                       return url ? link.URL : link.Title;
                     });
  view_.set_fixed_height_mode(true);
  view_.set_enable_search(false);
  view_.set_tooltip_text("ジョブに入れるリンクの一覧");
  SetAccessibleName(view_, "リンクの一覧");
  view_.set_model(LinkRowsOf(shown_links_));
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
  if (shown_[link]) shown_checked_ += checked ? 1 : -1;
  ShowCount();
  view_.queue_draw();
}

void frmPickLinks::CheckShown(bool checked) {
  FinishFilter();  // the links of the text typed, not of the text before
  for (const int link : shown_links_) {
    if ((checked_[link] != 0) == checked) continue;
    checked_[link] = checked ? 1 : 0;
    checked_count_ += checked ? 1 : -1;
  }
  shown_checked_ = checked ? static_cast<int>(shown_links_.size()) : 0;
  ShowCount();
  view_.queue_draw();
}

void frmPickLinks::ShowCount() {
  if (words_.empty()) {
    count_.set_text(std::to_string(links_.size()) + " 件中 " + std::to_string(checked_count_) +
                    " 件を選択");
  } else {
    count_.set_text("表示 " + std::to_string(shown_links_.size()) + " 件中 " +
                    std::to_string(shown_checked_) + " 件を選択");
  }
}

void frmPickLinks::StartFilter() {
  next_words_ = SearchWords(filter_.get_text().raw());
  next_at_ = 0;
  next_shown_.assign(links_.size(), 0);
  next_links_.clear();
  if (!filtering_.connected())
    filtering_ = Glib::signal_idle().connect(sigc::mem_fun(*this, &frmPickLinks::FilterSlice));
}

bool frmPickLinks::FilterSlice() {
  const gint64 until = g_get_monotonic_time() + kFilterSliceMicroseconds;
  while (next_at_ < links_.size()) {
    // The clock is read once every few hundred links.
    const size_t end = std::min(next_at_ + 512, links_.size());
    for (; next_at_ < end; ++next_at_) {
      if (!next_words_.empty() && !MatchesSearch(keys_[next_at_], next_words_)) continue;
      const int link = static_cast<int>(next_at_);
      next_shown_[next_at_] = 1;
      next_links_.push_back(link);
    }
    if (g_get_monotonic_time() > until) return true;
  }
  ShowFiltered();
  return false;
}

void frmPickLinks::FinishFilter() {
  if (!filtering_.connected()) return;
  filtering_.disconnect();
  while (FilterSlice()) {
  }
}

void frmPickLinks::ShowFiltered() {
  filtering_.disconnect();
  words_ = std::move(next_words_);
  shown_ = std::move(next_shown_);
  shown_links_ = std::move(next_links_);
  next_shown_.clear();
  next_links_.clear();
  shown_checked_ = 0;
  for (const int link : shown_links_) shown_checked_ += checked_[link];
  // A new model for each text: refiltering a model the view shows would report each row that
  // comes or goes to the view, one at a time.
  view_.set_model(LinkRowsOf(shown_links_));
  ShowCount();
}

std::vector<int> frmPickLinks::ShownLinks() {
  FinishFilter();
  return shown_links_;
}

std::vector<JobEntry> frmPickLinks::Checked() {
  FinishFilter();
  std::vector<JobEntry> picked;
  picked.reserve(shown_checked_);
  for (const int link : shown_links_)
    if (checked_[link]) picked.push_back(links_[link]);
  return picked;
}

void frmPickLinks::on_response(int response_id) {
  if (response_id == Gtk::RESPONSE_OK) {
    FinishFilter();
    // A refused OK keeps the dialog open (Run asks again) and says why once the click that
    // answered has returned.
    std::string refusal;
    if (shown_checked_ == 0) {
      refusal = kNothingChecked;
    } else if (shown_checked_ > kMaxJobEntries) {
      refusal = "ジョブには " + std::to_string(kMaxJobEntries) + " 件を超えるURLを登録できません。";
    }
    if (!refusal.empty()) {
      AfterAction(*this, [this, refusal] { ShowError(this, refusal); })();
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
