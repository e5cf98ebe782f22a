#include "host/lib/OdbcConnectionString.h"

#include <QStringList>
#include <utility>

#include "data/ConnectionString.h"

namespace xhook::host {

QString odbcConnectionString(const QString& providerConnectionString) {
    const data::ConnectionString cs = data::ConnectionString::parse(providerConnectionString);
    QStringList items{QStringLiteral("Provider=MSDASQL")};
    if (cs.provider().compare(u"SQLite", Qt::CaseInsensitive) == 0) {
        items << QStringLiteral("Driver=SQLite3")
              << QStringLiteral("Database=") + cs.value(QStringLiteral("Data Source"))
              << QStringLiteral("NoCreat=1");
    } else {
        items << QStringLiteral("Driver={PostgreSQL Unicode}");
        for (const auto& [key, odbcKey] : {std::pair{"Server", "Server"},
                                           {"Port", "Port"},
                                           {"Database", "Database"},
                                           {"User ID", "Uid"},
                                           {"Password", "Pwd"}})
            if (cs.contains(QLatin1String(key)))
                items << QLatin1String(odbcKey) + '=' + cs.value(QLatin1String(key));
    }
    for (const char* key : {"Pooling", "Connection Lifetime", "Connection Idle Lifetime"})
        if (cs.contains(QLatin1String(key)))
            items << QLatin1String(key) + '=' + cs.value(QLatin1String(key));
    return items.join(';');
}

}  // namespace xhook::host
