#include "platform/qt/display_check.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QLibraryInfo>

namespace pictorin {
namespace {

constexpr std::string_view kWayOut = "; run it under a display, for example with xvfb-run";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool WaylandDisplayOpens(const std::string& display) {
  const std::string runtime_dir = Env("XDG_RUNTIME_DIR");
  if (!display.starts_with('/') && runtime_dir.empty()) return false;
  const std::string path = display.starts_with('/') ? display : runtime_dir + "/" + display;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_fd < 0) return false;
  const bool opens = connect(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  close(socket_fd);
  return opens;
}

bool WaylandPluginInstalled() {
  const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
  return !platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
}

}  // namespace

DisplayCheck::DisplayCheck() : problem_(Check()) {}

DisplayCheck::~DisplayCheck() {
  if (x_connection_) xcb_disconnect(x_connection_);
}

// Connecting is the sure test: it covers a server that is gone and one that
// refuses us.
bool DisplayCheck::XDisplayOpens(const std::string& display) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  if (xcb_connection_has_error(connection) == 0) {
    x_connection_ = connection;
    return true;
  }
  xcb_disconnect(connection);
  return false;
}

std::optional<std::string> DisplayCheck::Check() {
  const std::string platform = Env("QT_QPA_PLATFORM");
  const bool x_allowed = platform.empty() || platform.find("xcb") != std::string::npos;
  const bool wayland_allowed = platform.empty() || platform.find("wayland") != std::string::npos;
  if (!x_allowed && !wayland_allowed) return std::nullopt;

  const std::string x_display = Env("DISPLAY");
  const std::string wayland_display = Env("WAYLAND_DISPLAY");
  if (x_display.empty() && wayland_display.empty()) {
    return "pictorin: no display found (DISPLAY and WAYLAND_DISPLAY are not set)" + std::string(kWayOut);
  }
  if (x_allowed && !x_display.empty() && XDisplayOpens(x_display)) return std::nullopt;
  if (wayland_allowed && !wayland_display.empty() && WaylandDisplayOpens(wayland_display)) {
    if (WaylandPluginInstalled()) return std::nullopt;
    return "pictorin: the Wayland display \"" + wayland_display +
           "\" needs Qt's Wayland support (Debian package qt6-wayland), which is not installed" + std::string(kWayOut);
  }
  const std::string tried = !x_display.empty() && x_allowed ? "the X display \"" + x_display + "\" (DISPLAY)"
                                                            : "the Wayland display \"" + wayland_display + "\"";
  return "pictorin: cannot open " + tried + std::string(kWayOut);
}

}  // namespace pictorin
