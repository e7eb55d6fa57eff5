// main() of the window tests: GTK is initialised once, before any test runs.
#include <gtest/gtest.h>
#include <gtkmm/main.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Gtk::Main kit(argc, argv);
  return RUN_ALL_TESTS();
}
