// The files the per-user registration leaves for the desktop beside its entries: the icons they
// name, and no copies of what an installed Tarvik already provides.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include "platform/desktop_icons.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"
#include "system/desktop_mirror.h"
#include "system/mod_relation.h"

namespace tarvik {
namespace {

constexpr char kExe[] = "/opt/tarvik/bin/tarvik";

std::string KeyValue(const std::string& path, const char* key) {
  GKeyFile* kf = g_key_file_new();
  std::string out = "(none)";
  if (g_key_file_load_from_file(kf, path.c_str(), G_KEY_FILE_NONE, nullptr)) {
    if (gchar* v = g_key_file_get_string(kf, "Desktop Entry", key, nullptr)) {
      out = v;
      g_free(v);
    }
  }
  g_key_file_free(kf);
  return out;
}

class DesktopFilesTest : public ::testing::Test {
 protected:
  DesktopFilesTest() {
    store.set_on_change([this](const ClassRegistry& root) { mirror.Sync(root); });
  }

  void Register() { RegisterAssociations(store, settings, kExe); }
  std::string User(const std::string& relative) { return dir.file("data/" + relative); }
  void Install(const std::string& relative) {
    const std::string path = dir.file("system/" + relative);
    gchar* folder = g_path_get_dirname(path.c_str());
    ASSERT_EQ(g_mkdir_with_parents(folder, 0755), 0);
    g_free(folder);
    ASSERT_TRUE(WriteFileAtomically(path, "installed"));
  }

  test::TempDir dir;
  DesktopFolders folders{dir.file("data"), dir.file("config"), {dir.file("system")}};
  DesktopMirror mirror{folders, kExe, [](const std::vector<std::string>&) {}};
  KeyFileClassRegistry store{folders.classes_file()};
  SettingsStore settings{dir.file("config/tarvik/settings.ini")};
};

// The entries named an icon "tarvik" that nothing installed, and job files had no icon at all.
TEST_F(DesktopFilesTest, RegistrationInstallsTheIconsItsEntriesName) {
  Register();
  ASSERT_EQ(KeyValue(User("applications/tarvik.desktop"), "Icon"), kApplicationIconName);
  ASSERT_EQ(KeyValue(User("applications/tarvik-tvj.desktop"), "Icon"), kApplicationIconName);
  for (const char* context : {"apps", "mimetypes"}) {
    const std::string name =
        std::string(context) == "apps" ? kApplicationIconName : kJobFileIconName;
    for (int size : kDesktopIconSizes) {
      const std::string path = User(DesktopIconPath(size, context, name));
      GError* error = nullptr;
      GdkPixbuf* icon = gdk_pixbuf_new_from_file(path.c_str(), &error);
      ASSERT_NE(icon, nullptr) << path << ": " << (error ? error->message : "");
      EXPECT_EQ(gdk_pixbuf_get_width(icon), size) << path;
      EXPECT_EQ(gdk_pixbuf_get_height(icon), size) << path;
      EXPECT_TRUE(gdk_pixbuf_get_has_alpha(icon)) << path;
      g_object_unref(icon);
    }
    auto svg = ReadFileBytes(User(DesktopIconPath(0, context, name)));
    ASSERT_TRUE(svg) << name;
    EXPECT_NE(svg->find("<svg"), std::string::npos) << name;
  }
  // The job type names its icon, so job files no longer show a generic one.
  auto package = ReadFileBytes(folders.mime_package());
  ASSERT_TRUE(package);
  EXPECT_NE(package->find("<icon name=\"application-x-tarvik-job\"/>"), std::string::npos)
      << *package;
}

TEST_F(DesktopFilesTest, IconsOfDifferentSizesAreDrawnAtThoseSizesNotCopied) {
  // Each size is drawn for itself: a file repeated under another size's folder would be
  // rejected by the icon theme or shown blurred.
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < kDesktopIconFileCount; ++i) {
    std::string bytes(reinterpret_cast<const char*>(kDesktopIconFiles[i].bytes),
                      kDesktopIconFiles[i].length);
    for (const auto& other : seen) EXPECT_NE(bytes, other) << kDesktopIconFiles[i].path;
    seen.push_back(bytes);
  }
  EXPECT_EQ(kDesktopIconFileCount, 2 * (std::size(kDesktopIconSizes) + 1));
}

TEST_F(DesktopFilesTest, WhatAnInstalledTarvikProvidesIsNotCopiedForTheUser) {
  const char* installed[] = {"applications/tarvik.desktop", "applications/tarvik-tvj.desktop",
                             "mime/packages/tarvik.xml", "icons/hicolor/48x48/apps/tarvik.png",
                             "icons/hicolor/scalable/mimetypes/application-x-tarvik-job.svg"};
  for (const char* file : installed) Install(file);
  Register();
  for (const char* file : installed) EXPECT_FALSE(FileExists(User(file))) << file;
  // What the installed Tarvik does not provide is still the user's.
  EXPECT_TRUE(FileExists(User("applications/tarvik-url.desktop")));
  EXPECT_TRUE(FileExists(User("icons/hicolor/16x16/apps/tarvik.png")));
  // The installed job file entry has the same name, so the desktop's default for job files
  // finds it.
  GKeyFile* kf = g_key_file_new();
  ASSERT_TRUE(
      g_key_file_load_from_file(kf, folders.mimeapps_list().c_str(), G_KEY_FILE_NONE, nullptr));
  gchar* handler = g_key_file_get_string(kf, "Default Applications", kJobMimeType, nullptr);
  EXPECT_STREQ(handler, "tarvik-tvj.desktop;");
  g_free(handler);
  g_key_file_free(kf);
}

TEST_F(DesktopFilesTest, CopiesMadeBeforeTarvikWasInstalledGiveWayToTheInstalledFiles) {
  Register();
  ASSERT_TRUE(FileExists(User("applications/tarvik.desktop")));
  ASSERT_TRUE(FileExists(folders.mime_package()));
  Install("applications/tarvik.desktop");
  Install("mime/packages/tarvik.xml");
  settings.Save("Setting", "RelationDone", "False");
  Register();
  EXPECT_FALSE(FileExists(User("applications/tarvik.desktop")));
  EXPECT_FALSE(FileExists(folders.mime_package()));
  EXPECT_TRUE(FileExists(User("applications/tarvik-tvj.desktop")));
}

TEST_F(DesktopFilesTest, TheUsersOwnFolderAmongTheSystemsIsNotAnInstallation) {
  folders.system_data_dirs = {folders.data_home + "/", dir.file("system")};
  DesktopMirror own{folders, kExe, [](const std::vector<std::string>&) {}};
  store.set_on_change([&own](const ClassRegistry& root) { own.Sync(root); });
  Register();
  settings.Save("Setting", "RelationDone", "False");
  Register();  // finds its own copies there and must keep them
  EXPECT_TRUE(FileExists(User("applications/tarvik.desktop")));
  EXPECT_TRUE(FileExists(folders.mime_package()));
  EXPECT_TRUE(FileExists(User("icons/hicolor/48x48/apps/tarvik.png")));
}

}  // namespace
}  // namespace tarvik
