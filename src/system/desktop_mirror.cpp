#include "system/desktop_mirror.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/desktop_icons.h"
#include "platform/file_names.h"
#include "platform/key_file.h"
#include "platform/path_util.h"
#include "platform/text_file.h"
#include "system/mod_relation.h"

namespace tarvik {

namespace {

constexpr char kDefaultApplications[] = "Default Applications";
constexpr char kOpenVerb[] = "open";

// Writes only when the text differs, so that the desktop's caches are rebuilt only for real
// changes. True when the file was written.
bool WriteIfChanged(const std::string& path, const std::string& text) {
  if (auto old = ReadFileBytes(path, kSettingsReadLimit); old && *old == text) return false;
  return WriteFileAtomically(path, text);
}

bool RemoveIfPresent(const std::string& path) {
  return g_file_test(path.c_str(), G_FILE_TEST_EXISTS) && g_remove(path.c_str()) == 0;
}

std::string XmlEscaped(const std::string& text) {
  gchar* e = g_markup_escape_text(text.c_str(), -1);
  std::string out(e);
  g_free(e);
  return out;
}

// "Tarvikで開く(&B)" → "Tarvikで開く": the mnemonic of a menu caption has no place in a
// desktop entry.
std::string WithoutMnemonic(const std::string& caption) {
  std::string out = caption;
  if (size_t p = out.rfind("(&");
      p != std::string::npos && out.size() == p + 4 && out.back() == ')')
    out.erase(p);
  std::string plain;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '&') {
      if (i + 1 < out.size() && out[i + 1] == '&') plain += '&', ++i;
      continue;
    }
    plain += out[i];
  }
  return plain;
}

