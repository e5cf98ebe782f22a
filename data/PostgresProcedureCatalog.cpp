#include "data/PostgresProcedureCatalog.h"

#include <QSqlQuery>

#include "data/PostgresSession.h"
#include "data/SqlStatement.h"

namespace xhook::data {

namespace {

QString catalogQuery(const QSqlDatabase& db, const QString& name) {
    return QStringLiteral(
               "select r.specific_name, p.parameter_mode, p.parameter_name, p.data_type "
               "from information_schema.routines r left join information_schema.parameters p "
               "on p.specific_schema = r.specific_schema and p.specific_name = r.specific_name "
               "where r.routine_name = %1 and r.routine_schema = any (current_schemas(false)) "
               "order by array_position(current_schemas(false), r.routine_schema::name), "
               "r.specific_name, p.ordinal_position")
        .arg(postgresTextLiteral(db, name.toLower()));
}

int directionOf(const QString& mode) {
    if (mode == QLatin1String("IN")) return adParamInput;
    if (mode == QLatin1String("INOUT")) return adParamInputOutput;
    if (mode == QLatin1String("OUT")) return adParamOutput;
    return adParamUnknown;
}

int typeOf(const QString& type) {
    if (type == QLatin1String("character varying") || type == QLatin1String("character") ||
        type == QLatin1String("text"))
        return adVarChar;
    if (type == QLatin1String("bigint")) return adBigInt;
    if (type == QLatin1String("integer")) return adInteger;
    if (type == QLatin1String("smallint")) return adSmallInt;
    if (type == QLatin1String("numeric")) return adNumeric;
    return adEmpty;
}

}  // namespace

std::optional<QList<DeclaredParameter>> postgresProcedureParameters(const QSqlDatabase& db,
                                                                    const QString& name) {
    QSqlQuery rows = runStatement(db, catalogQuery(db, name));
    std::optional<QList<DeclaredParameter>> parameters;
    QString routine;
    while (rows.next()) {
        if (!parameters) {
            routine = rows.value(0).toString();
            parameters.emplace();
        }
        if (rows.value(0).toString() != routine) break;
        if (rows.value(1).isNull()) continue;  // a routine without parameters
        const QString type = rows.value(3).toString();
        parameters->append({rows.value(2).toString(), directionOf(rows.value(1).toString()),
                            typeOf(type), type, 0});
    }
    return parameters;
}

}  // namespace xhook::data
