#include "platform/dialogs.h"

#include <atkmm/object.h>
#include <glibmm/miscutils.h>
#include <gtkmm/box.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/stock.h>

#include <utility>
#include <vector>

#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

GtkDialogs& DefaultDialogs() {
  static GtkDialogs dialogs;
  return dialogs;
}

Dialogs* g_dialogs = nullptr;

Gtk::MessageType MessageType(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Critical: return Gtk::MESSAGE_ERROR;
    case MsgIcon::Question: return Gtk::MESSAGE_QUESTION;
    case MsgIcon::Exclamation: return Gtk::MESSAGE_WARNING;
    case MsgIcon::Information: return Gtk::MESSAGE_INFO;
    case MsgIcon::None: break;
  }
  return Gtk::MESSAGE_OTHER;
}

// The picture of each icon, from the desktop's icon theme.
const char* IconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Critical: return "dialog-error";
    case MsgIcon::Question: return "dialog-question";
    case MsgIcon::Exclamation: return "dialog-warning";
    case MsgIcon::Information: return "dialog-information";
    case MsgIcon::None: break;
  }
  return nullptr;
}

// A file dialog over `parent`, with Cancel and the button `accept` that answers it.
void SetUpChooser(Gtk::FileChooserDialog& dialog, Gtk::Window* parent, const char* accept) {
  if (parent) dialog.set_transient_for(*parent);
  dialog.set_modal(true);
  dialog.add_button(kCancelCaption, Gtk::RESPONSE_CANCEL);
  dialog.add_button(accept, Gtk::RESPONSE_ACCEPT);
}

void AddFilters(Gtk::FileChooserDialog& dialog, const FileDialogOptions& opts) {
  for (const FileFilter& f : opts.filters) {
    auto filter = Gtk::FileFilter::create();
    filter->set_name(f.name);
    // GTK's patterns match letter case exactly; "*.url" must also show "News.URL".
    for (const std::string& p : f.patterns) filter->add_pattern(CaseInsensitivePattern(p));
    dialog.add_filter(filter);
  }
  if (!opts.initial_folder.empty() && DirectoryExists(opts.initial_folder))
    dialog.set_current_folder(opts.initial_folder);
}

}  // namespace

std::vector<FileFilter> ParseFilter(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t bar = text.find('|', start);
    parts.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<FileFilter> filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter f{parts[i], {}};
    size_t s = 0;
    const std::string& pats = parts[i + 1];
    while (s <= pats.size()) {
      size_t semi = pats.find(';', s);
      std::string p = pats.substr(s, semi == std::string::npos ? std::string::npos : semi - s);
      if (!p.empty()) f.patterns.push_back(p);
      if (semi == std::string::npos) break;
      s = semi + 1;
    }
    filters.push_back(f);
  }
  return filters;
}

Dialogs& AppDialogs() { return g_dialogs ? *g_dialogs : DefaultDialogs(); }
void SetAppDialogs(Dialogs* dialogs) { g_dialogs = dialogs; }

MsgResult GtkDialogs::MessageBox(Gtk::Window* parent, const std::string& text,
                                 const std::string& caption, MsgIcon icon, MsgButtons buttons) {
  return MessageBox(parent, text, caption, icon, buttons, MsgDefault::First);
}

MsgResult GtkDialogs::MessageBox(Gtk::Window* parent, const std::string& text,
                                 const std::string& caption, MsgIcon icon, MsgButtons buttons,
                                 MsgDefault default_button) {
  Gtk::ButtonsType bt = Gtk::BUTTONS_NONE;
  Gtk::MessageDialog dialog(text, false, MessageType(icon), bt, true);
  if (parent) dialog.set_transient_for(*parent);
  dialog.set_title(caption);
  // GTK 3 shows no picture for the kind of message; the box shows its icon itself.
  Gtk::Image picture;
  if (const char* name = IconName(icon)) {
    picture.set_from_icon_name(name, Gtk::ICON_SIZE_DIALOG);
    picture.set_valign(Gtk::ALIGN_START);
    dialog.set_image(picture);
    picture.show();
  }
  // Assistive technologies announce the box by its caption, not by GTK's English kind.
  dialog.get_accessible()->set_name(caption);
  std::vector<std::pair<const char*, Gtk::ResponseType>> labels;
  switch (buttons) {
    case MsgButtons::OK: labels = {{"OK", Gtk::RESPONSE_OK}}; break;
    case MsgButtons::OKCancel:
      labels = {{"OK", Gtk::RESPONSE_OK}, {kCancelCaption, Gtk::RESPONSE_CANCEL}};
      break;
    case MsgButtons::YesNo:
      labels = {{"はい(_Y)", Gtk::RESPONSE_YES}, {"いいえ(_N)", Gtk::RESPONSE_NO}};
      break;
    case MsgButtons::YesNoCancel:
      labels = {{"はい(_Y)", Gtk::RESPONSE_YES},
                {"いいえ(_N)", Gtk::RESPONSE_NO},
                {kCancelCaption, Gtk::RESPONSE_CANCEL}};
      break;
  }
  std::vector<Gtk::Button*> added;
  for (const auto& [label, response] : labels) added.push_back(dialog.add_button(label, response));
  if (default_button != MsgDefault::First) {
    // Enter presses the default, and the focus starts on it, so a hasty key picks the safe answer.
    const size_t index = default_button == MsgDefault::Second ? 1 : 2;
    if (index < added.size()) {
      dialog.set_default_response(labels[index].second);
      added[index]->grab_focus();
    }
  }
  int r = dialog.run();
  switch (r) {
    case Gtk::RESPONSE_OK: return MsgResult::OK;
    case Gtk::RESPONSE_YES: return MsgResult::Yes;
    case Gtk::RESPONSE_NO: return MsgResult::No;
    case Gtk::RESPONSE_CANCEL: return MsgResult::Cancel;
    default: break;
  }
  if (buttons == MsgButtons::OK) return MsgResult::OK;
  if (buttons == MsgButtons::YesNo) return MsgResult::No;
  return MsgResult::Cancel;
}

