#pragma once

#include <QByteArray>

namespace morvast {

// Which Qt platform the game asks for, from the environment of the session.
struct PlatformChoice {
    QByteArray platform;               // for QT_QPA_PLATFORM; empty leaves Qt's own choice
    bool placesLeftToDesktop = false;  // the windows will stand where the desktop puts them
};

// The game places its five windows itself, which Wayland lets no client do: in a Wayland
// session with the X11 compatibility server (DISPLAY set) it runs on that, unless the player
// chose a platform; with Wayland alone it runs natively. Arguments are the variables' values,
// null when unset.
PlatformChoice choosePlatform(const char* qpaPlatform, const char* waylandDisplay,
                              const char* display);

}  // namespace morvast
