#include "jobs/frm_edit_job.h"

#include <gtkmm/clipboard.h>
#include <gtkmm/stylecontext.h>

#include <utility>

#include "favorites/favorites_commands.h"
#include "favorites/favorites_folder.h"
#include "favorites/shortcut_file.h"
#include "jobs/job_resume.h"
#include "jobs/job_trash.h"
#include "jobs/link_list.h"
#include "jobs/seen_state.h"
#include "platform/accessible.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "platform/display_text.h"
#include "platform/jobs_folder.h"
#include "platform/path_util.h"
#include "platform/style_sheet.h"

namespace tarvik {

namespace {

constexpr char kInvalidNameMessage[] = "ファイル名に使用できない文字が含まれています。";

// The designed font is "ＭＳ Ｐゴシック"; where it is missing, fontconfig falls through to
// IPAPGothic, which has the same metrics family.
constexpr char kEditorCss[] = R"css(
dialog.tarvik-editor, dialog.tarvik-editor * { font-family: "ＭＳ Ｐゴシック", "IPAPGothic", sans-serif; font-size: 9pt; }
dialog.tarvik-editor button.tarvik-arrow { min-width: 28px; padding-left: 4px; padding-right: 4px; }
dialog.tarvik-editor label.tarvik-caption { font-weight: bold; }
)css";

void SetUpButton(Gtk::Button& button, const char* caption, const char* tooltip) {
  button.set_label(caption);
  button.set_use_underline(true);
  button.set_tooltip_text(tooltip);
}

}  // namespace

frmEditJob::frmEditJob(Gtk::Window* owner, BrowserControl* first_window_browser)
    : owner_(owner),
      first_window_browser_(first_window_browser),
      app_folder_(JobsFolder()),
      rows_(Gtk::ListStore::create(columns_)) {
  InstallStyleSheet(kEditorCss);
  set_title(kCaption);
  set_modal(true);
  if (owner) set_transient_for(*owner);
  set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  set_default_size(640, 480);
  get_style_context()->add_class("tarvik-editor");
  BuildControls();
  SetUpDrops();
  get_content_area()->pack_start(grid_, Gtk::PACK_EXPAND_WIDGET);
  show_all_children();
}

