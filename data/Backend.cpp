#include "data/Backend.h"

#include "data/DbError.h"
#include "data/PostgresBackend.h"
#include "data/SqliteBackend.h"
#include "foundation/VisibleText.h"

namespace xhook::data {

namespace {

[[noreturn]] void raiseProviderNotFound(const QString& problem) {
    throw DbError(DbErrorNumber::ProviderNotFound, problem);
}

}  // namespace

// The database is closed and every handle to it released before it is removed.
QSqlDatabase Backend::addAndOpen(const QString& driver, const QString& qtConnectionName,
                                 const Opener& open) {
    std::optional<DbError> error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, qtConnectionName);
        error = open(db);
        if (!error) return db;
        db.close();
    }
    QSqlDatabase::removeDatabase(qtConnectionName);
    throw *error;
}

// The one place that knows which providers exist.
std::unique_ptr<Backend> Backend::forProvider(const QString& provider) {
    const QString name = provider.trimmed();
    if (name.isEmpty())
        raiseProviderNotFound(
            QStringLiteral("the connection string names no provider (expected Provider=SQLite or "
                           "Provider=PostgreSQL)"));
    if (name.compare(u"SQLite", Qt::CaseInsensitive) == 0) return std::make_unique<SqliteBackend>();
    if (name.compare(u"PostgreSQL", Qt::CaseInsensitive) == 0)
        return std::make_unique<PostgresBackend>();
    raiseProviderNotFound(QStringLiteral("unknown provider '%1'").arg(visibleText(name)));
}

}  // namespace xhook::data
