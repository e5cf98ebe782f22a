#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <memory>

#include "data/Parameter.h"

namespace xhook::data {

class ConnectionString;

// What differs between the database servers behind a Connection.
class Backend {
public:
    virtual ~Backend() = default;
    virtual QString name() const = 0;
    // Opens `db` (already added under its connection name) from the parsed string; raises DbError.
    virtual QSqlDatabase openDatabase(const ConnectionString& cs, const QString& qtConnectionName) = 0;
    // Runs a stored procedure on the open database; output parameters receive their answers.
    virtual void runProcedure(QSqlDatabase& db, const QString& name, QList<Parameter>& parameters) = 0;

    // The backend for a provider name (without regard to case); raises DbError for an unknown one.
    static std::unique_ptr<Backend> forProvider(const QString& provider);
};

}  // namespace xhook::data
