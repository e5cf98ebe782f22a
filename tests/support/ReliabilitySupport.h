#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace xhook {
class FlexGrid;
class FrmHookResult;
}  // namespace xhook

namespace xhook::test {

// Every cell text of a grid, row by row, the header row included.
using GridSnapshot = QList<QStringList>;
GridSnapshot gridSnapshot(const FlexGrid& grid);
// Whether `partial` is `complete` cut after one of its rows (the header row at least).
bool isLeadingPart(const GridSnapshot& partial, const GridSnapshot& complete);

// Every row of every table of a SQLite host database, as text, by table name, read on a
// connection of the caller's own: what "the database is unchanged" compares.
QMap<QString, QStringList> databaseContent(const QString& connectionString);

// The stored layout rows (fsequence, fwidth) of a name and type, in sequence order.
using LayoutRows = QList<QPair<int, int>>;
LayoutRows storedLayout(const QString& connectionString, const QString& name, int type);

// What is wrong with the recorded reconciliations of a host database: documents that point to a
// reconciliation that does not exist or does not list them, entries whose document does not point
// back, reconciliations without an invoice or an outbound document. Empty when consistent.
QStringList reconciliationInconsistencies(const QString& connectionString);
// How many reconciliations are recorded.
int reconciliationCount(const QString& connectionString);
// Takes back the reconciliation that an invoice belongs to, with every document it joined, in
// one transaction; nothing when the invoice is not reconciled.
void takeBackReconciliation(const QString& connectionString, qint64 invoiceId);

// Runs `step` at the window's event boundary, as the window runs its commands and steps. Tells
// whether it completed and the description of an error that passed out of it to the boundary.
struct BoundaryRun {
    bool completed = false;
    std::optional<QString> passedOut;
};
BoundaryRun runAtEventBoundary(const std::function<void()>& step);

// Calls hookBill with `ids` as a host does, with `whileShown` run inside the window's modal loop;
// the window is closed after it.
void hookBillWhile(const QString& ids, const std::function<void(FrmHookResult&)>& whileShown);

}  // namespace xhook::test
