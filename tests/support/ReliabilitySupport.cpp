#include "tests/support/ReliabilitySupport.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <memory>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "foundation/Errors.h"
#include "window/EventBoundary.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"

namespace xhook::test {

namespace {

std::unique_ptr<data::Connection> openOwnConnection(const QString& connectionString) {
    auto connection = std::make_unique<data::Connection>();
    connection->setConnectionString(connectionString);
    connection->open();
    return connection;
}

QStringList rowTexts(data::Connection& connection, const QString& sql) {
    QStringList rows;
    const std::unique_ptr<data::ResultSet> result = connection.openResultSet(sql);
    for (; !result->eof(); result->moveNext()) {
        QStringList values;
        for (int i = 0; i < result->fieldCount(); ++i) {
            const QVariant value = result->value(i);
            values.append(value.isNull() ? QStringLiteral("<null>") : value.toString());
        }
        rows.append(values.join(QChar(0x1f)));
    }
    return rows;
}

}  // namespace

GridSnapshot gridSnapshot(const FlexGrid& grid) {
    GridSnapshot rows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c) cells.append(grid.cellText(r, c));
        rows.append(cells);
    }
    return rows;
}

bool isLeadingPart(const GridSnapshot& partial, const GridSnapshot& complete) {
    if (partial.isEmpty() || partial.size() > complete.size()) return false;
    for (qsizetype r = 0; r < partial.size(); ++r)
        if (partial[r] != complete[r]) return false;
    return true;
}

QMap<QString, QStringList> databaseContent(const QString& connectionString) {
    const auto connection = openOwnConnection(connectionString);
    QMap<QString, QStringList> content;
    const QStringList tables =
        rowTexts(*connection, QStringLiteral("select name from sqlite_master where type='table' "
                                             "and name not like 'sqlite_%' order by name"));
    for (const QString& table : tables)
        content.insert(table, rowTexts(*connection, QStringLiteral("select * from %1 order by "
                                                                   "rowid")
                                                        .arg(table)));
    content.insert(QStringLiteral("(schema)"),
                   rowTexts(*connection, QStringLiteral("select type, name, sql from "
                                                        "sqlite_master order by name")));
    return content;
}

LayoutRows storedLayout(const QString& connectionString, const QString& name, int type) {
    const auto connection = openOwnConnection(connectionString);
    LayoutRows rows;
    const std::unique_ptr<data::ResultSet> result = connection->openResultSet(
        QStringLiteral("select fsequence, fwidth from t_GS_tableinfo where ftablename=%1 "
                       "and ftype=%2 order by fsequence")
            .arg(connection->textLiteral(name))
            .arg(type));
    for (; !result->eof(); result->moveNext())
        rows.append({result->value(0).toInt(), result->value(1).toInt()});
    return rows;
}

QStringList reconciliationInconsistencies(const QString& connectionString) {
    const auto connection = openOwnConnection(connectionString);
    QStringList problems;
    const auto report = [&](const QString& what, const QString& sql) {
        for (const QString& row : rowTexts(*connection, sql)) problems.append(what + ": " + row);
    };
    for (const auto& [table, type] : {std::pair{"icsale", 1}, std::pair{"icstockbill", 2}}) {
        report(QStringLiteral("%1 points to a reconciliation that does not list it").arg(table),
               QStringLiteral("select d.finterid, d.fhookinterid from %1 d where "
                              "coalesce(d.fhookinterid,0)<>0 and not exists (select 1 from "
                              "t_GS_billGJEntry e join t_GS_billGJ g on g.finterid=e.finterid "
                              "where e.finterid=d.fhookinterid and e.fbilltype=%2 and "
                              "e.fbillinterid=d.finterid)")
                   .arg(table)
                   .arg(type));
        report(QStringLiteral("an entry whose %1 does not point back").arg(table),
               QStringLiteral("select e.finterid, e.fbillinterid from t_GS_billGJEntry e where "
                              "e.fbilltype=%2 and not exists (select 1 from %1 d where "
                              "d.finterid=e.fbillinterid and d.fhookinterid=e.finterid)")
                   .arg(table)
                   .arg(type));
        report(QStringLiteral("a reconciliation without documents of type %1").arg(type),
               QStringLiteral("select g.finterid from t_GS_billGJ g where not exists (select 1 "
                              "from t_GS_billGJEntry e where e.finterid=g.finterid and "
                              "e.fbilltype=%1)")
                   .arg(type));
    }
    return problems;
}

int reconciliationCount(const QString& connectionString) {
    const auto connection = openOwnConnection(connectionString);
    return rowTexts(*connection, QStringLiteral("select count(*) from t_GS_billGJ"))
        .value(0)
        .toInt();
}

void takeBackReconciliation(const QString& connectionString, qint64 invoiceId) {
    const auto connection = openOwnConnection(connectionString);
    const qint64 id =
        rowTexts(*connection,
                 QStringLiteral("select coalesce(fhookinterid,0) from icsale where finterid=%1")
                     .arg(invoiceId))
            .value(0)
            .toLongLong();
    if (id == 0) return;
    connection->beginTrans();
    for (const char* sql : {"update icsale set fhookinterid=0 where fhookinterid=%1",
                            "update icstockbill set fhookinterid=0 where fhookinterid=%1",
                            "delete from t_GS_billGJEntry where finterid=%1",
                            "delete from t_GS_billGJ where finterid=%1"})
        connection->execute(QString::fromLatin1(sql).arg(id));
    connection->commitTrans();
}

BoundaryRun runAtEventBoundary(const std::function<void()>& step) {
    BoundaryRun run;
    run.completed = runWindowStep([&] {
        try {
            step();
        } catch (const ComponentError& error) {
            run.passedOut = error.description();
            throw;
        }
    });
    return run;
}

void hookBillWhile(const QString& ids, const std::function<void(FrmHookResult&)>& whileShown) {
    QTimer::singleShot(0, [whileShown] {
        whileShown(*shared().gHookWindow);
        if (shared().gHookWindow) shared().gHookWindow->close();
    });
    DeZuvarEDodOziv8::clsXoutBillHook hook;
    QString argument = ids;
    EXPECT_FALSE(hook.hookBill(argument));
}

}  // namespace xhook::test
