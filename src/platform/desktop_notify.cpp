#include "platform/desktop_notify.h"

#include <gio/gio.h>

#include <vector>

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
  // Owned now, or started by the bus on the first call (as some desktops start theirs).
  auto names_of = [bus](const char* method) {
    std::vector<std::string> names;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
        nullptr, G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
    if (!reply) return names;
    GVariantIter* iter = nullptr;
    const char* name = nullptr;
    g_variant_get(reply, "(as)", &iter);
    while (g_variant_iter_next(iter, "&s", &name)) names.emplace_back(name);
    g_variant_iter_free(iter);
    g_variant_unref(reply);
    return names;
  };
  bool runs = false;
  for (const char* method : {"ListNames", "ListActivatableNames"})
    for (const std::string& name : names_of(method))
      runs = runs || name == "org.freedesktop.Notifications" || name == "org.gtk.Notifications";
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
