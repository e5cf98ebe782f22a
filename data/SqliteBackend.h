#pragma once

#include "data/Backend.h"

namespace xhook::data {

// One SQLite file through Qt's QSQLITE driver. The file must exist unless the connection string
// asks for Mode=ReadWriteCreate; a writer waits up to five seconds for another's lock. Stored
// procedures are the native ones registered in C++ (NativeProcedures.h).
class SqliteBackend : public Backend {
  public:
    QString name() const override { return QStringLiteral("SQLite"); }
    QSqlDatabase openDatabase(const ConnectionString& cs, const QString& qtConnectionName) override;
    void runProcedure(QSqlDatabase& db, const QString& name, QList<Parameter>& parameters,
                      bool inTransaction) override;
    std::optional<QList<DeclaredParameter>> procedureParameters(QSqlDatabase& db,
                                                                const QString& name) override;
    // BEGIN IMMEDIATE: the write lock is taken at the start, so concurrent writers queue behind
    // the busy timeout instead of failing halfway through.
    QString beginStatement() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    // The driver's formatting: the text between single quotes, each quote doubled; SQLite knows
    // no other escape in a literal.
    QString textLiteral(QSqlDatabase& db, const QString& text) override;
};

}  // namespace xhook::data