void frmEditJob::BuildControls() {
  grid_.set_border_width(10);
  grid_.set_row_spacing(6);
  grid_.set_column_spacing(8);

  const char* captions[4] = {"編集対象ジョブ", "URLリスト", "タイトル", "URL"};
  for (int i = 0; i < 4; ++i) {
    Label_[i].set_text(captions[i]);
    Label_[i].set_xalign(0.0f);
  }
  Label_[0].get_style_context()->add_class("tarvik-caption");
  Label_[1].get_style_context()->add_class("tarvik-caption");

  // Row 0: the job selector with the two job commands beside it.
  cboJob_.set_tooltip_text("ジョブの選択");
  cboJob_.set_hexpand(true);
  // Room for a job's name however large the text is drawn; the dialog grows to give it.
  cboJob_.set_width_chars(20);
  cboJob_.signal_changed().connect(sigc::mem_fun(*this, &frmEditJob::cboJob_Click));
  SetUpButton(cmdName_, "ジョブ名の変更(_N)...", "選択ジョブの名前を変更");
  SetUpButton(cmdKillJob_, "ジョブの削除(_K)...", "選択ジョブを削除");
  // The buttons that may open a dialog (a question, a message) run once the click has returned.
  cmdName_.signal_clicked().connect(AfterAction(*this, [this] { cmdName_Click(); }));
  cmdKillJob_.signal_clicked().connect(AfterAction(*this, [this] { cmdKillJob_Click(); }));
  // The row has a box of its own, so the wide job buttons do not widen the side column below.
  job_row_.set_spacing(8);
  job_row_.pack_start(Label_[0], Gtk::PACK_SHRINK);
  job_row_.pack_start(cboJob_, Gtk::PACK_EXPAND_WIDGET);
  job_row_.pack_start(cmdName_, Gtk::PACK_SHRINK);
  job_row_.pack_start(cmdKillJob_, Gtk::PACK_SHRINK);
  grid_.attach(job_row_, 0, 0, 3, 1);

  // Rows 1 and 2: the entry list, with the two move buttons on its right.
  Label_[1].set_margin_top(4);
  grid_.attach(Label_[1], 0, 1, 2, 1);
  lsvURL_.set_model(rows_);
  lsvURL_.set_tooltip_text("ジョブに登録されたURLの一覧");
  lsvURL_.set_enable_search(false);
  auto add_column = [this](const char* caption, Gtk::TreeModelColumn<Glib::ustring>& column,
                           int width, bool expand) {
    auto* view_column = Gtk::manage(new Gtk::TreeViewColumn(caption, column));
    // Fixed sizes let the view lay out a job of tens of thousands of rows without measuring
    // every one of them.
    view_column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    view_column->set_fixed_width(width);
    view_column->set_resizable(true);
    view_column->set_expand(expand);
    if (auto* cell = dynamic_cast<Gtk::CellRendererText*>(view_column->get_first_cell())) {
      cell->property_ellipsize() = Pango::ELLIPSIZE_END;
      // The cell shows the beginning of a long text; the row keeps all of it.
      view_column->set_cell_data_func(
          *cell, [cell, &column](Gtk::CellRenderer*, const Gtk::TreeModel::iterator& row) {
            cell->property_text() = ShortenForDisplay(Glib::ustring((*row)[column]).raw());
          });
    }
    lsvURL_.append_column(*view_column);
  };
  add_column("タイトル", columns_.title, 200, false);
  add_column("URL", columns_.url, 260, true);
  lsvURL_.set_fixed_height_mode(true);
  lsvURL_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
  lsvURL_.get_selection()->signal_changed().connect([this] {
    if (!quiet_selection_) lsvURL_ItemClick();
  });
  // A click on the row that is already selected changes no selection but still puts the entry
  // back into the text boxes.
  lsvURL_.signal_button_release_event().connect(
      [this](GdkEventButton* event) {
        Gtk::TreeModel::Path path;
        if (event->button == 1 && event->window == lsvURL_.get_bin_window()->gobj() &&
            lsvURL_.get_path_at_pos(static_cast<int>(event->x), static_cast<int>(event->y), path))
          lsvURL_ItemClick();
        return false;
      },
      false);
  lsv_scroll_.set_shadow_type(Gtk::SHADOW_IN);
  lsv_scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  lsv_scroll_.set_hexpand(true);
  lsv_scroll_.set_vexpand(true);
  lsv_scroll_.add(lsvURL_);
  grid_.attach(lsv_scroll_, 0, 2, 2, 1);

  SetUpButton(cmdUp_, "↑", "順序を一つ上に移動");
  SetUpButton(cmdDown_, "↓", "順序を一つ下に移動");
  cmdUp_.get_style_context()->add_class("tarvik-arrow");
  cmdDown_.get_style_context()->add_class("tarvik-arrow");
  cmdUp_.signal_clicked().connect(sigc::mem_fun(*this, &frmEditJob::cmdUp_Click));
  cmdDown_.signal_clicked().connect(sigc::mem_fun(*this, &frmEditJob::cmdDown_Click));
  move_buttons_.set_spacing(6);
  move_buttons_.set_valign(Gtk::ALIGN_CENTER);
  move_buttons_.set_halign(Gtk::ALIGN_START);
  move_buttons_.pack_start(cmdUp_, Gtk::PACK_SHRINK);
  move_buttons_.pack_start(cmdDown_, Gtk::PACK_SHRINK);
  grid_.attach(move_buttons_, 2, 2);

  // Rows 3 and 4: the two text boxes, each with the button that fills them.
  txtTitle_.set_tooltip_text("タイトルの入力");
  txtURL_.set_tooltip_text("URLの入力");
  txtTitle_.set_hexpand(true);
  // The captions beside the boxes and the list are what a screen reader reads for them.
  SetAccessibleName(cboJob_, Label_[0].get_text());
  SetAccessibleName(lsvURL_, Label_[1].get_text());
  SetAccessibleName(txtTitle_, Label_[2].get_text());
  SetAccessibleName(txtURL_, Label_[3].get_text());
  txtURL_.set_hexpand(true);
  SetUpButton(cmdCurVw_, "表示中のページ(_L)", "メインウィンドウで表示中のURLを入力");
  SetUpButton(cmdFav_, "お気に入り(_F)...", "お気に入りからURLを入力");
  cmdCurVw_.signal_clicked().connect(sigc::mem_fun(*this, &frmEditJob::cmdCurVw_Click));
  cmdFav_.signal_clicked().connect(AfterAction(*this, [this] { cmdFav_Click(); }));
  Label_[2].set_margin_top(4);
  grid_.attach(Label_[2], 0, 3);
  grid_.attach(txtTitle_, 1, 3);
  grid_.attach(cmdCurVw_, 2, 3);
  grid_.attach(Label_[3], 0, 4);
  grid_.attach(txtURL_, 1, 4);
  grid_.attach(cmdFav_, 2, 4);

  // Row 5: the clearing option and the three entry commands.
  chkClear_.set_label("追加後、自動でテキストをクリア");
  chkClear_.set_tooltip_text("リスト追加時、入力欄を消去する");
  chkClear_.set_active(false);
  SetUpButton(cmdAdd_, "追加(_A)", "入力したデータをリストに追加");
  SetUpButton(cmdChange_, "変更(_T)", "選択したデータを入力したデータに変更");
  SetUpButton(cmdDel_, "削除(_D)", "選択したデータをリストから削除");
  cmdAdd_.signal_clicked().connect(AfterAction(*this, [this] { cmdAdd_Click(); }));
  cmdChange_.signal_clicked().connect(AfterAction(*this, [this] { cmdChange_Click(); }));
  cmdDel_.signal_clicked().connect(AfterAction(*this, [this] { cmdDel_Click(); }));
  entry_buttons_.set_spacing(6);
  entry_buttons_.pack_start(chkClear_, Gtk::PACK_EXPAND_WIDGET);
  entry_buttons_.pack_start(cmdAdd_, Gtk::PACK_SHRINK);
  entry_buttons_.pack_start(cmdChange_, Gtk::PACK_SHRINK);
  entry_buttons_.pack_start(cmdDel_, Gtk::PACK_SHRINK);
  grid_.attach(entry_buttons_, 0, 5, 3, 1);

  // Rows 6 and 7: save and close.
  rule_.set_margin_top(4);
  grid_.attach(rule_, 0, 6, 3, 1);
  SetUpButton(cmdRefresh_, "更新(_R)", "変更を保存して編集を続行する");
  SetUpButton(cmdOK_, "_OK", "変更を保存してウィンドウを閉じる");
  SetUpButton(cmdCancel_, "_Cancel", "変更を保存しないでウィンドウを閉じる");
  cmdRefresh_.signal_clicked().connect(AfterAction(*this, [this] { cmdRefresh_Click(); }));
  cmdOK_.signal_clicked().connect(AfterAction(*this, [this] { cmdOK_Click(); }));
  cmdCancel_.signal_clicked().connect(sigc::mem_fun(*this, &frmEditJob::cmdCancel_Click));
  cmdOK_.set_size_request(88, -1);
  cmdCancel_.set_size_request(88, -1);
  dialog_buttons_.set_spacing(6);
  dialog_buttons_.pack_start(cmdRefresh_, Gtk::PACK_SHRINK);
  dialog_buttons_.pack_end(cmdCancel_, Gtk::PACK_SHRINK);
  dialog_buttons_.pack_end(cmdOK_, Gtk::PACK_SHRINK);
  grid_.attach(dialog_buttons_, 0, 7, 3, 1);

  // The state at load: the row commands wait for a row click, the job commands for a job.
  SetRowButtons(false);
  SetJobButtons(false);
}

