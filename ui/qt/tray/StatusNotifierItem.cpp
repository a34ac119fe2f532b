#include "ui/qt/tray/StatusNotifierItem.h"

#include "ui/Layout.h"

#include "ui/qt/tray/DBusInterface.h"
#include "ui/qt/tray/DBusMenuExport.h"
#include "ui/qt/IconImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QDBusObjectPath>
#include <QTimer>

namespace zelvo::qt {
namespace {

constexpr DBusMember kMethods[] = {
    {"Activate", "ii", ""}, {"SecondaryActivate", "ii", ""},        {"ContextMenu", "ii", ""},
    {"Scroll", "is", ""},   {"ProvideXdgActivationToken", "s", ""},
};
constexpr DBusMember kProperties[] = {
    {"Category", "s", ""},
    {"Id", "s", ""},
    {"Title", "s", ""},
    {"Status", "s", ""},
    {"WindowId", "i", ""},
    {"IconName", "s", ""},
    {"IconPixmap", "a(iiay)", ""},
    {"OverlayIconName", "s", ""},
    {"OverlayIconPixmap", "a(iiay)", ""},
    {"AttentionIconName", "s", ""},
    {"AttentionIconPixmap", "a(iiay)", ""},
    {"AttentionMovieName", "s", ""},
    {"IconThemePath", "s", ""},
    {"ToolTip", "(sa(iiay)ss)", ""},
    {"ItemIsMenu", "b", ""},
    {"Menu", "o", ""},
};
constexpr DBusMember kSignals[] = {
    {"NewTitle", "", ""},       {"NewIcon", "", ""},    {"NewAttentionIcon", "", ""},
    {"NewOverlayIcon", "", ""}, {"NewToolTip", "", ""}, {"NewStatus", "s", ""},
};

// The program's own icon theme, with an image at every size a panel draws: beside the
// program in its build tree, or installed in a data directory.
QString IconThemePath() {
    const auto holdsTheme = [](const QString& dir) {
        return !dir.isEmpty() && QFile::exists(dir + QStringLiteral("/hicolor/index.theme"));
    };
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/icons");
    if (holdsTheme(beside)) {
        return beside;
    }
    const QString installed =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("zelvo/icons"),
                               QStandardPaths::LocateDirectory);
    return holdsTheme(installed) ? installed : QString();
}

// The icon's name goes only where a panel can find its image: in the program's own theme or
// in a data directory's hicolor theme. LXQt's panel takes a name over the pixmaps, and draws
// nothing for a name that no theme holds (a copy of the binary alone).
bool ThemeHoldsIcon() {
    if (!IconThemePath().isEmpty()) {
        return true;
    }
    const QString image = QStringLiteral("/icons/hicolor/16x16/apps/zelvo.png");
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (QFile::exists(dir + image)) {
            return true;
        }
    }
    return false;
}

} // namespace

const DBusInterfaceTable StatusNotifierItem::kTable{"org.kde.StatusNotifierItem", kMethods,
                                                    kProperties, kSignals};

SniPixmaps IconPixmaps() {
    SniPixmaps pixmaps;
    // Every size a panel may draw at, each the table's pixels at the largest whole multiple,
    // centred: no panel has to scale one (a scaled 32 blurs at 28, 40 or 44).
    for (int size = kIconSize; size <= 4 * kIconSize; ++size) {
        const QImage image = CentredIconImage(size);
        SniPixmap pixmap{image.width(), image.height(), {}};
        pixmap.argb.reserve(image.width() * image.height() * 4);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                for (int channel : {qAlpha(pixel), qRed(pixel), qGreen(pixel), qBlue(pixel)}) {
                    pixmap.argb.push_back(static_cast<char>(channel));
                }
            }
        }
        pixmaps.push_back(pixmap);
    }
    return pixmaps;
}

