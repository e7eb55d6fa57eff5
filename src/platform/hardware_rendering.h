// Whether pages can be drawn by a graphics processor: a render node the user may open, and
// software rendering not forced. The engine adapter asks it, and the benchmarks' shells ask it the
// same way, so that they draw pages as Tarvik does. Needs nothing but GLib.
#pragma once

#include <glib.h>
#include <unistd.h>

namespace tarvik {

inline bool HardwareRendering() {
  bool hardware = false;
  if (GDir* dri = g_dir_open("/dev/dri", 0, nullptr)) {
    while (const char* name = g_dir_read_name(dri)) {
      if (!g_str_has_prefix(name, "renderD")) continue;
      gchar* node = g_build_filename("/dev/dri", name, nullptr);
      if (access(node, R_OK | W_OK) == 0) hardware = true;
      g_free(node);
    }
    g_dir_close(dri);
  }
  const char* forced = g_getenv("LIBGL_ALWAYS_SOFTWARE");
  if (forced && *forced && g_strcmp0(forced, "0") != 0) hardware = false;
  return hardware;
}

}  // namespace tarvik
