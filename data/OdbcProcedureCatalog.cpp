#include "data/OdbcProcedureCatalog.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>

namespace xhook::data {

namespace {

// The columns of SQLProcedures' and SQLProcedureColumns' results that are read.
constexpr SQLUSMALLINT kSchemaColumn = 2;
constexpr SQLUSMALLINT kProcedureNameColumn = 3;
constexpr SQLUSMALLINT kParameterNameColumn = 4;
constexpr SQLUSMALLINT kParameterKindColumn = 5;
constexpr SQLUSMALLINT kDataTypeColumn = 6;
constexpr SQLUSMALLINT kTypeNameColumn = 7;
constexpr SQLUSMALLINT kColumnSizeColumn = 8;
constexpr SQLUSMALLINT kOrdinalColumn = 18;

QString textColumn(const OdbcStatement& statement, SQLUSMALLINT column) {
    SQLWCHAR text[512];
    SQLLEN bytes = 0;
    if (!SQL_SUCCEEDED(
            SQLGetData(statement.handle(), column, SQL_C_WCHAR, text, sizeof text, &bytes)) ||
        bytes == SQL_NULL_DATA)
        return QString();
    const qsizetype units = qMin<qsizetype>(bytes / qsizetype(sizeof(SQLWCHAR)), 511);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), units);
}

int intColumn(const OdbcStatement& statement, SQLUSMALLINT column) {
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(
            SQLGetData(statement.handle(), column, SQL_C_SLONG, &value, 0, &indicator)) ||
        indicator == SQL_NULL_DATA)
        return 0;
    return value;
}

std::u16string wide(const QString& text) {
    return text.toStdU16String();
}

SQLWCHAR* pointer(std::u16string& text) {
    return reinterpret_cast<SQLWCHAR*>(text.data());
}

// SQL Server lists a procedure as "name;1" (its group number).
QString withoutGroupNumber(QString listed) {
    const qsizetype semicolon = listed.indexOf(';');
    if (semicolon >= 0) listed.truncate(semicolon);
    return listed;
}

bool sameProcedure(const QString& listed, const QString& name) {
    return withoutGroupNumber(listed).compare(name, Qt::CaseInsensitive) == 0;
}

// The schema and the name as the catalog writes them of the first procedure that matches `name`
// exactly ('_' in a catalog pattern matches any character).
std::optional<std::pair<QString, QString>> findProcedure(OdbcHandle connection,
                                                         const QString& name) {
    OdbcStatement statement(connection);
    std::u16string pattern = wide(name);
    statement.check(SQLProceduresW(statement.handle(), nullptr, 0, nullptr, 0, pointer(pattern),
                                   SQLSMALLINT(pattern.size())),
                    QStringLiteral("the procedure catalog (SQLProcedures)"));
    while (SQL_SUCCEEDED(SQLFetch(statement.handle()))) {
        const QString schema = textColumn(statement, kSchemaColumn);
        const QString listed = textColumn(statement, kProcedureNameColumn);
        if (sameProcedure(listed, name)) return std::make_pair(schema, withoutGroupNumber(listed));
    }
    return std::nullopt;
}

int directionOf(int kind) {
    switch (kind) {
        case SQL_PARAM_INPUT:
            return adParamInput;
        case SQL_PARAM_INPUT_OUTPUT:
            return adParamInputOutput;
        case SQL_PARAM_OUTPUT:
            return adParamOutput;
        default:
            return adParamUnknown;
    }
}

int typeOf(int dataType) {
    switch (dataType) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
            return adVarChar;
        case SQL_BIGINT:
            return adBigInt;
        case SQL_INTEGER:
            return adInteger;
        case SQL_SMALLINT:
            return adSmallInt;
        case SQL_TINYINT:
            return adTinyInt;
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return adNumeric;
        default:
            return adEmpty;
    }
}

bool isParameter(int kind) {
    return kind == SQL_PARAM_INPUT || kind == SQL_PARAM_INPUT_OUTPUT || kind == SQL_PARAM_OUTPUT ||
           kind == SQL_PARAM_TYPE_UNKNOWN;
}

// One row of SQLProcedureColumns, its columns read in ascending order, as every driver allows.
struct CatalogRow {
    QString procedure;
    int kind = 0;
    int ordinal = 0;
    DeclaredParameter parameter;
};

CatalogRow rowOf(const OdbcStatement& statement, CatalogLengths lengths) {
    CatalogRow row;
    row.procedure = textColumn(statement, kProcedureNameColumn);
    row.parameter.name = textColumn(statement, kParameterNameColumn);
    row.kind = intColumn(statement, kParameterKindColumn);
    row.parameter.direction = directionOf(row.kind);
    row.parameter.type = typeOf(intColumn(statement, kDataTypeColumn));
    row.parameter.typeName = textColumn(statement, kTypeNameColumn);
    const int size = intColumn(statement, kColumnSizeColumn);
    if (row.parameter.type == adVarChar && lengths == CatalogLengths::Kept)
        row.parameter.size = size;
    row.ordinal = intColumn(statement, kOrdinalColumn);
    return row;
}

QList<DeclaredParameter> columnsOf(OdbcHandle connection, const QString& schema,
                                   const QString& procedure, CatalogLengths lengths) {
    OdbcStatement statement(connection);
    std::u16string schemaText = wide(schema), procedureText = wide(procedure);
    statement.check(SQLProcedureColumnsW(statement.handle(), nullptr, 0,
                                         schema.isEmpty() ? nullptr : pointer(schemaText),
                                         SQLSMALLINT(schemaText.size()), pointer(procedureText),
                                         SQLSMALLINT(procedureText.size()), nullptr, 0),
                    QStringLiteral("the procedure catalog (SQLProcedureColumns)"));
    QList<CatalogRow> rows;
    while (SQL_SUCCEEDED(SQLFetch(statement.handle()))) {
        CatalogRow row = rowOf(statement, lengths);
        if (sameProcedure(row.procedure, procedure) && isParameter(row.kind)) rows << row;
    }
    std::stable_sort(rows.begin(), rows.end(), [](const CatalogRow& a, const CatalogRow& b) {
        return a.ordinal < b.ordinal;
    });
    QList<DeclaredParameter> parameters;
    for (const CatalogRow& row : rows) parameters << row.parameter;
    return parameters;
}

}  // namespace

std::optional<QList<DeclaredParameter>> odbcProcedureParameters(OdbcHandle connection,
                                                                const QString& name,
                                                                CatalogLengths lengths) {
    for (const QString& spelling : {name, name.toLower()}) {
        const auto found = findProcedure(connection, spelling);
        if (found) return columnsOf(connection, found->first, found->second, lengths);
    }
    return std::nullopt;
}

}  // namespace xhook::data
