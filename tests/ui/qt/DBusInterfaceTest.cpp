#include "ui/qt/tray/DBusInterface.h"
#include "ui/qt/tray/DBusMenuExport.h"
#include "ui/qt/tray/StatusNotifierItem.h"

#include <QDBusMetaType>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using zelvo::qt::DBusInterfaceTable;
using zelvo::qt::DBusMenuExport;
using zelvo::qt::StatusNotifierItem;

namespace {

// Every property a host reads has the value the interface declares, of the declared type.
void ExpectValuesAsDeclared(const DBusInterfaceTable& table, const QVariantMap& values) {
    QStringList declared;
    for (const auto& property : table.properties) {
        declared << QLatin1String(property.name);
        const QVariant value = values.value(QLatin1String(property.name));
        EXPECT_TRUE(value.isValid()) << property.name << " has no value";
        EXPECT_EQ(QString::fromLatin1(QDBusMetaType::typeToSignature(value.metaType())),
                  QLatin1String(property.in))
            << property.name;
    }
    QStringList given = values.keys();
    declared.sort();
    EXPECT_EQ(given, declared);
}

// What introspection tells a host: each method's arguments, in and out, as dispatch takes them.
void ExpectIntrospectionAsDispatched(const DBusInterfaceTable& table) {
    QXmlStreamReader xml(zelvo::qt::IntrospectionXml(table));
    QMap<QString, QString> methods;
    QString method;
    int signalCount = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const auto attributes = xml.attributes();
        if (xml.name() == QLatin1String("method")) {
            method = attributes.value(QLatin1String("name")).toString();
            methods[method];
        } else if (xml.name() == QLatin1String("signal")) {
            method.clear();
            ++signalCount;
        } else if (xml.name() == QLatin1String("arg") && !method.isEmpty()) {
            methods[method] +=
                attributes.value(QLatin1String("direction")).toString() + QLatin1Char(':') +
                attributes.value(QLatin1String("type")).toString() + QLatin1Char(' ');
        }
    }
    ASSERT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
    ASSERT_EQ(methods.size(), static_cast<qsizetype>(table.methods.size()));
    for (const auto& member : table.methods) {
        QString args;
        for (const QString& type : zelvo::qt::SplitSignature(QLatin1String(member.in))) {
            args += QStringLiteral("in:") + type + QLatin1Char(' ');
        }
        for (const QString& type : zelvo::qt::SplitSignature(QLatin1String(member.out))) {
            args += QStringLiteral("out:") + type + QLatin1Char(' ');
        }
        EXPECT_EQ(methods.value(QLatin1String(member.name)), args) << member.name;
    }
    EXPECT_EQ(signalCount, static_cast<int>(table.signalList.size()));
}

} // namespace

TEST(DBusInterface, SignaturesSplitIntoCompleteTypes) {
    EXPECT_EQ(zelvo::qt::SplitSignature(QStringLiteral("u(ia{sv}av)")),
              (QStringList{QStringLiteral("u"), QStringLiteral("(ia{sv}av)")}));
    EXPECT_EQ(zelvo::qt::SplitSignature(QStringLiteral("a(ia{sv})a(ias)aai")),
              (QStringList{QStringLiteral("a(ia{sv})"), QStringLiteral("a(ias)"),
                           QStringLiteral("aai")}));
}

TEST(DBusInterface, TheItemAndItsMenuAnswerAsTheyDescribeThemselves) {
    QMenu menu;
    menu.addAction(QStringLiteral("E&xit"));
    StatusNotifierItem item(QStringLiteral("Zelvo"), QStringLiteral("Zelvo - 1"),
                            zelvo::qt::IconPixmaps(), &menu, [](const QString&, const QString&) {});
    ExpectValuesAsDeclared(StatusNotifierItem::kTable, item.properties());
    ExpectIntrospectionAsDispatched(StatusNotifierItem::kTable);
    ExpectValuesAsDeclared(DBusMenuExport::kTable, DBusMenuExport::properties());
    ExpectIntrospectionAsDispatched(DBusMenuExport::kTable);
}

TEST(DBusInterface, TheItemsIconFitsEveryPanel) {
    // Every size a panel may draw at, so that none has to scale (and blur) one.
    const auto pixmaps = zelvo::qt::IconPixmaps();
    ASSERT_EQ(pixmaps.size(), 49);
    for (int i = 0; i < pixmaps.size(); ++i) {
        EXPECT_EQ(pixmaps[i].width, 16 + i);
        EXPECT_EQ(pixmaps[i].argb.size(), 4 * (16 + i) * (16 + i));
    }
    // The name only where a theme holds the image: a panel that prefers the name draws
    // nothing for one that it cannot find.
    QTemporaryDir data;
    const QByteArray home = qgetenv("XDG_DATA_HOME"), dirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    QMenu menu;
    const auto property = [&](const char* name) {
        return StatusNotifierItem(QStringLiteral("Zelvo"), {}, pixmaps, &menu, {})
            .properties()
            .value(QString::fromLatin1(name))
            .toString();
    };
    EXPECT_EQ(property("IconName"), QString());
    const QString apps = data.path() + QStringLiteral("/icons/hicolor/16x16/apps");
    ASSERT_TRUE(QDir().mkpath(apps));
    QFile image(apps + QStringLiteral("/zelvo.png"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.close();
    EXPECT_EQ(property("IconName"), QStringLiteral("zelvo"));
    // The program's own theme, installed: the item names it, with the name.
    EXPECT_EQ(property("IconThemePath"), QString());
    const QString own = data.path() + QStringLiteral("/zelvo/icons");
    ASSERT_TRUE(QDir().mkpath(own + QStringLiteral("/hicolor")));
    QFile index(own + QStringLiteral("/hicolor/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.close();
    EXPECT_EQ(property("IconThemePath"), own);
    qputenv("XDG_DATA_HOME", home);
    qputenv("XDG_DATA_DIRS", dirs);
}
