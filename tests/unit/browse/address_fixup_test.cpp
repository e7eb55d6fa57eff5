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

// A host with a port is no scheme: "localhost:8080/x" went to the engine as it was and loaded
// nothing. Only schemes the engine or the desktop handles, or any with "//", are kept.
TEST(FixUpAddressTest, HostWithPortGetsHttp) {
  EXPECT_EQ(FixUpAddress("localhost:8080/x"), "http://localhost:8080/x");
  EXPECT_EQ(FixUpAddress("example.com:8080"), "http://example.com:8080");
  EXPECT_EQ(FixUpAddress("127.0.0.1:3000?q=1"), "http://127.0.0.1:3000?q=1");
  EXPECT_EQ(FixUpAddress("HTTP://example.com:8080/"), "HTTP://example.com:8080/");
  EXPECT_EQ(FixUpAddress("javascript:alert(1)"), "javascript:alert(1)");
  EXPECT_EQ(FixUpAddress("mailto:a@example.com"), "mailto:a@example.com");
  EXPECT_EQ(FixUpAddress("data:text/plain,x"), "data:text/plain,x");
  EXPECT_EQ(FixUpAddress("ftp://example.com/f"), "ftp://example.com/f");
  EXPECT_EQ(FixUpAddress("file:///tmp"), "file:///tmp");
  EXPECT_EQ(FixUpAddress("custom-app://open/x"), "custom-app://open/x");
  // Fixing up the result again keeps it.
  EXPECT_EQ(FixUpAddress(FixUpAddress("localhost:8080/x")), "http://localhost:8080/x");
}

}  // namespace
}  // namespace tarvik