// ---- Drops -------------------------------------------------------------------------------------

void frmEditJob::SetUpDrops() {
  lsvURL_.signal_key_press_event().connect(
      [this](GdkEventKey* key) {
        const guint modifiers = key->state & gtk_accelerator_get_default_mod_mask();
        if (modifiers != GDK_CONTROL_MASK || gdk_keyval_to_lower(key->keyval) != GDK_KEY_v)
          return false;
        PasteLinks();
        return true;
      },
      false);
  for (Gtk::Widget* target :
       {static_cast<Gtk::Widget*>(&lsvURL_), static_cast<Gtk::Widget*>(&txtTitle_),
        static_cast<Gtk::Widget*>(&txtURL_)}) {
    target->drag_dest_set(Gtk::DEST_DEFAULT_ALL,
                          Gdk::ACTION_COPY | Gdk::ACTION_LINK | Gdk::ACTION_MOVE);
    // A file list first, so that a file manager's drop is taken as files, not as their names.
    auto targets = Gtk::TargetList::create(std::vector<Gtk::TargetEntry>{});
    targets->add_uri_targets(0);
    targets->add_text_targets(1);
    target->drag_dest_set_target_list(targets);
    // Runs before the widget's own handler, which would otherwise insert the text itself.
    target->signal_drag_data_received().connect(
        [this, target](const Glib::RefPtr<Gdk::DragContext>&, int, int,
                       const Gtk::SelectionData& data, guint, guint) {
          const bool uri_list = data.get_target() == "text/uri-list";
          g_signal_stop_emission_by_name(target->gobj(), "drag-data-received");
          if (target == &lsvURL_) {
            // A drop of several links adds them all; one link is the designed drop.
            std::vector<JobEntry> links = uri_list ? LinksFromUriList(data.get_data_as_string())
                                                   : LinksFromText(data.get_text().raw());
            if (links.size() > 1) {
              InsertLinks(links);
              return;
            }
          }
          std::optional<DroppedEntry> dropped;
          if (uri_list)
            dropped = DropFromUriList(data.get_data_as_string());
          else
            dropped = DropFromText(data.get_text().raw());
          Drop(*target, dropped);
        },
        false);
  }
}