std::vector<std::pair<std::string, bool>> SplitCommand(const std::string& command_line) {
  // Arguments of a registered command line: separated by blanks, a double-quoted argument
  // taken whole. The bool tells whether it was quoted.
  std::vector<std::pair<std::string, bool>> args;
  size_t i = 0;
  while (i < command_line.size()) {
    while (i < command_line.size() && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
    if (i >= command_line.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < command_line.size() && command_line[i] != ' ' && command_line[i] != '\t') {
      if (command_line[i] == '"') {
        quoted = true;
        size_t end = command_line.find('"', i + 1);
        if (end == std::string::npos) end = command_line.size();
        arg += command_line.substr(i + 1, end - i - 1);
        i = end < command_line.size() ? end + 1 : end;
      } else {
        arg += command_line[i++];
      }
    }
    args.emplace_back(std::move(arg), quoted);
  }
  return args;
}

// One argument of an Exec value: quoted when it holds a reserved character, with the escapes
// the desktop entry format asks for inside quotes, and "%" doubled everywhere.
std::string ExecArgument(const std::string& arg) {
  static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  bool quote = arg.empty() || arg.find_first_of(reserved) != std::string::npos;
  std::string out;
  if (quote) out += '"';
  for (char c : arg) {
    if (c == '%') {
      out += "%%";
      continue;
    }
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
  }
  if (quote) out += '"';
  return out;
}

std::string VerbCommand(const ClassRegistry& root, const std::string& type,
                        const std::string& verb) {
  return root.Read(type + "\\shell\\" + verb + "\\command", "").value_or("");
}

std::string MenuEntry(const std::string& exe_path) {
  KeyFilePtr kf(g_key_file_new());
  const char* g = "Desktop Entry";
  g_key_file_set_string(kf.get(), g, "Type", "Application");
  g_key_file_set_string(kf.get(), g, "Version", "1.0");
  g_key_file_set_string(kf.get(), g, "Name", "Tarvik");
  g_key_file_set_string(kf.get(), g, "GenericName", "ジョブ管理型Webブラウザ");
  g_key_file_set_string(kf.get(), g, "Comment", "ページをジョブにまとめて順に閲覧するWebブラウザ");
  g_key_file_set_string(kf.get(), g, "Icon", "tarvik");
  // An address handed over (Open With) is opened as the command line's address. The types are
  // not listed here: a user's own entry that lists them would outrank every installed browser
  // where no default is set. The installed entry lists them, and "ﾃﾞﾌｫﾙﾄﾌﾞﾗｳｻﾞにする" sets them.
  g_key_file_set_string(kf.get(), g, "Exec", (ExecArgument(exe_path) + " %u").c_str());
  g_key_file_set_string(kf.get(), g, "Terminal", "false");
  g_key_file_set_string(kf.get(), g, "Categories", "Network;WebBrowser;");
  g_key_file_set_string(kf.get(), g, "StartupNotify", "true");
  return KeyFileText(kf.get());
}

std::string VerbEntry(const DesktopAssociation& assoc, const std::string& command,
                      const std::string& caption, bool is_default) {
  KeyFilePtr kf(g_key_file_new());
  const char* g = "Desktop Entry";
  std::string mime;
  for (const char* m : assoc.mime_types) mime += std::string(m) + ";";
  g_key_file_set_string(kf.get(), g, "Type", "Application");
  g_key_file_set_string(kf.get(), g, "Version", "1.0");
  g_key_file_set_string(kf.get(), g, "Name", "Tarvik");
  if (!caption.empty()) g_key_file_set_string(kf.get(), g, "Comment", caption.c_str());
  g_key_file_set_string(kf.get(), g, "Icon", "tarvik");
  g_key_file_set_string(kf.get(), g, "Exec", DesktopExecLine(command, assoc.is_protocol).c_str());
  g_key_file_set_string(kf.get(), g, "Terminal", "false");
  // The application menu has its own entry; these only stand for the associations.
  g_key_file_set_string(kf.get(), g, "NoDisplay", "true");
  // Where no default handler is set, the desktop takes the first entry that lists a type, and
  // the user's own entries come first. Listing the types before Tarvik's verb is the default
  // would make Tarvik the browser without anyone asking, so they are listed only then.
  if (is_default) g_key_file_set_string(kf.get(), g, "MimeType", mime.c_str());
  g_key_file_set_string(kf.get(), g, "StartupNotify", "true");
  return KeyFileText(kf.get());
}

// In the child before it runs the tool: the lowest priority for the processor and, where the
// kernel's I/O scheduler honours it, the idle class for the disk.
void LowerPriority(gpointer) {
  [[maybe_unused]] int r = nice(19);
  constexpr int kWhoProcess = 1, kIdleClass = 3, kClassShift = 13;
  syscall(SYS_ioprio_set, kWhoProcess, 0, kIdleClass << kClassShift);
}

// Starts a tool at the lowest priority. With `pid`, the caller waits for it (a child watch);
// without, GLib detaches it, so nothing waits for it and no zombie is left behind.
bool SpawnAtLowestPriority(const std::vector<std::string>& argv, GPid* pid = nullptr) {
  if (argv.empty()) return false;
  gchar* program = g_find_program_in_path(argv[0].c_str());
  if (!program) return false;
  std::vector<gchar*> args{program};
  for (size_t i = 1; i < argv.size(); ++i) args.push_back(const_cast<gchar*>(argv[i].c_str()));
  args.push_back(nullptr);
  int flags = G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL;
  if (pid) flags |= G_SPAWN_DO_NOT_REAP_CHILD;
  const bool started = g_spawn_async(nullptr, args.data(), nullptr, static_cast<GSpawnFlags>(flags),
                                     LowerPriority, nullptr, pid, nullptr);
  g_free(program);
  return started;
}

struct ToolQueue {
  std::vector<std::vector<std::string>> pending;
  bool running = false;  // a tool of the queue runs, or the queue waits to start
};

ToolQueue& Tools() {
  static ToolQueue queue;
  return queue;
}

// As the process ends: whatever still waits starts at once, without anyone waiting for it.
void RunPendingTools() {
  std::vector<std::vector<std::string>> tools;
  tools.swap(Tools().pending);
  for (const auto& argv : tools) SpawnAtLowestPriority(argv);
}

// One tool at a time, so that no two of them take memory together.
void RunNextTool() {
  ToolQueue& queue = Tools();
  while (!queue.pending.empty()) {
    const std::vector<std::string> argv = queue.pending.front();
    queue.pending.erase(queue.pending.begin());
    GPid pid = 0;
    if (!SpawnAtLowestPriority(argv, &pid)) continue;
    g_child_watch_add(
        pid,
        [](GPid ended, gint, gpointer) {
          g_spawn_close_pid(ended);
          RunNextTool();
        },
        nullptr);
    return;
  }
  queue.running = false;
}

// The desktop's caches are refreshed a few seconds after the files change, once the page shown
// meanwhile has settled, at the lowest priority and one tool at a time. A process that ends
// before then refreshes them as it ends, so a change is never left out of the caches.
constexpr guint kToolDelaySeconds = 3;

void SpawnInBackground(const std::vector<std::string>& argv) {
  static bool exit_hook = false;
  if (!exit_hook) {
    Tools();  // made before the hook, so it is still there when the hook runs
    std::atexit(RunPendingTools);
    exit_hook = true;
  }
  ToolQueue& queue = Tools();
  for (const auto& waiting : queue.pending)
    if (waiting == argv) return;
  queue.pending.push_back(argv);
  if (queue.running) return;
  queue.running = true;
  g_timeout_add_seconds(
      kToolDelaySeconds,
      [](gpointer) {
        RunNextTool();
        return G_SOURCE_REMOVE;
      },
      nullptr);
}

}  // namespace

