// Whether the window has a display to open on, and the platforms Qt is to try for it: read
// from the environment alone, so that the command decides without loading Qt.
#pragma once

#include <string>
#include <string_view>

// True when the environment names a display: an X or Wayland display, or a Qt platform that
// shows windows somewhere (offscreen and minimal show them nowhere).
bool DisplayNamed();

// True for a headless platform, or a list of platforms (with their arguments) that starts
// with one: Qt tries them in order, and a headless one always starts.
bool Headless(std::string_view platforms);

// The platforms to try, best first, ending in one that always starts: a display that cannot
// be reached is then noticed by the window instead of ending the program in Qt.
std::string PlatformsToTry();
