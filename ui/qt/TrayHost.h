// What the program knows of the desktop's notification areas, and what each change means
// for the icon: hosts come late, restart and vanish, and the icon follows them, once a change.
#pragma once

#include "ui/qt/TrayProtocol.h"

#include <optional>

namespace zelvo::qt {

class TrayHost {
public:
    enum class Change {
        None,     // the icon stays where it is
        Appeared, // a host is there where there was none: add the icon
        Moved,    // another kind of host takes over: the icon moves to it
        Lost,     // the icon's host went and none is left
    };

    Change setStatusNotifierHost(bool registered);
    Change setXEmbedTray(bool present);

    // Where the icon belongs now, if anywhere.
    std::optional<TrayProtocol> protocol() const { return ProtocolFor(statusNotifier_, xembed_); }

private:
    Change update(bool statusNotifier, bool xembed);

    bool statusNotifier_ = false;
    bool xembed_ = false;
};

} // namespace zelvo::qt
