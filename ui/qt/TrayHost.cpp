#include "ui/qt/TrayHost.h"

namespace zelvo::qt {

TrayHost::Change TrayHost::setStatusNotifierHost(bool registered) {
    return update(registered, xembed_);
}

TrayHost::Change TrayHost::setXEmbedTray(bool present) {
    return update(statusNotifier_, present);
}

TrayHost::Change TrayHost::update(bool statusNotifier, bool xembed) {
    const auto before = protocol();
    statusNotifier_ = statusNotifier;
    xembed_ = xembed;
    const auto after = protocol();
    if (before == after) {
        return Change::None;
    }
    if (!before) {
        return Change::Appeared;
    }
    return after ? Change::Moved : Change::Lost;
}

} // namespace zelvo::qt
