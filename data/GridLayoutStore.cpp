#include "data/GridLayoutStore.h"

#include <QVariantMap>
#include <cmath>
#include <memory>

#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "foundation/Messages.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "data/SharedConnection.h"
#include "data/TableAppender.h"

namespace xhook {

namespace {

data::Connection& connection() {
    return *shared().gConnection;
}

// The layout name goes into the statements between single quotes; a quote in it would end the
// literal, so such a name is refused rather than spliced.
void requirePlainLayoutName(const QString& name) {
    if (name.contains(QLatin1Char('\'')))
        raiseInvalidProcedureCall(QStringLiteral("布局名不能含单引号: \"%1\"").arg(name));
}

QString deleteLayoutStatement(const QString& name, qint16 type) {
    return "delete from t_GS_tableInfo where ftablename='" + name + "'" +
           " and ftype=" + QString::number(type);
}

QString loadLayoutQuery(const QString& name, qint16 type) {
    return "select fsequence,fwidth from t_GS_tableInfo where ftablename='" + name + "'" +
           " and ftype=" + QString::number(type) + " order by fsequence ";
}

QString deleteCurrentWidthsStatement(const QString& name) {
    return "delete from t_GS_tableinfo where ftablename='" + name + "' and ftype=0 ";
}

QString insertCurrentWidthStatement(const QString& name, int width, qint16 column) {
    return "insert into t_GS_tableinfo(ftablename,fwidth,fsequence,ftype) values('" + name + "'," +
           QString::number(width) + "," + QString::number(column) + ",0)";
}

// A stored number read as a 32-bit integer: NULL is an invalid use of Null, a text that is no
// number a type mismatch, a fraction rounds to the nearest integer (halves to even), and a value
// beyond 32 bits is an overflow.
int int32Value(const QVariant& value, const QString& what) {
    if (value.isNull()) raiseInvalidUseOfNull(what);
    bool ok = true;
    const double number = value.typeId() == QMetaType::QString
                              ? textToDouble(value.toString(), what)
                              : value.toDouble(&ok);
    if (!ok) raiseTypeMismatch(what);
    const double rounded = std::nearbyint(number);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0)
        raiseOverflow(what + " = " + valueText(value));
    return static_cast<int>(rounded);
}

qint16 columnCount(const ColumnWidths& grid) {
    return checkedInt16(grid.ColCount(), "ColCount");
}

// All rows go to the table together, in as few insert statements as it takes.
void writeLayoutRows(data::TableAppender& table, const QString& name, const ColumnWidths& grid,
                     qint16 type) {
    const qint16 count = columnCount(grid);
    QList<QVariantMap> rows;
    for (qint16 i = 0; i < count; ++i)
        rows.append({{"ftablename", name},
                     {"fwidth", grid.ColWidth(i)},
                     {"fsequence", i},
                     {"ftype", type}});
    table.addRows(rows);
}

// Statement by statement, outside any transaction: each takes effect on its own.
void recordCurrentWidths(const QString& name, const ColumnWidths& grid) {
    connection().execute(deleteCurrentWidthsStatement(name));
    const qint16 count = columnCount(grid);
    for (qint16 i = 0; i < count; ++i)
        connection().execute(insertCurrentWidthStatement(name, grid.ColWidth(i), i));
}

// Rows are taken by their position: those from position ColCount on are skipped, and a row's
// sequence names the column it sets.
void applyStoredWidths(data::ResultSet& rows, ColumnWidths& grid) {
    for (qint16 position = 0; !rows.eof(); position = checkedInt16(position + 1, "row count")) {
        if (position <= grid.ColCount() - 1)
            grid.setColWidth(int32Value(rows.value("fsequence"), "fsequence"),
                             int32Value(rows.value("fwidth"), "fwidth"));
        rows.moveNext();
    }
}

void showLayoutFailure(const ComponentError& error) {
    showMessage(error.description(), MessageNoIcon, std::nullopt);
}

// After a failed save: roll back what the transaction wrote, when one was begun, then release the
// table and close the connection, even when the rollback fails too. When the failure was the
// close itself, the connection is already gone and there is nothing to roll back.
void endFailedSave(std::unique_ptr<data::TableAppender>& table) {
    try {
        if (shared().gConnection && connection().inTransaction()) connection().rollbackTrans();
    } catch (...) {
        table.reset();
        CloseConnection();
        throw;
    }
    table.reset();
    CloseConnection();
}

}  // namespace

bool SaveGridLayout(const QString& name, const ColumnWidths& grid, qint16 type) {
    if (!OpenConnection()) return false;
    std::unique_ptr<data::TableAppender> table;
    try {
        requirePlainLayoutName(name);
        table = connection().openTable(QStringLiteral("t_GS_tableinfo"));
        connection().beginTrans();
        connection().execute(deleteLayoutStatement(name, type));
        writeLayoutRows(*table, name, grid, type);
        connection().commitTrans();
        table->close();
        table.reset();
        CloseConnection();
        return true;
    } catch (const ComponentError& error) {
        showLayoutFailure(error);  // the transaction stays open until the message is dismissed
        endFailedSave(table);
        return false;
    }
}

bool LoadGridLayout(const QString& name, ColumnWidths& grid, qint16 type) {
    if (!OpenConnection()) return false;
    std::unique_ptr<data::ResultSet> rows;
    try {
        requirePlainLayoutName(name);
        rows = connection().openResultSet(loadLayoutQuery(name, type));
        const bool found = !rows->eof();
        if (found)
            applyStoredWidths(*rows, grid);
        else
            recordCurrentWidths(name, grid);
        rows->close();
        rows.reset();
        CloseConnection();
        return found;
    } catch (const ComponentError& error) {
        showLayoutFailure(error);
        rows.reset();
        CloseConnection();
        return false;
    }
}

}  // namespace xhook