void frmEditJob::InsertLinks(const std::vector<JobEntry>& links) {
  if (!JobSelected() || links.empty()) return;
  if (edit_entries_.size() + links.size() > static_cast<size_t>(kMaxJobEntries)) {
    ShowError(MessageParent(),
              "ジョブに登録できるURLは " + std::to_string(kMaxJobEntries) + " 件までです。");
    return;
  }
  const int selected = SelectedRow();
  int at = selected >= 0 ? selected + 1 : static_cast<int>(edit_entries_.size());
  edit_entries_.insert(edit_entries_.begin() + at, links.begin(), links.end());
  Gtk::TreeModel::iterator row;
  for (const JobEntry& link : links) {
    row = at < static_cast<int>(rows_->children().size()) ? rows_->insert(RowAt(at))
                                                          : rows_->append();
    SetRow(row, link);
    ++at;
  }
  SelectRowQuietly(at - 1);
}

void frmEditJob::PasteLinks() {
  Gtk::Clipboard::get()->request_text(
      [this](const Glib::ustring& text) { InsertLinks(LinksFromText(text.raw())); });
}

void frmEditJob::Drop(Gtk::Widget& target, const std::optional<DroppedEntry>& dropped) {
  if (!JobSelected() || !dropped) return;
  if (&target == &lsvURL_) {
    // A dropped link is taken as it comes: no trimming and no emptiness test.
    if (!RoomForAnotherEntry()) return;
    AppendEntry(JobEntry{dropped->title, dropped->url});
  } else if (&target == &txtTitle_ || &target == &txtURL_) {
    txtTitle_.set_text(dropped->title);
    txtURL_.set_text(dropped->url);
  }
}

// ---- Loading -----------------------------------------------------------------------------------

void frmEditJob::Form_Load() {
  LoadEditorJobList(SpcfIdx);
  if (SpcfIdx >= 0 && JobSelected()) {
    LoadEditorJob();
    SetJobButtons(true);
  }
  cboJob_.grab_focus();
}

