// File associations and the default browser: Tarvik's job file type ".tvj", the verb
// "OpenWithTarvik" on Internet Shortcuts, HTML files and the http protocol, and the command that
// makes that verb the default. Everything here works on a ClassRegistry given to it, so tests run
// on a temporary store; the start-up step and the menu command use the user's store.
#pragma once

#include <functional>
#include <string>

#include "platform/dialogs.h"
#include "platform/file_names.h"
#include "system/class_registry.h"

namespace tarvik {

class SettingsStore;

inline constexpr char kVerbKey[] = "OpenWithTarvik";
inline constexpr char kVerbCaption[] = "Tarvikで開く(&B)";
// Tarvik's job file type as the class registry holds it.
struct JobFileType {
  const char* name;
  const char* description;
  const char* content_type;
  const char* verb;
};
inline constexpr JobFileType kJobFileType{"TarvikJobFile", "Tarvikｼﾞｮﾌﾞﾌｧｲﾙ", "text/plain", "open"};
// What "RelationDone" holds once the associations are registered.
inline constexpr char kRelationDoneMarker[] = "1.20.0000";

inline constexpr char kDefaultBrowserCaption[] = "確認";
inline constexpr char kDefaultBrowserQuestion[] =
    "Tarvikをデフォルトブラウザ（通常使用するブラウザ）\r\nに設定してもよろしいですか？";

// Low-level access, in the form the rest of this module uses.
// The value, or "" when the key or the value does not exist.
std::string RegReadString(const ClassRegistry& root, const std::string& sub_key,
                          const std::string& value_name);
bool RegWriteString(ClassRegistry& root, const std::string& sub_key, const std::string& value_name,
                    const std::string& data);
// Deletes `key_name` below `sub_key`, with its own subkeys.
bool RegDeleteSubKey(ClassRegistry& root, const std::string& sub_key, const std::string& key_name);

// "\"" + exe + "\" " + switch + " %1": the program quoted, the placeholder not.
std::string RegisteredCommandLine(const std::string& switch_text, const std::string& exe_path);
// The file type of an extension (".htm": its key's default value, "" when it has none), or the
// name itself for a protocol ("http").
std::string FileTypeOf(const ClassRegistry& root, const std::string& name);

// The operations. Each returns true; failures of single writes are silent.
bool RegisterFileType(ClassRegistry& root, const std::string& extension,
                      const std::string& type_name, const std::string& description,
                      const std::string& content_type, const std::string& verb,
                      const std::string& switch_text, const std::string& exe_path,
                      const std::string& icon_path, int icon_index);
bool RegisterVerb(ClassRegistry& root, const std::string& name, const std::string& verb_key,
                  const std::string& caption, const std::string& switch_text,
                  const std::string& exe_path);
bool RemoveVerb(ClassRegistry& root, const std::string& extension, const std::string& verb_key);
// Makes "OpenWithTarvik" the verb the desktop runs for `name`.
bool SetDefaultVerb(ClassRegistry& root, const std::string& name);

// Registers once per user, driven by "RelationDone" in section "Setting" of `settings`:
// "False" registers everything, "True" replaces an older registration's verbs, anything else
// means done. Afterwards the setting holds kRelationDoneMarker; a registration that could not
// be stored leaves it as it was.
void RegisterAssociations(ClassRegistry& root, SettingsStore& settings,
                          const std::string& exe_path);
// Whether RegisterAssociations would register: "RelationDone" is missing, "False" or "True".
bool RegistrationPending(const SettingsStore& settings);

// The default-browser command: asks, and on Yes makes Tarvik's verb the default of ".htm",
// ".url" and "http". `ask` shows a message box and returns the answer.
using AskFunction = std::function<MsgResult(const std::string& text, const std::string& caption,
                                            MsgIcon icon, MsgButtons buttons)>;
void MakeDefaultBrowser(ClassRegistry& root, const AskFunction& ask);

// The real path of the running program (/proc/self/exe).
std::string ExecutablePath();

// The class registry of this user, $XDG_DATA_HOME/tarvik/classes.ini, mirrored to the desktop
// after every change.
ClassRegistry& ClassesRoot();
// Replaces ClassesRoot() (tests); nullptr restores the user's store.
void SetClassesRoot(ClassRegistry* root);

// Start-up step of every main window, before the command line is read.
void RegisterAssociations();

}  // namespace tarvik
