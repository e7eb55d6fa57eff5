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

}  // namespace

void NotifyDesktop(const std::string& id, const std::string& title, const std::string& body) {
  if (!g_getenv("DBUS_SESSION_BUS_ADDRESS")) return;
  GApplication* app = NotifyingApplication();
  if (!app) return;
  GNotification* n = g_notification_new(title.c_str());
  g_notification_set_body(n, body.c_str());
  g_application_send_notification(app, id.c_str(), n);
  g_object_unref(n);
}

}  // namespace tarvik