void frmEditJob::LoadEditorJobList(int index) {
  ReadFailure failure = ReadFailure::Missing;
  std::optional<std::vector<std::string>> names =
      JobListExists(app_folder_) ? ReadJobList(app_folder_, &failure) : std::nullopt;
  if (!names) {
    ShowError(MessageParent(), failure == ReadFailure::TooLarge
                                   ? FileTooLargeMessage(JobListPath(app_folder_))
                                   : std::string(kNoJobListMessage));
    return;
  }
  // The selector's changes while it is refilled are not the user's; EditJobIdx is moved first,
  // so the selection below does not load anything either.
  edit_job_idx_ = index >= 0 && index < static_cast<int>(names->size()) ? index : -1;
  cboJob_.Fill(*names);
  cboJob_.set_active(edit_job_idx_);
}

void frmEditJob::LoadEditorJob() {
  const int remembered = edit_job_idx_;
  const int index = cboJob_.get_active_row_number();
  if (index < 0) return;
  edit_job_idx_ = index;
  const std::string name = SelectedJobName();
  ReadFailure failure = ReadFailure::Missing;
  std::optional<Job> job = !name.empty() && JobFileExists(app_folder_, name)
                               ? ReadJobFile(app_folder_, name, &failure)
                               : std::nullopt;
  if (!job) {
    ShowError(MessageParent(),
              failure == ReadFailure::TooLarge ? FileTooLargeMessage(JobFilePath(app_folder_, name))
                                               : std::string(kNoJobFileMessage),
              MsgIcon::Critical);
    edit_job_idx_ = remembered;
    cboJob_.set_active(remembered);
    return;
  }
  if (job->truncated) {
    // Saving writes only what was read, so say so before the user edits.
    AppDialogs().MessageBox(MessageParent(),
                            "このジョブファイルには登録できる数を超えるURLがあります。\r\n先頭の " +
                                std::to_string(kMaxJobEntries) +
                                " 件だけを読み込みました。\r\n保存すると残りのURLは失われます。",
                            kConfirmCaption, MsgIcon::Exclamation, MsgButtons::OK);
  }
  edit_entries_ = std::move(job->entries);
  read_entries_ = edit_entries_;
  FillEntryList();
}

void frmEditJob::FillEntryList() {
  quiet_selection_ = true;
  // Filling a store that no view watches spares a redraw per row.
  lsvURL_.unset_model();
  rows_->clear();
  for (const JobEntry& entry : edit_entries_) SetRow(rows_->append(), entry);
  lsvURL_.set_model(rows_);
  quiet_selection_ = false;
}

void frmEditJob::ClearEntries() {
  edit_entries_.clear();
  read_entries_.clear();
  quiet_selection_ = true;
  rows_->clear();
  quiet_selection_ = false;
}

// ---- Rows --------------------------------------------------------------------------------------

std::vector<JobEntry> frmEditJob::Rows() const {
  std::vector<JobEntry> rows;
  for (const auto& row : rows_->children())
    rows.push_back(
        JobEntry{Glib::ustring(row[columns_.title]).raw(), Glib::ustring(row[columns_.url]).raw()});
  return rows;
}

int frmEditJob::SelectedRow() const {
  auto selection = const_cast<Gtk::TreeView&>(lsvURL_).get_selection();
  Gtk::TreeModel::iterator it = selection->get_selected();
  if (!it) return -1;
  return rows_->get_path(it)[0];
}

Gtk::TreeModel::iterator frmEditJob::RowAt(int p) { return rows_->children()[p]; }

void frmEditJob::SetRow(const Gtk::TreeModel::iterator& row, const JobEntry& entry) {
  (*row)[columns_.title] = entry.Title;
  (*row)[columns_.url] = entry.URL;
}

void frmEditJob::AppendEntry(const JobEntry& entry) {
  auto row = rows_->append();
  SetRow(row, entry);
  edit_entries_.push_back(entry);
  lsvURL_.scroll_to_row(rows_->get_path(row));
}

void frmEditJob::SelectRowQuietly(int p) {
  quiet_selection_ = true;
  Gtk::TreeModel::Path path;
  path.push_back(p);
  lsvURL_.get_selection()->select(path);
  lsvURL_.scroll_to_row(path);
  quiet_selection_ = false;
}

