#include "data/OdbcConnectString.h"

#include <odbcinst.h>

#include <QStringList>

#include "data/ConnectionString.h"
#include "data/DbError.h"

namespace xhook::data {

namespace {

[[noreturn]] void refuse(const QString& problem) {
    throw DbError(DbErrorNumber::InvalidConnectionString, problem);
}

// The ADO properties that the provider turns into the driver manager's keywords.
const char* odbcKeyOf(const QString& key) {
    if (isOneOf(key, {"Data Source"})) return "DSN";
    if (isOneOf(key, {"User ID"})) return "UID";
    if (isOneOf(key, {"Password"})) return "PWD";
    if (isOneOf(key, {"Initial Catalog"})) return "DATABASE";
    return nullptr;
}

// Keys read here and not passed on.
bool consumedHere(const QString& key) {
    return isOneOf(key, {"Provider", "Persist Security Info", "Connect Timeout", "Pooling",
                         "Connection Lifetime", "Connection Idle Lifetime"});
}

// The driver that odbc.ini (the user's, then the system's) names for a data source.
QString driverOfDataSource(const QString& dsn) {
    char driver[1024] = "";
    const QByteArray name = dsn.toUtf8();
    const int length = SQLGetPrivateProfileString(name.constData(), "Driver", "", driver,
                                                  sizeof driver, "odbc.ini");
    return length > 0 ? QString::fromUtf8(driver, length) : QString();
}

int loginTimeoutOf(const ConnectionString& cs) {
    const QString text = cs.value(QStringLiteral("Connect Timeout"));
    if (text.isEmpty()) return 0;
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (!ok || seconds < 0)
        refuse(QStringLiteral("Connect Timeout '%1' is not a number of seconds").arg(text));
    return seconds;
}

}  // namespace

QString odbcValue(const QString& key, const QString& value) {
    const bool plain = !value.contains(';') && !value.contains('{') && !value.contains('}') &&
                       !value.startsWith(' ');
    if (plain) return value;
    if (value.contains(QLatin1String("};")) || value.endsWith('}'))
        refuse(QStringLiteral("the value of %1 holds '}' where an ODBC connection string cannot "
                              "carry it")
                   .arg(key));
    return '{' + value + '}';
}

OdbcConnectString::OdbcConnectString(const ConnectionString& cs) {
    loginTimeout_ = loginTimeoutOf(cs);
    if (cs.contains(QStringLiteral("Extended Properties")))
        refuse(
            QStringLiteral("Extended Properties is not read here: write its ODBC keys into "
                           "the connection string itself"));
    QStringList items;
    QString dsn, driver;
    for (const QString& key : cs.keys()) {
        if (consumedHere(key)) continue;
        const char* odbcKey = odbcKeyOf(key);
        const QString name = odbcKey ? QLatin1String(odbcKey) : key;
        const QString value = cs.value(key);
        if (isOneOf(name, {"DSN"})) dsn = value;
        // A braced driver name is the driver manager's own quoting: it is passed as written.
        if (isOneOf(name, {"Driver"})) driver = value;
        const bool braced = value.startsWith('{') && value.endsWith('}');
        items << name + '=' + (braced ? value : odbcValue(key, value));
    }
    if (dsn.isEmpty() && driver.isEmpty())
        refuse(
            QStringLiteral("a connection string of the ODBC provider names a data source "
                           "(DSN=… or Data Source=…) or a driver (Driver={…})"));
    if (!dsn.isEmpty() && driver.isEmpty()) {
        driver = driverOfDataSource(dsn);
        if (driver.isEmpty())
            refuse(QStringLiteral("the ODBC data source '%1' is not defined (odbc.ini: the "
                                  "user's ~/.odbc.ini or the system's, see odbcinst -j)")
                       .arg(dsn));
        if (driver.contains('}'))
            refuse(QStringLiteral("the driver that odbc.ini names for the data source '%1' holds "
                                  "a '}'")
                       .arg(dsn));
        items << QStringLiteral("Driver={") + driver + '}';
        driver = '{' + driver + '}';
    }
    text_ = items.join(';');
    where_ = dsn.isEmpty() ? QStringLiteral("driver %1").arg(driver)
                           : QStringLiteral("data source '%1'").arg(dsn);
    for (const char* key : {"Server", "Servername", "Port", "Database", "Initial Catalog"})
        if (!cs.value(QLatin1String(key)).isEmpty())
            where_ += QStringLiteral(" %1 '%2'")
                          .arg(QString::fromLatin1(key).toLower(), cs.value(QLatin1String(key)));
}

}  // namespace xhook::data
