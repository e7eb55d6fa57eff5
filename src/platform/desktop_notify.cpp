#include "platform/desktop_notify.h"

#include <gio/gio.h>

namespace tarvik {

namespace {

// Notifications are sent in the name of an application; Tarvik's windows are no GApplication,
// so one stands for them, registered once, owning no name on the bus.
GApplication* NotifyingApplication() {
  static GApplication* app = [] {
    GApplication* a = g_application_new("org.tarvik.Tarvik", G_APPLICATION_NON_UNIQUE);
    if (!g_application_register(a, nullptr, nullptr)) {
      g_object_unref(a);
      return static_cast<GApplication*>(nullptr);
    }
    return a;
  }();
  return app;
}

// Whether the session has a service that shows notifications; without one GLib would only
// complain that it could not send them.
bool NotificationServiceRuns() {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus) return false;
  bool runs = false;
  for (const char* name : {"org.freedesktop.Notifications", "org.gtk.Notifications"}) {
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
        1000, nullptr, nullptr);
    if (!reply) continue;
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    runs = runs || owned;
  }
  g_object_unref(bus);
  return runs;
}

}  // namespace

void NotifyDesktop(const std::string& id, const std::string& title, const std::string& body) {
  if (!g_getenv("DBUS_SESSION_BUS_ADDRESS") || !NotificationServiceRuns()) return;
  GApplication* app = NotifyingApplication();
  if (!app) return;
  GNotification* n = g_notification_new(title.c_str());
  g_notification_set_body(n, body.c_str());
  g_application_send_notification(app, id.c_str(), n);
  g_object_unref(n);
}

}  // namespace tarvik