bool frmEditJob::RoomForAnotherEntry() {
  if (static_cast<int>(edit_entries_.size()) < kMaxJobEntries) return true;
  ShowError(MessageParent(),
            "ジョブに登録できるURLは " + std::to_string(kMaxJobEntries) + " 件までです。");
  return false;
}

void frmEditJob::SetRowButtons(bool enabled) {
  cmdChange_.set_sensitive(enabled);
  cmdDel_.set_sensitive(enabled);
  cmdUp_.set_sensitive(enabled);
  cmdDown_.set_sensitive(enabled);
}

void frmEditJob::SetJobButtons(bool enabled) {
  cmdName_.set_sensitive(enabled);
  cmdKillJob_.set_sensitive(enabled);
}

// ---- The job selector --------------------------------------------------------------------------

bool frmEditJob::JobSelected() const {
  return cboJob_.get_active_row_number() >= 0 && !SelectedJobName().empty();
}

std::string frmEditJob::SelectedJobName() const { return cboJob_.get_active_text().raw(); }

std::vector<std::string> frmEditJob::SelectorItems() const {
  std::vector<std::string> items;
  auto model = cboJob_.get_model();
  for (const auto& row : model->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    items.push_back(text.raw());
  }
  return items;
}

void frmEditJob::RenameSelectorItem(int index, const std::string& name) {
  // The item's text changes in place: the selection stays and no reload happens.
  auto store = cboJob_.get_model();
  store->children()[index]->set_value(0, Glib::ustring(name));
}

Gtk::Window* frmEditJob::MessageParent() { return get_visible() ? this : owner_; }

void frmEditJob::cboJob_Click() {
  const int index = cboJob_.get_active_row_number();
  if (index == edit_job_idx_) return;
  // Unsaved edits of the job shown so far are dropped without a question.
  if (index >= 0) SetJobButtons(true);
  LoadEditorJob();
}

// ---- Entry commands ----------------------------------------------------------------------------

void frmEditJob::lsvURL_ItemClick() {
  const int p = SelectedRow();
  if (p < 0) return;
  SetRowButtons(true);
  txtTitle_.set_text(edit_entries_[p].Title);
  txtURL_.set_text(edit_entries_[p].URL);
}

void frmEditJob::cmdAdd_Click() {
  TypedEntry typed = CheckTypedEntry(txtTitle_.get_text().raw(), txtURL_.get_text().raw());
  if (!typed.accepted()) {
    ShowError(MessageParent(), typed.refusal);
    return;
  }
  if (!RoomForAnotherEntry()) return;
  AppendEntry(typed.entry);
  if (chkClear_.get_active()) {
    txtTitle_.set_text("");
    txtURL_.set_text("");
  }
}

void frmEditJob::cmdChange_Click() {
  const int p = SelectedRow();
  if (p < 0) return;
  TypedEntry typed = CheckTypedEntry(txtTitle_.get_text().raw(), txtURL_.get_text().raw());
  if (!typed.accepted()) {
    ShowError(MessageParent(), typed.refusal);
    return;
  }
  SetRow(RowAt(p), typed.entry);
  edit_entries_[p] = typed.entry;
}

void frmEditJob::cmdDel_Click() {
  const int p = SelectedRow();
  if (p < 0) return;
  MsgResult answer = AppDialogs().MessageBox(
      MessageParent(), ShortenForDisplay(edit_entries_[p].Title) + "を削除しますか？",
      kConfirmCaption, MsgIcon::Question, MsgButtons::YesNo);
  if (answer == MsgResult::No) return;
  // Both sides lose the same entry; nothing else moves. The view would select the row that takes
  // the deleted one's place without a word, while the boxes still hold the deleted entry: 変更
  // would then write it over its neighbour. No row stays selected.
  quiet_selection_ = true;
  rows_->erase(RowAt(p));
  lsvURL_.get_selection()->unselect_all();
  quiet_selection_ = false;
  edit_entries_.erase(edit_entries_.begin() + p);
  if (edit_entries_.empty()) SetRowButtons(false);
}

