// An exported D-Bus interface described once, as a table: its methods with their arguments'
// signatures, its properties and signals. Introspection and call dispatch both read it.
#pragma once

#include <QString>

#include <span>

class QDBusMessage;

namespace zelvo::qt {

struct DBusMember {
    const char* name;
    const char* in;  // a method's arguments, a property's type, a signal's arguments
    const char* out; // a method's results; empty otherwise
};

struct DBusInterfaceTable {
    const char* name;
    std::span<const DBusMember> methods;
    std::span<const DBusMember> properties;
    std::span<const DBusMember> signalList; // not "signals": a Qt keyword
};

// The interface's <interface> element for Introspect.
QString IntrospectionXml(const DBusInterfaceTable& table);

// The method that `call` asks for, if the interface has it with exactly these arguments.
const DBusMember* FindMethod(const DBusInterfaceTable& table, const QDBusMessage& call);

// The single complete types a signature is made of, in order ("ia{sv}" gives "i", "a{sv}").
QStringList SplitSignature(const QString& signature);

} // namespace zelvo::qt
