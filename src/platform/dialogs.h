// Modal dialogs: message box, input box, file and folder choosers. The GTK implementation
// (GtkDialogs) is the real one; tests use ScriptedDialogs (tests/support/scripted_dialogs.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Gtk {
class Window;
}

namespace tarvik {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgResult { OK, Cancel, Yes, No };
// The button that Enter presses: the first (OK, Yes) unless a question should default to its
// second (Cancel, No) or third.
enum class MsgDefault { First, Second, Third };

struct FileFilter {
  std::string name;                   // "お気に入り(*.url)"
  std::vector<std::string> patterns;  // "*.url"
};

struct FileDialogOptions {
  std::string title;
  std::vector<FileFilter> filters;
  std::string default_extension;  // added to a typed name that has none, without the dot
  std::string initial_folder;
  std::string file_name;           // proposed name
  bool confirm_overwrite = false;  // saving over an existing file asks first
};

// Parses a filter text of the form "desc|pattern;pattern|desc|pattern".
std::vector<FileFilter> ParseFilter(const std::string& text);

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows a message and returns the button pressed; closing the box counts as Cancel, or as
  // No when there is no Cancel button, or as OK for a box with only OK.
  virtual MsgResult MessageBox(Gtk::Window* parent, const std::string& text,
                               const std::string& caption, MsgIcon icon,
                               MsgButtons buttons = MsgButtons::OK) = 0;
  // The same with another default button. Dialogs that cannot show one ask as above.
  virtual MsgResult MessageBox(Gtk::Window* parent, const std::string& text,
                               const std::string& caption, MsgIcon icon, MsgButtons buttons,
                               MsgDefault default_button) {
    return MessageBox(parent, text, caption, icon, buttons);
  }
  // The text entered, or "" when cancelled.
  virtual std::string InputBox(Gtk::Window* parent, const std::string& prompt,
                               const std::string& title, const std::string& default_text) = 0;
  // The chosen path, or nothing when cancelled.
  virtual std::optional<std::string> OpenFile(Gtk::Window* parent,
                                              const FileDialogOptions& opts) = 0;
  virtual std::optional<std::string> SaveFile(Gtk::Window* parent,
                                              const FileDialogOptions& opts) = 0;
  // The chosen folder, or nothing when cancelled. Only existing folders can be chosen.
  virtual std::optional<std::string> ChooseFolder(Gtk::Window* parent, const std::string& title,
                                                  const std::string& initial_folder) = 0;
};

// The dialogs the running program uses; tests replace them.
Dialogs& AppDialogs();

// The captions of Tarvik's error messages and of its questions.
inline constexpr char kErrorCaption[] = "エラー";
inline constexpr char kConfirmCaption[] = "確認";
// The Cancel button of the system's boxes and of Tarvik's own windows beyond the designed ones
// (the designed job editor and list window have "&Cancel" with its access key).
inline constexpr char kCancelCaption[] = "キャンセル";
// An error message with only OK, through AppDialogs().
void ShowError(Gtk::Window* parent, const std::string& text, MsgIcon icon = MsgIcon::Exclamation);
void SetAppDialogs(Dialogs* dialogs);  // nullptr restores the GTK dialogs

// The folder picker that the favorites-folder command and the favorites-folder import open.
inline constexpr char kBrowseForFolderTitle[] = "「お気に入り」フォルダを選択してください。";

// Shows the modal folder picker over `parent`, opened on `initial_folder` (callers pass the
// favorites folder, FavoritesFolderForUse() of favorites/favorites_folder.h), through
// AppDialogs(). Only existing folders can be confirmed. Returns the chosen folder's full path,
// or "" when the user cancels; a missing or empty initial folder leaves the picker at its
// default place.
std::string BrowseForFolder(Gtk::Window* parent, const std::string& initial_folder);

class GtkDialogs : public Dialogs {
 public:
  MsgResult MessageBox(Gtk::Window* parent, const std::string& text, const std::string& caption,
                       MsgIcon icon, MsgButtons buttons) override;
  MsgResult MessageBox(Gtk::Window* parent, const std::string& text, const std::string& caption,
                       MsgIcon icon, MsgButtons buttons, MsgDefault default_button) override;
  std::string InputBox(Gtk::Window* parent, const std::string& prompt, const std::string& title,
                       const std::string& default_text) override;
  std::optional<std::string> OpenFile(Gtk::Window* parent, const FileDialogOptions& opts) override;
  std::optional<std::string> SaveFile(Gtk::Window* parent, const FileDialogOptions& opts) override;
  std::optional<std::string> ChooseFolder(Gtk::Window* parent, const std::string& title,
                                          const std::string& initial_folder) override;
};

}  // namespace tarvik