void frmEditJob::MoveSelectedRow(int delta) {
  const int p = SelectedRow();
  const int q = p + delta;
  if (p < 0 || q < 0 || q >= static_cast<int>(edit_entries_.size())) return;
  // The two rows exchange their texts. Reordering the store instead would make the view
  // renumber every row, which a job of thousands of entries feels.
  std::swap(edit_entries_[p], edit_entries_[q]);
  SetRow(RowAt(p), edit_entries_[p]);
  SetRow(RowAt(q), edit_entries_[q]);
  SelectRowQuietly(q);
}

void frmEditJob::cmdUp_Click() { MoveSelectedRow(-1); }
void frmEditJob::cmdDown_Click() { MoveSelectedRow(+1); }

void frmEditJob::cmdCurVw_Click() {
  if (!first_window_browser_) return;
  txtTitle_.set_text(first_window_browser_->LocationName());
  txtURL_.set_text(first_window_browser_->LocationURL());
}

void frmEditJob::cmdFav_Click() {
  FileDialogOptions options;
  options.title = kOpenFavoriteTitle;
  options.filters = ParseFilter(kFavoriteFilter);
  options.default_extension = kFavoriteExtension;
  options.initial_folder = FavoritesFolderForUse();
  std::optional<std::string> path = AppDialogs().OpenFile(MessageParent(), options);
  if (!path) return;
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> url = TryReadShortcutURL(*path, &failure);
  if (failure == ReadFailure::TooLarge) {
    ShowError(MessageParent(), FileTooLargeMessage(*path));
    return;
  }
  txtTitle_.set_text(TitleBeforeFirstDot(LocalFileName(*path)));
  txtURL_.set_text(url.value_or(std::string()));
}

// ---- Saving and closing ------------------------------------------------------------------------

void frmEditJob::SaveEditorJob() {
  can_close_ = true;
  if (!JobSelected()) return;
  const std::string name = SelectedJobName();
  if (edit_entries_.empty()) {
    ShowError(MessageParent(), "ジョブ「" + name + "」にはURLが\r\n一件も登録されていません。");
    can_close_ = false;
    return;
  }
  if (AppDialogs().MessageBox(MessageParent(), "ジョブ「" + name + "」の変更を\r\n保存します",
                              kConfirmCaption, MsgIcon::Information,
                              MsgButtons::OKCancel) != MsgResult::OK)
    return;
  // Another window may have added the page it shows to this job, or another process changed
  // the file, since the editor read it: the save keeps those entries, and shows them here.
  std::string error;
  std::vector<JobEntry> added;
  if (!SaveEditedJob(app_folder_, name, read_entries_, edit_entries_, &added, &error)) {
    // The edits are still here; keep the dialog open so they are not lost.
    ShowError(MessageParent(), "ジョブ「" + name + "」を保存できませんでした。\r\n" + error);
    can_close_ = false;
    return;
  }
  for (const JobEntry& entry : added) AppendEntry(entry);
  read_entries_.clear();
  for (const JobEntry& entry : edit_entries_) read_entries_.push_back(StoredForm(entry));
}

void frmEditJob::cmdRefresh_Click() { SaveEditorJob(); }

void frmEditJob::cmdOK_Click() {
  SaveEditorJob();
  if (can_close_) response(Gtk::RESPONSE_OK);
}

void frmEditJob::cmdCancel_Click() { response(Gtk::RESPONSE_CANCEL); }

void frmEditJob::on_response(int response_id) {
  // OK, Cancel, Escape and the close control all end the dialog; only OK has saved anything.
  // Edits not saved are thrown away only when the user agrees; otherwise the dialog stays, and
  // its opener runs it again.
  if (response_id != Gtk::RESPONSE_OK && JobSelected() &&
      HasUnsavedEdits(edit_entries_, read_entries_) &&
      AppDialogs().MessageBox(MessageParent(), DiscardEditsQuestion(SelectedJobName()),
                              kConfirmCaption, MsgIcon::Question, MsgButtons::YesNo,
                              MsgDefault::Second) != MsgResult::Yes)
    return;
  closed_ = true;
  hide();
}

