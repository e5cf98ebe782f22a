#include "data/GridLayoutStore.h"

#include <QVariantMap>
#include <cmath>
#include <memory>

#include "data/Connection.h"
#include "data/DatabaseOperation.h"
#include "data/ResultSet.h"
#include "data/TableAppender.h"
#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "foundation/Messages.h"

namespace xhook {

namespace {

// The statements take the layout name as a literal that the connection wrote ('XSGJA' for the
// window's names), so that no name can end it: the statements read as the window's fixed names
// make them, and any other name stays a name.
QString deleteLayoutStatement(const QString& nameLiteral, qint16 type) {
    return "delete from t_GS_tableInfo where ftablename=" + nameLiteral +
           " and ftype=" + QString::number(type);
}

QString loadLayoutQuery(const QString& nameLiteral, qint16 type) {
    return "select fsequence,fwidth from t_GS_tableInfo where ftablename=" + nameLiteral +
           " and ftype=" + QString::number(type) + " order by fsequence ";
}

QString deleteCurrentWidthsStatement(const QString& nameLiteral) {
    return "delete from t_GS_tableinfo where ftablename=" + nameLiteral + " and ftype=0 ";
}

QString insertCurrentWidthStatement(const QString& nameLiteral, int width, qint16 column) {
    return "insert into t_GS_tableinfo(ftablename,fwidth,fsequence,ftype) values(" + nameLiteral +
           "," + QString::number(width) + "," + QString::number(column) + ",0)";
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
void recordCurrentWidths(data::Connection& connection, const QString& name,
                         const ColumnWidths& grid) {
    const QString nameLiteral = connection.textLiteral(name);
    connection.execute(deleteCurrentWidthsStatement(nameLiteral));
    const qint16 count = columnCount(grid);
    for (qint16 i = 0; i < count; ++i)
        connection.execute(insertCurrentWidthStatement(nameLiteral, grid.ColWidth(i), i));
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

// The layout store's message: the error's description, OK button only, no title of its own.
void showLayoutFailure(const QString& description) {
    showMessage(description, MessageNoIcon, std::nullopt);
}

}  // namespace

// The transaction stays open until the failure's message has been dismissed; then it is rolled
// back, and the previous layout stays as it was.
bool SaveGridLayout(const QString& name, const ColumnWidths& grid, qint16 type) {
    std::unique_ptr<data::TableAppender> table;
    DatabaseOperation save(showLayoutFailure, [&] { table.reset(); });
    bool saved = false;
    save.run([&](DatabaseOperation& operation) {
        table = operation.connection().openTable(QStringLiteral("t_GS_tableinfo"));
        operation.beginTransaction();
        const QString nameLiteral = operation.connection().textLiteral(name);
        operation.connection().execute(deleteLayoutStatement(nameLiteral, type));
        writeLayoutRows(*table, name, grid, type);
        operation.commitTransaction();
        table->close();
        operation.finish();
        saved = true;
    });
    return saved;
}

bool LoadGridLayout(const QString& name, ColumnWidths& grid, qint16 type) {
    std::unique_ptr<data::ResultSet> rows;
    DatabaseOperation load(showLayoutFailure, [&] { rows.reset(); });
    bool found = false;
    load.run([&](DatabaseOperation& operation) {
        rows = operation.connection().openResultSet(
            loadLayoutQuery(operation.connection().textLiteral(name), type));
        const bool stored = !rows->eof();
        if (stored)
            applyStoredWidths(*rows, grid);
        else
            recordCurrentWidths(operation.connection(), name, grid);
        rows->close();
        operation.finish();
        found = stored;
    });
    return found;
}

}  // namespace xhook