std::string JobMimePackage(const std::string& description, const std::string& content_type) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"" +
      std::string(kJobMimeType) +
      "\">\n"
      "    <comment>" +
      XmlEscaped(description) +
      "</comment>\n"
      "    <icon name=\"" +
      std::string(kJobFileIconName) + "\"/>\n";
  if (!content_type.empty())
    xml += "    <sub-class-of type=\"" + XmlEscaped(content_type) + "\"/>\n";
  xml +=
      "    <glob pattern=\"*.tvj\"/>\n"
      "  </mime-type>\n"
      "</mime-info>\n";
  return xml;
}

std::string DesktopFolders::classes_file() const {
  return JoinPath(JoinPath(data_home, "tarvik"), "classes.ini");
}
std::string DesktopFolders::applications() const { return JoinPath(data_home, "applications"); }
std::string DesktopFolders::mime_package() const {
  return JoinPath(JoinPath(JoinPath(data_home, "mime"), "packages"), kMimePackageName);
}
bool DesktopFolders::provided_by_system(const std::string& relative_path) const {
  auto same_folder = [](const std::string& a, const std::string& b) {
    return WithoutTrailingSlash(a) == WithoutTrailingSlash(b);
  };
  for (const std::string& dir : system_data_dirs) {
    // A user's own folder listed among the system's holds the user's copies, not installed ones.
    if (dir.empty() || same_folder(dir, data_home)) continue;
    if (g_file_test(JoinPath(dir, relative_path).c_str(), G_FILE_TEST_EXISTS)) return true;
  }
  return false;
}
std::string DesktopFolders::mimeapps_list() const { return JoinPath(config_home, "mimeapps.list"); }

DesktopFolders DefaultDesktopFolders() {
  DesktopFolders folders{g_get_user_data_dir(), g_get_user_config_dir(), {}};
  for (const gchar* const* dir = g_get_system_data_dirs(); *dir; ++dir)
    folders.system_data_dirs.emplace_back(*dir);
  return folders;
}

const std::vector<DesktopAssociation>& DesktopAssociations() {
  static const std::vector<DesktopAssociation> table = {
      {kJobFileSuffix, "tarvik-tvj.desktop", {kJobMimeType}, false},
      {".url", "tarvik-url.desktop", {"application/x-mswinurl"}, false},
      {".htm", "tarvik-htm.desktop", {"text/html"}, false},
      {"http", "tarvik-http.desktop", {"x-scheme-handler/http", "x-scheme-handler/https"}, true},
  };
  return table;
}

std::string DesktopExecLine(const std::string& command_line, bool is_protocol) {
  std::string out;
  for (const auto& [arg, quoted] : SplitCommand(command_line)) {
    if (!out.empty()) out += ' ';
    // Field codes stand alone and unquoted, wherever the registered line put its %1.
    if (arg == "%1" || arg == "%L" || arg == "%l")
      out += is_protocol ? "%u" : "%f";
    else
      out += ExecArgument(arg);
  }
  return out;
}

std::string CommandProgram(const std::string& command_line) {
  auto args = SplitCommand(command_line);
  return args.empty() ? std::string() : args.front().first;
}

DesktopMirror::DesktopMirror(DesktopFolders folders, std::string exe_path, ToolRunner run_tool)
    : folders_(std::move(folders)), exe_path_(std::move(exe_path)), run_tool_(std::move(run_tool)) {
  if (!run_tool_) run_tool_ = SpawnInBackground;
}

bool DesktopMirror::IsOurs(const std::string& command_line) const {
  // A registration made by a Tarvik that has since moved is still Tarvik's: the program is
  // recognised by its file name.
  std::string program = CommandProgram(command_line);
  return !program.empty() && FileNamePart(program) == FileNamePart(exe_path_);
}

std::string DesktopMirror::OurVerb(const ClassRegistry& root, const std::string& type) const {
  std::vector<std::string> candidates;
  if (auto def = root.Read(type + "\\shell", ""); def && !def->empty()) candidates.push_back(*def);
  candidates.push_back(kVerbKey);
  candidates.push_back(kOpenVerb);
  for (const auto& v : root.SubKeys(type + "\\shell")) candidates.push_back(v);
  for (const auto& verb : candidates)
    if (IsOurs(VerbCommand(root, type, verb))) return verb;
  return {};
}

