#include "ui/qt/tray/DBusInterface.h"

#include <QDBusMessage>
#include <QStringList>

namespace zelvo::qt {
namespace {

QString Args(const char* signature, const char* direction) {
    QString xml;
    for (const QString& type : SplitSignature(QLatin1String(signature))) {
        xml += direction ? QStringLiteral("<arg type=\"%1\" direction=\"%2\"/>")
                               .arg(type, QLatin1String(direction))
                         : QStringLiteral("<arg type=\"%1\"/>").arg(type);
    }
    return xml;
}

} // namespace

QStringList SplitSignature(const QString& signature) {
    QStringList types;
    int start = 0;
    int depth = 0;
    for (int i = 0; i < signature.size(); ++i) {
        const QChar c = signature[i];
        if (c == QLatin1Char('(') || c == QLatin1Char('{')) {
            ++depth;
        } else if (c == QLatin1Char(')') || c == QLatin1Char('}')) {
            --depth;
        }
        // An array takes the type after it; a container runs to its close.
        if (depth == 0 && c != QLatin1Char('a')) {
            types << signature.mid(start, i - start + 1);
            start = i + 1;
        }
    }
    return types;
}

QString IntrospectionXml(const DBusInterfaceTable& table) {
    QString xml = QStringLiteral("<interface name=\"%1\">").arg(QLatin1String(table.name));
    for (const DBusMember& property : table.properties) {
        xml += QStringLiteral("<property name=\"%1\" type=\"%2\" access=\"read\"/>")
                   .arg(QLatin1String(property.name), QLatin1String(property.in));
    }
    for (const DBusMember& method : table.methods) {
        xml += QStringLiteral("<method name=\"%1\">%2%3</method>")
                   .arg(QLatin1String(method.name), Args(method.in, "in"), Args(method.out, "out"));
    }
    for (const DBusMember& signal : table.signalList) {
        xml += QStringLiteral("<signal name=\"%1\">%2</signal>")
                   .arg(QLatin1String(signal.name), Args(signal.in, nullptr));
    }
    return xml + QStringLiteral("</interface>");
}

const DBusMember* FindMethod(const DBusInterfaceTable& table, const QDBusMessage& call) {
    if (!call.interface().isEmpty() && call.interface() != QLatin1String(table.name)) {
        return nullptr;
    }
    for (const DBusMember& method : table.methods) {
        if (call.member() == QLatin1String(method.name) &&
            call.signature() == QLatin1String(method.in)) {
            return &method;
        }
    }
    return nullptr;
}

} // namespace zelvo::qt
