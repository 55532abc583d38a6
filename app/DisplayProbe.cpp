#include "app/DisplayProbe.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace gs {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The X client library's connect, error and disconnect calls, looked up at run time so
// that the program does not depend on it for runs that never show a window.
bool xServerReachable() {
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    bool reachable = false;
    if (connect && hasError && disconnect) {
        void* connection = connect(nullptr, nullptr);
        reachable = connection && hasError(connection) == 0;
        if (connection) disconnect(connection);  // a failed connection is freed the same way
    }
    ::dlclose(xcb);
    return reachable;
}

bool waylandReachable(const std::string& display) {
    std::string path = display;
    if (!path.starts_with('/')) {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        if (runtime.empty()) return false;
        path = runtime + "/" + display;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool reachable = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return reachable;
}

}  // namespace

TDisplayProbe ProbeDisplay() {
    const std::string platform = environment("QT_QPA_PLATFORM");
    const std::string x = environment("DISPLAY"), wayland = environment("WAYLAND_DISPLAY");
    const bool wantsX = platform.starts_with("xcb"), wantsWayland = platform.starts_with("wayland");
    if (!platform.empty() && !wantsX && !wantsWayland) return {true, platform, false};  // offscreen and the like
    if (!wantsWayland && !x.empty() && xServerReachable()) return {true, x, true};
    if (!wantsX && !wayland.empty() && waylandReachable(wayland)) {
        // Qt is told which one answered, lest it try the X server that did not.
        if (platform.empty()) ::setenv("QT_QPA_PLATFORM", "wayland", 1);
        return {true, wayland, true};
    }
    return {false, !x.empty() && !wantsWayland ? x : wayland};
}

}  // namespace gs