bool DesktopMirror::DefaultVerbIsOurs(const ClassRegistry& root, const std::string& type) const {
  // The verb the desktop runs: the one the type's "shell" key names, else "open". A type whose
  // only verbs are added ones keeps its own handler; registering never takes over a type.
  std::string verb = root.Read(type + "\\shell", "").value_or("");
  if (verb.empty()) verb = kOpenVerb;
  return IsOurs(VerbCommand(root, type, verb));
}

bool DesktopMirror::SetDefaultHandlers(
    const std::vector<std::pair<std::string, std::string>>& defaults) {
  if (defaults.empty()) return false;
  const std::string path = folders_.mimeapps_list();
  // Everything else in the user's file (other groups, other types, comments) stays as it is.
  // The file belongs to the desktop: one that does not read completely is left alone.
  bool damaged = false;
  KeyFilePtr kf = LoadKeyFile(
      path, static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS),
      &damaged);
  if (damaged) return false;
  bool changed = false;
  for (const auto& [mime, id] : defaults) {
    gchar* old = g_key_file_get_value(kf.get(), kDefaultApplications, mime.c_str(), nullptr);
    std::vector<std::string> ids{id};
    if (old) {
      gchar** parts = g_strsplit(old, ";", -1);
      for (gchar** p = parts; *p; ++p) {
        std::string entry = g_strstrip(*p);
        if (!entry.empty() && entry != id) ids.push_back(entry);
      }
      g_strfreev(parts);
    }
    std::string value;
    for (const auto& e : ids) value += e + ";";
    if (!old || value != old) {
      g_key_file_set_value(kf.get(), kDefaultApplications, mime.c_str(), value.c_str());
      changed = true;
    }
    g_free(old);
  }
  if (changed) WriteFileAtomically(path, KeyFileText(kf.get()));
  return changed;
}

bool DesktopMirror::WriteUnlessInstalled(const std::string& relative_path,
                                         const std::string& text) {
  const std::string path = JoinPath(folders_.data_home, relative_path);
  if (folders_.provided_by_system(relative_path)) return RemoveIfPresent(path);
  return WriteIfChanged(path, text);
}

void DesktopMirror::Sync(const ClassRegistry& root) {
  const std::string applications = "applications";
  bool apps_changed =
      WriteUnlessInstalled(JoinPath(applications, kMenuEntryId), MenuEntry(exe_path_));
  bool mime_changed = false;

  // The icons the entries and the MIME type name. The icon theme notices new files by itself.
  for (std::size_t i = 0; i < kDesktopIconFileCount; ++i) {
    const DesktopIconFile& icon = kDesktopIconFiles[i];
    WriteUnlessInstalled(icon.path,
                         std::string(reinterpret_cast<const char*>(icon.bytes), icon.length));
  }

  std::vector<std::pair<std::string, std::string>> defaults;
  for (const DesktopAssociation& assoc : DesktopAssociations()) {
    const std::string path = JoinPath(folders_.applications(), assoc.desktop_id);
    const std::string type = FileTypeOf(root, assoc.name);
    const std::string verb = type.empty() ? std::string() : OurVerb(root, type);
    if (verb.empty()) {
      apps_changed |= RemoveIfPresent(path);
      continue;
    }
    std::string caption = WithoutMnemonic(root.Read(type + "\\shell\\" + verb, "").value_or(""));
    const bool is_default = DefaultVerbIsOurs(root, type);
    apps_changed |=
        WriteUnlessInstalled(JoinPath(applications, assoc.desktop_id),
                             VerbEntry(assoc, VerbCommand(root, type, verb), caption, is_default));
    if (is_default)
      for (const char* mime : assoc.mime_types) defaults.emplace_back(mime, assoc.desktop_id);
  }

  // The job file type is Tarvik's own, so the desktop learns it from Tarvik.
  const std::string job_type = FileTypeOf(root, kJobFileSuffix);
  if (!job_type.empty() && !OurVerb(root, job_type).empty()) {
    std::string description = root.Read(job_type, "").value_or("");
    if (description.empty()) description = job_type;
    mime_changed = WriteUnlessInstalled(
        "mime/packages/" + std::string(kMimePackageName),
        JobMimePackage(description, root.Read(kJobFileSuffix, "Content Type").value_or("")));
  } else {
    mime_changed = RemoveIfPresent(folders_.mime_package());
  }

  SetDefaultHandlers(defaults);

  if (mime_changed) run_tool_({"update-mime-database", JoinPath(folders_.data_home, "mime")});
  if (apps_changed) run_tool_({"update-desktop-database", "-q", folders_.applications()});
}

}  // namespace tarvik
