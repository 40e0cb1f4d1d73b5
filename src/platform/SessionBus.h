#pragma once

// Whether the desktop session names a message bus. Asking the bus library for the session bus
// when none is named makes it start a private one of its own that outlives the program, so every
// use of the session bus asks this first.
namespace SessionBus {

bool isNamed();

} // namespace SessionBus
