#pragma once

#include <QIcon>

#include <functional>

// Icons whose pictures are read the first time the icon is painted or sized. Decoding pictures
// costs the window's start-up more than its controls, and many are never shown: the tray's status
// pictures wait for the tray, and some desktops never ask for the window's icon.
namespace DeferredIcon {

// An icon that calls `read` once, when it is first painted or sized; for pictures built into the
// program, so it is not null until `read` says otherwise.
QIcon make(std::function<QIcon()> read);

} // namespace DeferredIcon
