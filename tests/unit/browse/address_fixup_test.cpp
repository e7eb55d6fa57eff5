#include "browse/address_fixup.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

// What the address box hands the engine: addresses with a scheme as they are, existing files
// and folders (absolute or relative) as file URIs, anything else as a host name.
TEST(FixUpAddressTest, SchemesFilesAndHostNames) {
  TempDir dir;
  const std::string page = dir.file("page one.html");
  ASSERT_TRUE(WriteFileAtomically(page, "<p>x</p>"));
  gchar* uri = g_filename_to_uri(page.c_str(), nullptr, nullptr);
  const std::string page_uri = uri;
  g_free(uri);
  EXPECT_EQ(FixUpAddress(""), "");
  EXPECT_EQ(FixUpAddress("https://example.com/a"), "https://example.com/a");
  EXPECT_EQ(FixUpAddress("about:blank"), "about:blank");
  EXPECT_EQ(FixUpAddress("example.com/a b"), "http://example.com/a b");
  EXPECT_EQ(FixUpAddress("c:/x"), "http://c:/x") << "a drive letter is not a scheme";
  EXPECT_EQ(FixUpAddress(page), page_uri);
  EXPECT_EQ(FixUpAddress(dir.path() + "/./page one.html"), page_uri);
  gchar* cwd = g_get_current_dir();
  ASSERT_EQ(g_chdir(dir.path().c_str()), 0);
  EXPECT_EQ(FixUpAddress("page one.html"), page_uri);
  EXPECT_EQ(g_chdir(cwd), 0);
  g_free(cwd);
}

}  // namespace
}  // namespace tarvik
