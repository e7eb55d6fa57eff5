#include "app/frm_downloads.h"

#include <giomm/appinfo.h>
#include <giomm/file.h>
#include <glibmm/miscutils.h>
#include <gtkmm/cellrendererprogress.h>

#include "platform/builtin_images.h"
#include "platform/dialogs.h"

namespace tarvik {

namespace {

// Opens `path` (a file or a folder) with the desktop's program for it.
void OpenWithDesktop(Gtk::Window& owner, const std::string& path) {
  try {
    Gio::AppInfo::launch_default_for_uri(Gio::File::create_for_path(path)->get_uri());
  } catch (const Glib::Error& e) {
    ShowError(&owner, "開けませんでした。\r\n" + std::string(e.what()));
  }
}

}  // namespace

frmDownloads::frmDownloads(DownloadList& list, DownloadSource* source)
    : list_(list), source_(source) {
  set_title(kCaption);
  set_icon_list(builtin::WindowIconList());
  set_default_size(640, 300);
  set_position(Gtk::WIN_POS_CENTER);
  store_ = Gtk::ListStore::create(columns_);
  view_.set_model(store_);
  view_.append_column("ﾌｧｲﾙ名", columns_.name);
  auto* progress = Gtk::manage(new Gtk::CellRendererProgress);
  const int at = view_.append_column("進行状況", *progress) - 1;
  if (Gtk::TreeViewColumn* column = view_.get_column(at)) {
    column->add_attribute(progress->property_value(), columns_.percent);
    column->add_attribute(progress->property_text(), columns_.progress_text);
    column->set_min_width(180);
  }
  view_.append_column("速度", columns_.speed);
  view_.append_column("残り時間", columns_.left);
  view_.append_column("状態", columns_.state);
  view_.get_column(0)->set_expand(true);
  view_.get_selection()->signal_changed().connect(
      sigc::mem_fun(*this, &frmDownloads::UpdateButtons));
  scroll_.add(view_);
  scroll_.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scroll_.set_shadow_type(Gtk::SHADOW_IN);
  box_.set_border_width(8);
  box_.pack_start(scroll_, true, true);
  buttons_.set_layout(Gtk::BUTTONBOX_END);
  buttons_.set_spacing(6);
  for (Gtk::Button* b : {&open_, &folder_, &cancel_, &retry_, &close_}) buttons_.add(*b);
  box_.pack_start(buttons_, false, false);
  add(box_);

  open_.signal_clicked().connect([this] {
    if (const DownloadItem* item = Selected()) OpenWithDesktop(*this, item->path);
  });
  folder_.signal_clicked().connect([this] {
    if (const DownloadItem* item = Selected())
      OpenWithDesktop(*this, Glib::path_get_dirname(item->path));
  });
  cancel_.signal_clicked().connect([this] {
    if (const DownloadItem* item = Selected(); item && source_) source_->Cancel(item->id);
  });
  retry_.signal_clicked().connect([this] {
    if (const DownloadItem* item = Selected(); item && source_) source_->Retry(item->id);
  });
  close_.signal_clicked().connect([this] { hide(); });

  for (const DownloadItem& item : list_.items()) Update(item.id);
  list_.signal_changed().connect(sigc::mem_fun(*this, &frmDownloads::Update));
  UpdateButtons();
  box_.show_all();
}

int frmDownloads::RowOf(int id) {
  int row = 0;
  for (const auto& r : store_->children()) {
    if (r[columns_.id] == id) return row;
    ++row;
  }
  return -1;
}

std::vector<std::string> frmDownloads::RowTexts(int row) {
  const auto r = store_->children()[row];
  return {Glib::ustring(r[columns_.name]), Glib::ustring(r[columns_.progress_text]),
          Glib::ustring(r[columns_.speed]), Glib::ustring(r[columns_.left]),
          Glib::ustring(r[columns_.state])};
}

void frmDownloads::SelectRow(int row) { view_.get_selection()->select(store_->children()[row]); }

void frmDownloads::Update(int id) {
  const DownloadItem* item = list_.Find(id);
  if (!item) return;
  const int at = RowOf(id);
  Gtk::TreeModel::Row r = at >= 0 ? *store_->children()[at] : *store_->append();
  r[columns_.id] = id;
  r[columns_.name] = DownloadFileName(*item);
  const int percent = DownloadPercent(*item);
  r[columns_.percent] = std::max(percent, 0);
  r[columns_.progress_text] =
      DownloadProgressText(*item) + (percent >= 0 ? " (" + std::to_string(percent) + "%)" : "");
  r[columns_.speed] = DownloadSpeedText(*item);
  r[columns_.left] = DownloadTimeLeftText(*item);
  r[columns_.state] = DownloadStateText(*item);
  // A new download is the one the user looks at.
  if (at < 0) view_.get_selection()->select(r);
  UpdateButtons();
}

const DownloadItem* frmDownloads::Selected() {
  Gtk::TreeModel::iterator it = view_.get_selection()->get_selected();
  return it ? list_.Find((*it)[columns_.id]) : nullptr;
}

void frmDownloads::UpdateButtons() {
  const DownloadItem* item = Selected();
  const bool running = item && item->state == DownloadState::Running;
  const bool stopped =
      item && (item->state == DownloadState::Failed || item->state == DownloadState::Cancelled);
  open_.set_sensitive(item && item->state == DownloadState::Done);
  folder_.set_sensitive(item != nullptr);
  cancel_.set_sensitive(running && source_);
  retry_.set_sensitive(stopped && source_);
}

}  // namespace tarvik
