#include "bench/LineFetch.h"

#include <sqlite3.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <stdexcept>

#include "data/Connection.h"

namespace xhook::bench {

QtLineFetch::QtLineFetch(const QString& path) : connectionName_(QStringLiteral("bench-fetch")) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db.setDatabaseName(path);
    if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
}

QtLineFetch::~QtLineFetch() {
    QSqlDatabase::database(connectionName_).close();
    QSqlDatabase::removeDatabase(connectionName_);
}

namespace {

long long readEveryCell(QSqlQuery& query, const QString& sql) {
    query.setForwardOnly(true);
    if (!query.exec(sql)) throw std::runtime_error(query.lastError().text().toStdString());
    const int columns = query.record().count();
    long long cells = 0;
    while (query.next())
        for (int c = 0; c < columns; ++c) {
            query.value(c);
            ++cells;
        }
    return cells;
}

}  // namespace

long long QtLineFetch::readAll(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(connectionName_));
    return readEveryCell(query, sql);
}

ConnectionLineFetch::ConnectionLineFetch(const QString& connectionString)
    : connection_(std::make_unique<data::Connection>()) {
    connection_->setConnectionString(connectionString);
    connection_->open();
}

ConnectionLineFetch::~ConnectionLineFetch() {
    connection_->close();
}

long long ConnectionLineFetch::readAll(const QString& sql) {
    QSqlQuery query(connection_->database());
    return readEveryCell(query, sql);
}

SqliteLineFetch::SqliteLineFetch(const QString& path) {
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db_));
}

SqliteLineFetch::~SqliteLineFetch() {
    sqlite3_close(db_);
}

long long SqliteLineFetch::readAll(const QString& sql) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &statement, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db_));
    const int columns = sqlite3_column_count(statement);
    long long cells = 0;
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (int c = 0; c < columns; ++c) {
            sqlite3_column_text(statement, c);
            ++cells;
        }
    sqlite3_finalize(statement);
    return cells;
}

}  // namespace xhook::bench
