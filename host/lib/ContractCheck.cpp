#include "host/lib/ContractCheck.h"

#include <QStringList>
#include <memory>
#include <optional>

#include "data/Connection.h"
#include "data/ResultSet.h"
#include "foundation/Errors.h"
#include "host/lib/ProcedureContract.h"
#include "reconcile/ReconcileParameters.h"
#include "reconcile/ReconcileProcedure.h"
#include "window/DocumentFinderRegistry.h"

namespace xhook::host {

namespace {

// A table or view and the columns that the component reads of it.
struct ContractObject {
    const char* kind;
    const char* name;
    QStringList columns;
    int configurationType = 0;  // the tblFindInfoEntry type whose fFieldname it holds, or 0
};

const QStringList kLineColumns = {"finterid", "fentryid",          "fbillno",
                                  "forderid", "fcustomerIdNumber", "fstatus"};

QList<ContractObject> contractObjects() {
    return {
        {"table",
         "tblFindInfoEntry",
         {"ftypeid", "fentryid", "fFieldname", "fTitleName", "fAlign", "fDataFormat", "fIsMerge",
          "fIsSum"}},
        {"view", "vGSaleFP", kLineColumns, 100},
        {"view", "vGproductOut", kLineColumns, 101},
        {"table", "icsaleentry", {"finterid", "fsinterid"}},
        {"table", "t_GS_tableinfo", {"ftablename", "fwidth", "fsequence", "ftype"}},
    };
}

// A configured column: the view column that an entry of the configuration names.
struct ConfiguredColumn {
    QString field;
    QString entry;  // its fentryid
};

// The columns of a table or view, lower-cased, from a query that returns no row.
QStringList columnsOf(data::Connection& connection, const QString& name) {
    const std::unique_ptr<data::ResultSet> rows =
        connection.openResultSet(QStringLiteral("select * from %1 where 1=0").arg(name));
    QStringList columns;
    for (int i = 0; i < rows->fieldCount(); ++i) columns << rows->fieldName(i).toLower();
    rows->close();
    return columns;
}

QList<ConfiguredColumn> configuredColumns(data::Connection& connection, int type) {
    const std::unique_ptr<data::ResultSet> rows = connection.openResultSet(
        QStringLiteral("select fentryid, fFieldname from tblFindInfoEntry where ftypeid=%1 "
                       "order by fentryid")
            .arg(type));
    QList<ConfiguredColumn> configured;
    for (; !rows->eof(); rows->moveNext())
        configured.append({rows->value(QStringLiteral("fFieldname")).toString().trimmed(),
                           rows->value(QStringLiteral("fentryid")).toString()});
    rows->close();
    return configured;
}

CheckedObject checkObject(data::Connection& connection, const ContractObject& contract) {
    const QString object = QStringLiteral("%1 %2").arg(contract.kind, contract.name);
    QStringList columns;
    try {
        columns = columnsOf(connection, contract.name);
    } catch (const ComponentError& error) {
        return {object, false, QStringLiteral("cannot be read: ") + error.description()};
    }
    QStringList problems;
    for (const QString& column : contract.columns)
        if (!columns.contains(column.toLower())) problems << QStringLiteral("no column ") + column;
    int configured = 0;
    if (contract.configurationType != 0) {
        try {
            for (const ConfiguredColumn& c :
                 configuredColumns(connection, contract.configurationType)) {
                ++configured;
                if (!columns.contains(c.field.toLower()))
                    problems << QStringLiteral(
                                    "no column %1 (configured in tblFindInfoEntry, "
                                    "ftypeid %2, fentryid %3)")
                                    .arg(c.field)
                                    .arg(contract.configurationType)
                                    .arg(c.entry);
            }
        } catch (const ComponentError& error) {
            problems << QStringLiteral("its configured columns cannot be read: ") +
                            error.description();
        }
    }
    if (!problems.isEmpty()) return {object, false, problems.join(QStringLiteral("; "))};
    QString finding = QStringLiteral("%1 columns used").arg(contract.columns.size());
    if (contract.configurationType != 0)
        finding += QStringLiteral(", %1 configured").arg(configured);
    return {object, true, finding};
}

QString catalogName(const data::Connection& connection) {
    const QString provider = connection.providerName();
    if (provider == QLatin1String("SQLite"))
        return QStringLiteral("the procedures registered on SQLite");
    if (provider == QLatin1String("PostgreSQL")) return QStringLiteral("the information schema");
    return QStringLiteral("the ODBC procedure catalog");
}

CheckedObject checkProcedure(data::Connection& connection) {
    const QString object = QStringLiteral("procedure ") + kReconcileProcedureName;
    const QString catalog = catalogName(connection);
    std::optional<QList<data::DeclaredParameter>> declared;
    try {
        declared = connection.procedureParameters(kReconcileProcedureName);
    } catch (const ComponentError& error) {
        return {object, false, catalog + QStringLiteral(" cannot be read: ") + error.description()};
    }
    if (!declared) return {object, false, QStringLiteral("not in ") + catalog};
    const QStringList problems = procedureProblems(*declared, reconcileProcedureParameters());
    if (!problems.isEmpty()) return {object, false, problems.join(QStringLiteral("; "))};
    return {object, true,
            QStringLiteral("%1 parameters, from %2").arg(declared->size()).arg(catalog)};
}

CheckedObject checkFinder() {
    const QString object = QStringLiteral("document finder ") + kDocumentFinderClsid;
    try {
        createDocumentFinder(kDocumentFinderClsid).reset();
    } catch (const ComponentError& error) {
        return {object, false,
                QStringLiteral("%1 (%2)").arg(error.description()).arg(error.number())};
    }
    return {object, true, QStringLiteral("created")};
}

}  // namespace

QList<CheckedObject> checkHostDatabase(data::Connection& connection) {
    QList<CheckedObject> checked;
    for (const ContractObject& contract : contractObjects())
        checked << checkObject(connection, contract);
    checked << checkProcedure(connection) << checkFinder();
    return checked;
}

}  // namespace xhook::host
