#pragma once
// Whether the display Qt would connect to can be reached. Qt ends the process when its
// platform cannot connect, so the question is asked first, without Qt: a connection to
// the X server (through the X client library, loaded only for this) or to the Wayland
// socket. Platforms that need no server (offscreen, tests) are always reachable.
#include <string>

namespace gs {

struct TDisplayProbe {
    bool Reachable = false;
    std::string Name;  // the display that was tried, for the message when it cannot be reached
    bool Seen = false;  // a screen someone looks at: an X or Wayland display, not offscreen
};

TDisplayProbe ProbeDisplay();

}  // namespace gs