StatusNotifierItem::StatusNotifierItem(const QString& title, const QString& toolTip,
                                       const SniPixmaps& pixmaps, QMenu* menu,
                                       std::function<void(const QString&, const QString&)> onCall)
    : title_(title), toolTip_(toolTip), pixmaps_(pixmaps),
      iconName_(!pixmaps.empty() && ThemeHoldsIcon() ? QStringLiteral("zelvo") : QString()),
      menu_(new DBusMenuExport(menu, this)), onCall_(std::move(onCall)) {
    RegisterDBusTypes();
}

StatusNotifierItem::~StatusNotifierItem() {
    withdraw();
}

void StatusNotifierItem::exportOn(QDBusConnection bus, std::function<void(bool)> done) {
    withdraw();
    const bool ok = bus.registerVirtualObject(QLatin1String(kItemPath), this) &&
                    bus.registerVirtualObject(QLatin1String(kMenuPath), menu_);
    if (ok) {
        serviceName_ = bus.baseService();
        bus_ = bus;
    } else {
        bus.unregisterObject(QLatin1String(kItemPath));
    }
    QTimer::singleShot(0, this, [done, ok] { done(ok); });
}

void StatusNotifierItem::withdraw() {
    if (!bus_) {
        return;
    }
    bus_->unregisterObject(QLatin1String(kItemPath));
    bus_->unregisterObject(QLatin1String(kMenuPath));
    bus_.reset();
    serviceName_.clear();
    activationToken_.clear();
}

QVariantMap StatusNotifierItem::properties() const {
    return {
        {QStringLiteral("Category"), QStringLiteral("ApplicationStatus")},
        {QStringLiteral("Id"), QStringLiteral("zelvo")},
        {QStringLiteral("Title"), title_},
        {QStringLiteral("Status"), QStringLiteral("Active")},
        {QStringLiteral("WindowId"), 0},
        {QStringLiteral("IconName"), iconName_},
        {QStringLiteral("IconPixmap"), QVariant::fromValue(pixmaps_)},
        {QStringLiteral("OverlayIconName"), QString()},
        {QStringLiteral("OverlayIconPixmap"), QVariant::fromValue(SniPixmaps())},
        {QStringLiteral("AttentionIconName"), QString()},
        {QStringLiteral("AttentionIconPixmap"), QVariant::fromValue(SniPixmaps())},
        {QStringLiteral("AttentionMovieName"), QString()},
        {QStringLiteral("IconThemePath"), IconThemePath()},
        {QStringLiteral("ToolTip"), QVariant::fromValue(SniToolTip{{}, {}, toolTip_, {}})},
        {QStringLiteral("ItemIsMenu"), false},
        {QStringLiteral("Menu"), QVariant::fromValue(QDBusObjectPath(QLatin1String(kMenuPath)))}};
}

bool StatusNotifierItem::menuRead() const {
    return menu_->read();
}

QString StatusNotifierItem::introspect(const QString& /*path*/) const {
    return IntrospectionXml(kTable);
}

bool StatusNotifierItem::handleMessage(const QDBusMessage& message, const QDBusConnection& bus) {
    bool handled = true;
    const DBusMember* method = DispatchHead(kTable, properties(), bus, message, handled);
    if (!method) {
        return handled;
    }
    const QString member = QLatin1String(method->name);
    if (member == QLatin1String("Activate") || member == QLatin1String("SecondaryActivate") ||
        member == QLatin1String("ContextMenu")) {
        Reply(bus, message);
        // Queued: the call is answered before the window shows, and the item may be gone by
        // then (the program ending), which the pointer to this object tells.
        const QString token = std::exchange(activationToken_, QString());
        QTimer::singleShot(0, this, [this, member, token] { onCall_(member, token); });
    } else if (member == QLatin1String("ProvideXdgActivationToken")) {
        // A token is short; anything longer is not one.
        const QString token = message.arguments().value(0).toString();
        activationToken_ = token.size() <= 4096 ? token : QString();
        Reply(bus, message);
    } else {
        Reply(bus, message); // Scroll: nothing to scroll
    }
    return true;
}

} // namespace zelvo::qt
