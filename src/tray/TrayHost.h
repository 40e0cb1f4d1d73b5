#pragma once

#include <functional>

class QObject;

// The kinds of tray a Linux desktop runs: a panel that embeds the icon's window, or a host on the
// session bus that draws the icon itself and sends one call per click. A status tray watcher that
// holds its name but does not answer makes the tray unusable: the toolkit would wait on it before
// it shows an icon of either kind.
enum class TrayHost
{
    Embedding,
    StatusNotifier,
    Unusable,
};

namespace TrayHostCheck {

// How long the status tray's watcher may take to say whether a host is registered with it.
inline constexpr int answerLimitMs = 1000;

// Asks the session bus without waiting. answered gets the host once, at once or at most
// answerLimitMs later, unless context has gone by then.
void ask(QObject& context, std::function<void(TrayHost)> answered);

} // namespace TrayHostCheck
