// The yardstick of the step benchmark: the smallest program on Tarvik's engine that loads one
// page after another, each fresh, as a browser does when the user goes to a new address. One
// window as large as Tarvik's browser area, one web view with Tarvik's drawing choice (pages drawn
// without compositing where there is no graphics processor's render node, or software rendering
// is forced); the first page comes from the command line, each later one from a line of the
// standard input ("back" and "forward" go through the view's history).
#include <gtk/gtk.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include "platform/hardware_rendering.h"

namespace {

gboolean OnLine(GIOChannel* input, GIOCondition condition, gpointer view) {
  gchar* line = nullptr;
  gsize length = 0;
  if (g_io_channel_read_line(input, &line, &length, nullptr, nullptr) != G_IO_STATUS_NORMAL) {
    g_free(line);
    if (condition & (G_IO_HUP | G_IO_ERR)) gtk_main_quit();
    return condition & (G_IO_HUP | G_IO_ERR) ? FALSE : TRUE;
  }
  g_strstrip(line);
  if (g_str_equal(line, "back"))
    webkit_web_view_go_back(WEBKIT_WEB_VIEW(view));
  else if (g_str_equal(line, "forward"))
    webkit_web_view_go_forward(WEBKIT_WEB_VIEW(view));
  else if (*line)
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), line);
  g_free(line);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 758, 431);
  WebKitSettings* settings = webkit_settings_new();
  if (!tarvik::HardwareRendering())
    webkit_settings_set_hardware_acceleration_policy(settings,
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings, nullptr));
  g_object_unref(settings);
  gtk_container_add(GTK_CONTAINER(window), view);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  GIOChannel* input = g_io_channel_unix_new(STDIN_FILENO);
  g_io_add_watch(input, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), OnLine, view);
  if (argc > 1) webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[argc - 1]);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
