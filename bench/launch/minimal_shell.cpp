// The smallest program on the same engine as Tarvik, as the yardstick of the launch benchmark:
// one window, one web view with the default context and default settings, the page given as the
// last argument. The window is as large as Tarvik's browser area, so both engines draw the
// same number of pixels.
//
// With "--like-tarvik" first, the view's settings say what Tarvik's say about drawing: pages are
// drawn without compositing where there is no graphics processor's render node (or software
// rendering is forced), the like-for-like yardstick; without it, the engine's own defaults.
#include <gtk/gtk.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <cstring>

#include "platform/hardware_rendering.h"

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  const bool like_tarvik = argc > 1 && std::strcmp(argv[1], "--like-tarvik") == 0;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 758, 431);
  WebKitSettings* settings = webkit_settings_new();
  if (like_tarvik && !tarvik::HardwareRendering())
    webkit_settings_set_hardware_acceleration_policy(settings,
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings, nullptr));
  g_object_unref(settings);
  gtk_container_add(GTK_CONTAINER(window), view);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  if (argc > (like_tarvik ? 2 : 1)) webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[argc - 1]);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
