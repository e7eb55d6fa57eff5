#include "system/mod_relation.h"

#include <glib.h>
#include <stdlib.h>

#include <memory>

#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "system/desktop_mirror.h"

namespace tarvik {

std::string RegReadString(const ClassRegistry& root, const std::string& sub_key,
                          const std::string& value_name) {
  return root.Read(sub_key, value_name).value_or("");
}

bool RegWriteString(ClassRegistry& root, const std::string& sub_key, const std::string& value_name,
                    const std::string& data) {
  return root.Write(sub_key, value_name, data);
}

bool RegDeleteSubKey(ClassRegistry& root, const std::string& sub_key, const std::string& key_name) {
  return root.DeleteSubKey(sub_key, key_name);
}

std::string RegisteredCommandLine(const std::string& switch_text, const std::string& exe_path) {
  return "\"" + exe_path + "\" " + switch_text + " %1";
}

std::string FileTypeOf(const ClassRegistry& root, const std::string& name) {
  if (!name.empty() && name[0] == '.') return RegReadString(root, name, "");
  return name;
}

bool RegisterFileType(ClassRegistry& root, const std::string& extension,
                      const std::string& type_name, const std::string& description,
                      const std::string& content_type, const std::string& verb,
                      const std::string& switch_text, const std::string& exe_path,
                      const std::string& icon_path, int icon_index) {
  ClassRegistryChanges changes(root);
  RegWriteString(root, extension, "", type_name);
  RegWriteString(root, extension, "Content Type", content_type);
  RegWriteString(root, type_name, "", description);
  RegWriteString(root, type_name + "\\shell\\" + verb + "\\command", "",
                 RegisteredCommandLine(switch_text, exe_path));
  RegWriteString(root, type_name + "\\DefaultIcon", "",
                 icon_path + "," + std::to_string(icon_index));
  return true;
}

bool RegisterVerb(ClassRegistry& root, const std::string& name, const std::string& verb_key,
                  const std::string& caption, const std::string& switch_text,
                  const std::string& exe_path) {
  ClassRegistryChanges changes(root);
  std::string type = FileTypeOf(root, name);
  if (type.empty()) {
    // An extension nobody has claimed gets a type of its own to carry the verb.
    type = name + " File";
    RegWriteString(root, name, "", type);
    RegWriteString(root, type, "", name + "ﾌｧｲﾙ");
  }
  RegWriteString(root, type + "\\shell\\" + verb_key + "\\command", "",
                 RegisteredCommandLine(switch_text, exe_path));
  RegWriteString(root, type + "\\shell\\" + verb_key, "", caption);
  return true;
}

bool RemoveVerb(ClassRegistry& root, const std::string& extension, const std::string& verb_key) {
  std::string type = FileTypeOf(root, extension);
  // Without a type there is no verb of ours; "\shell" at the class root is nobody's to touch.
  if (!type.empty()) RegDeleteSubKey(root, type + "\\shell", verb_key);
  return true;
}

bool SetDefaultVerb(ClassRegistry& root, const std::string& name) {
  std::string type = FileTypeOf(root, name);
  if (!type.empty()) RegWriteString(root, type + "\\shell", "", kVerbKey);
  return true;
}

bool RegistrationPending(const SettingsStore& settings) {
  const SettingKey& k = setting::kRelationDone;
  const std::string done = settings.Get(k.section, k.key, k.fallback);
  return done == "False" || done == "True";
}

void RegisterAssociations(ClassRegistry& root, SettingsStore& settings,
                          const std::string& exe_path) {
  if (!RegistrationPending(settings)) return;
  const SettingKey& k = setting::kRelationDone;
  const std::string done = settings.Get(k.section, k.key, k.fallback);
  ClassRegistryChanges changes(root);
  if (done == "False") {
    RegisterFileType(root, kJobFileSuffix, kJobFileType.name, kJobFileType.description,
                     kJobFileType.content_type, kJobFileType.verb, "/j", exe_path, exe_path, 1);
    RegisterVerb(root, ".url", kVerbKey, kVerbCaption, "/u", exe_path);
    RegisterVerb(root, ".htm", kVerbKey, kVerbCaption, "/h", exe_path);
  } else {
    // The older registration named its verb keys after the caption.
    RemoveVerb(root, ".url", kVerbCaption);
    RemoveVerb(root, ".htm", kVerbCaption);
    RegisterVerb(root, ".url", kVerbKey, kVerbCaption, "/u", exe_path);
    RegisterVerb(root, ".htm", kVerbKey, kVerbCaption, "/h", exe_path);
  }
  RegisterVerb(root, "http", kVerbKey, kVerbCaption, "/h", exe_path);
  // Marked done only once the registration is stored, so a failed one is made again next time.
  if (changes.Commit()) settings.Save(k.section, k.key, kRelationDoneMarker);
}

void MakeDefaultBrowser(ClassRegistry& root, const AskFunction& ask) {
  if (ask(kDefaultBrowserQuestion, kDefaultBrowserCaption, MsgIcon::Question, MsgButtons::YesNo) !=
      MsgResult::Yes)
    return;
  ClassRegistryChanges changes(root);
  SetDefaultVerb(root, ".htm");
  SetDefaultVerb(root, ".url");
  SetDefaultVerb(root, "http");
}

std::string ExecutablePath() {
  char* real = ::realpath("/proc/self/exe", nullptr);
  std::string path = real ? real : "";
  free(real);
  if (path.empty()) {
    gchar* link = g_file_read_link("/proc/self/exe", nullptr);
    if (link) path = link;
    g_free(link);
  }
  return path;
}

namespace {

// The user's store and its mirror, made on first use.
struct UserClassRegistry {
  UserClassRegistry()
      : folders(DefaultDesktopFolders()),
        store(folders.classes_file()),
        mirror(folders, ExecutablePath()) {
    store.set_on_change([this](const ClassRegistry& root) { mirror.Sync(root); });
  }
  DesktopFolders folders;
  KeyFileClassRegistry store;
  DesktopMirror mirror;
};

ClassRegistry* g_override = nullptr;

}  // namespace

ClassRegistry& ClassesRoot() {
  if (g_override) return *g_override;
  static UserClassRegistry user;
  return user.store;
}

void SetClassesRoot(ClassRegistry* root) { g_override = root; }

void RegisterAssociations() {
  // Once registered, a start reads the marker only: the store and its mirror stay closed.
  if (!RegistrationPending(UserSettings())) return;
  RegisterAssociations(ClassesRoot(), UserSettings(), ExecutablePath());
}

}  // namespace tarvik
