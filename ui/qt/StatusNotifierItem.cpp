#include "ui/qt/StatusNotifierItem.h"

#include "ui/qt/DBusMenuExport.h"
#include "ui/qt/IconImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace zelvo::qt {
namespace {

const QString kInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;

// Where the theme's images are when the program runs from its build tree; installed, they
// are in the desktop's own icon theme.
QString IconThemePath() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/icons");
    return QDir(beside + QStringLiteral("/hicolor")).exists() ? beside : QString();
}

} // namespace

SniPixmaps IconPixmaps() {
    SniPixmaps pixmaps;
    // The sizes panels draw at, each the table's pixels at a whole multiple, centred: a panel
    // that scales the nearest or the largest one still gets a crisp image.
    for (int size : {16, 22, 24, 32, 48, 64}) {
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
    : title_(title), toolTip_(toolTip), pixmaps_(pixmaps), menu_(new DBusMenuExport(menu, this)),
      onCall_(std::move(onCall)) {
    RegisterDBusTypes();
}

StatusNotifierItem::~StatusNotifierItem() {
    withdraw();
}

void StatusNotifierItem::exportOn(QDBusConnection bus, std::function<void(bool)> done) {
    withdraw();
    static int exported = 0;
    const QString name = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(++exported);
    if (!bus.registerVirtualObject(QLatin1String(kItemPath), this) ||
        !bus.registerVirtualObject(QLatin1String(kMenuPath), menu_)) {
        bus.unregisterObject(QLatin1String(kItemPath));
        QTimer::singleShot(0, this, [done] { done(false); });
        return;
    }
    serviceName_ = name;
    bus_ = bus;
    QDBusMessage request = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                          QStringLiteral("RequestName"));
    request << name << kDoNotQueue;
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(request), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, name, done](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<uint> reply = *call;
                if (serviceName_ != name) {
                    return; // withdrawn meanwhile
                }
                done(!reply.isError() && reply.value() == kPrimaryOwner);
            });
}

void StatusNotifierItem::withdraw() {
    if (!bus_) {
        return;
    }
    QDBusMessage release = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                          QStringLiteral("ReleaseName"));
    release << serviceName_;
    bus_->send(release); // hosts see the name go; nothing here waits for the answer
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
        // Panels that scale the largest pixmap find the theme's image at their own size.
        {QStringLiteral("IconName"), pixmaps_.empty() ? QString() : QStringLiteral("zelvo")},
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

QString StatusNotifierItem::introspect(const QString& /*path*/) const {
    return QStringLiteral(
        "<interface name=\"org.kde.StatusNotifierItem\">"
        "<property name=\"Category\" type=\"s\" access=\"read\"/>"
        "<property name=\"Id\" type=\"s\" access=\"read\"/>"
        "<property name=\"Title\" type=\"s\" access=\"read\"/>"
        "<property name=\"Status\" type=\"s\" access=\"read\"/>"
        "<property name=\"WindowId\" type=\"i\" access=\"read\"/>"
        "<property name=\"IconName\" type=\"s\" access=\"read\"/>"
        "<property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
        "<property name=\"OverlayIconName\" type=\"s\" access=\"read\"/>"
        "<property name=\"OverlayIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
        "<property name=\"AttentionIconName\" type=\"s\" access=\"read\"/>"
        "<property name=\"AttentionIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
        "<property name=\"AttentionMovieName\" type=\"s\" access=\"read\"/>"
        "<property name=\"IconThemePath\" type=\"s\" access=\"read\"/>"
        "<property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>"
        "<property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>"
        "<property name=\"Menu\" type=\"o\" access=\"read\"/>"
        "<method name=\"Activate\"><arg type=\"i\" direction=\"in\"/>"
        "<arg type=\"i\" direction=\"in\"/></method>"
        "<method name=\"SecondaryActivate\"><arg type=\"i\" direction=\"in\"/>"
        "<arg type=\"i\" direction=\"in\"/></method>"
        "<method name=\"ContextMenu\"><arg type=\"i\" direction=\"in\"/>"
        "<arg type=\"i\" direction=\"in\"/></method>"
        "<method name=\"Scroll\"><arg type=\"i\" direction=\"in\"/>"
        "<arg type=\"s\" direction=\"in\"/></method>"
        "<method name=\"ProvideXdgActivationToken\"><arg type=\"s\" direction=\"in\"/></method>"
        "<signal name=\"NewTitle\"/><signal name=\"NewIcon\"/><signal name=\"NewToolTip\"/>"
        "<signal name=\"NewStatus\"><arg type=\"s\"/></signal>"
        "</interface>");
}

bool StatusNotifierItem::handleMessage(const QDBusMessage& message, const QDBusConnection& bus) {
    if (AnswerProperties(bus, message, kInterface, properties())) {
        return true;
    }
    if (message.interface() != kInterface && !message.interface().isEmpty()) {
        return false;
    }
    const QString member = message.member();
    const QString signature = message.signature();
    const bool position = signature == QLatin1String("ii");
    if ((member == QLatin1String("Activate") || member == QLatin1String("SecondaryActivate") ||
         member == QLatin1String("ContextMenu")) &&
        position) {
        Reply(bus, message);
        // Queued: the call is answered before the window shows, and the item may be gone by
        // then (the program ending), which the pointer to this object tells.
        const QString token = std::exchange(activationToken_, QString());
        QTimer::singleShot(0, this, [this, member, token] { onCall_(member, token); });
    } else if (member == QLatin1String("Scroll") && signature == QLatin1String("is")) {
        Reply(bus, message);
    } else if (member == QLatin1String("ProvideXdgActivationToken") &&
               signature == QLatin1String("s")) {
        // A token is short; anything longer is not one.
        const QString token = message.arguments().value(0).toString();
        activationToken_ = token.size() <= 4096 ? token : QString();
        Reply(bus, message);
    } else {
        ReplyError(bus, message, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                   QStringLiteral("No such method, or not with these arguments"));
    }
    return true;
}

} // namespace zelvo::qt