void ShowError(Gtk::Window* parent, const std::string& text, MsgIcon icon) {
  AppDialogs().MessageBox(parent, text, kErrorCaption, icon, MsgButtons::OK);
}

std::string GtkDialogs::InputBox(Gtk::Window* parent, const std::string& prompt,
                                 const std::string& title, const std::string& default_text) {
  Gtk::Dialog dialog(title, true);
  if (parent) dialog.set_transient_for(*parent);
  dialog.set_resizable(false);
  Gtk::Label label(prompt);
  label.set_xalign(0);
  label.set_line_wrap(true);
  Gtk::Entry entry;
  entry.set_text(default_text);
  entry.set_activates_default(true);
  entry.set_width_chars(40);
  Gtk::Box* area = dialog.get_content_area();
  area->set_spacing(8);
  area->set_border_width(10);
  area->pack_start(label, Gtk::PACK_SHRINK);
  area->pack_start(entry, Gtk::PACK_SHRINK);
  dialog.add_button("OK", Gtk::RESPONSE_OK);
  dialog.add_button(kCancelCaption, Gtk::RESPONSE_CANCEL);
  dialog.set_default_response(Gtk::RESPONSE_OK);
  dialog.show_all_children();
  entry.select_region(0, -1);
  if (dialog.run() != Gtk::RESPONSE_OK) return "";
  return entry.get_text();
}

std::optional<std::string> GtkDialogs::OpenFile(Gtk::Window* parent,
                                                const FileDialogOptions& opts) {
  Gtk::FileChooserDialog dialog(opts.title, Gtk::FILE_CHOOSER_ACTION_OPEN);
  SetUpChooser(dialog, parent, "開く(_O)");
  AddFilters(dialog, opts);
  // Without a folder GTK opens on the recently used files, where the keys of a typed path go to
  // a part of the dialog that is not built yet (a Gtk-CRITICAL per key): the home folder instead.
  if (opts.initial_folder.empty() || !DirectoryExists(opts.initial_folder))
    dialog.set_current_folder(Glib::get_home_dir());
  if (!opts.file_name.empty()) dialog.set_current_name(opts.file_name);
  if (dialog.run() != Gtk::RESPONSE_ACCEPT) return std::nullopt;
  std::string path = dialog.get_filename();
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<std::string> GtkDialogs::SaveFile(Gtk::Window* parent,
                                                const FileDialogOptions& opts) {
  Gtk::FileChooserDialog dialog(opts.title, Gtk::FILE_CHOOSER_ACTION_SAVE);
  SetUpChooser(dialog, parent, "保存(_S)");
  AddFilters(dialog, opts);
  dialog.set_current_name(opts.file_name);
  // The extension is added before the overwrite question, so the question names the file that
  // would really be replaced.
  dialog.set_do_overwrite_confirmation(false);
  while (true) {
    if (dialog.run() != Gtk::RESPONSE_ACCEPT) return std::nullopt;
    std::string path = dialog.get_filename();
    if (path.empty()) return std::nullopt;
    std::string base = Glib::path_get_basename(path);
    if (!opts.default_extension.empty() && base.find('.') == std::string::npos)
      path += "." + opts.default_extension;
    if (opts.confirm_overwrite && FileExists(path)) {
      Gtk::MessageDialog ask(
          dialog, Glib::path_get_basename(path) + " は既に存在します。\n上書きしますか？", false,
          Gtk::MESSAGE_WARNING, Gtk::BUTTONS_YES_NO, true);
      ask.set_title(opts.title);
      if (ask.run() != Gtk::RESPONSE_YES) continue;
    }
    return path;
  }
}

std::optional<std::string> GtkDialogs::ChooseFolder(Gtk::Window* parent, const std::string& title,
                                                    const std::string& initial_folder) {
  Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
  SetUpChooser(dialog, parent, "OK");
  if (!initial_folder.empty() && DirectoryExists(initial_folder))
    dialog.set_current_folder(initial_folder);
  while (true) {
    if (dialog.run() != Gtk::RESPONSE_ACCEPT) return std::nullopt;
    std::string path = dialog.get_filename();
    if (!path.empty() && DirectoryExists(path)) return path;
  }
}

std::string BrowseForFolder(Gtk::Window* parent, const std::string& initial_folder) {
  auto chosen = AppDialogs().ChooseFolder(parent, kBrowseForFolderTitle, initial_folder);
  // The dialog lets only real folders through; a path that is no folder is treated as a cancel
  // rather than handed on as a favorites folder.
  if (!chosen || !DirectoryExists(*chosen)) return {};
  return *chosen;
}

}  // namespace tarvik