// ---- Renaming and deleting jobs ----------------------------------------------------------------

void frmEditJob::cmdName_Click() {
  if (!JobSelected()) return;
  const int index = cboJob_.get_active_row_number();
  const std::string old_name = SelectedJobName();
  if (!JobFileExists(app_folder_, old_name)) {
    ShowError(MessageParent(), kNoJobFileMessage, MsgIcon::Critical);
    return;
  }
  const std::string answer = AppDialogs().InputBox(MessageParent(), "新しい名前を入力してください",
                                                   "ジョブ名の変更", old_name);
  switch (CheckRename(SelectorItems(), index, answer,
                      !answer.empty() && JobFileExists(app_folder_, answer))) {
    case RenameCheck::Unchanged: return;
    case RenameCheck::InvalidName:
      ShowError(MessageParent(), kInvalidNameMessage, MsgIcon::Critical);
      return;
    case RenameCheck::NameTaken:
      // Two jobs of one name would share one file; the rename would destroy the other job.
      ShowError(MessageParent(),
                "ジョブ「" + answer + "」は既に存在します。\r\n別の名前を指定してください。");
      return;
    case RenameCheck::Accepted: break;
  }
  if (AppDialogs().MessageBox(MessageParent(),
                              "以下のようにジョブの名称を変更します。\r\n"
                              "この変更はすぐに反映されます。\r\n\r\n" +
                                  old_name + " → " + answer,
                              kConfirmCaption, MsgIcon::Question,
                              MsgButtons::OKCancel) != MsgResult::OK)
    return;

  // The file first: when it cannot move, nothing has changed yet. When the list cannot be
  // written, the file moves back, so list and files always agree.
  std::string error;
  if (!RenameJobFile(app_folder_, old_name, answer, &error)) {
    ShowError(MessageParent(), "ジョブ名を変更できませんでした。\r\n" + error);
    return;
  }
  // The list is changed as it is on disk now: another window may have listed jobs since the
  // selector was filled.
  if (!RenameJobInList(app_folder_, old_name, answer, &error)) {
    RenameJobFile(app_folder_, answer, old_name);
    ShowError(MessageParent(), "ジョブ名を変更できませんでした。\r\n" + error);
    return;
  }
  RenameResumePoint(old_name, answer);
  RenameSeenState(app_folder_, old_name, answer);
  rename_old_name_ = old_name;
  rename_new_name_ = answer;
  RenameSelectorItem(index, answer);
}

void frmEditJob::cmdKillJob_Click() {
  if (!JobSelected()) return;
  const int index = cboJob_.get_active_row_number();
  const std::string name = SelectedJobName();
  if (!JobFileExists(app_folder_, name)) {
    ShowError(MessageParent(), kNoJobFileMessage, MsgIcon::Critical);
    return;
  }
  if (AppDialogs().MessageBox(
          MessageParent(), "ジョブ「" + name + "」を削除します。\r\nよろしいですか？",
          kConfirmCaption, MsgIcon::Question, MsgButtons::OKCancel) != MsgResult::OK)
    return;

  // The list first: a job that is listed always has its file. Should the file refuse to go,
  // the list gets its old lines back.
  std::optional<std::vector<std::string>> old_list = ReadJobList(app_folder_);
  std::string error;
  if (!old_list || !RemoveJobFromList(app_folder_, name, &error) ||
      !TrashJobFile(app_folder_, name, &error)) {
    if (old_list) RewriteJobList(app_folder_, *old_list);
    ShowError(MessageParent(), "ジョブ「" + name + "」を削除できませんでした。\r\n" + error);
    return;
  }

  ForgetResumePoint(name);
  DeleteSeenState(app_folder_, name);
  // The deleted job's entries never stay on screen under another job's name.
  ClearEntries();
  LoadEditorJobList(index > 0 ? index - 1 : 0);
  if (cboJob_.get_model()->children().size() > 0) LoadEditorJob();
}

}  // namespace tarvik
