#include "window/GridLoader.h"

#include <QRgb>
#include <QStringList>
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "data/Connection.h"
#include "data/DatabaseOperation.h"
#include "data/ResultSet.h"
#include "foundation/Conversions.h"
#include "foundation/DiagnosticLog.h"
#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "foundation/Messages.h"
#include "window/FlexGrid.h"
#include "window/GridRows.h"
#include "window/GridTotals.h"
#include "window/WindowSession.h"

namespace xhook {

namespace {

constexpr int kColumnTableSize = 31;  // grid columns 0..30: three key columns and 28 configured
constexpr QRgb kBorderColor = qRgb(162, 162, 162);
constexpr QRgb kStatusOneColor = qRgb(255, 255, 240);
constexpr QRgb kOtherStatusColor = qRgb(240, 255, 255);
constexpr QRgb kTotalsColor = qRgb(232, 232, 150);
const QString kTotalsLabel = QStringLiteral("合计");
const QChar kTab = QChar(9);

// The columns of one load: view column, header text, alignment code and display format.
struct ColumnTable {
    std::array<QString, kColumnTableSize> fieldName, titleName, align, dataFormat;
    qint16 lastColumn = 2;
    qint16 mergedEnd = 3;
    QString sumList;

    qint16 lastMergedColumn() const { return mergedEnd - 1; }
    bool isTotalled(int column) const {
        return sumList.contains(',' + QString::number(column) + ',');
    }
};

QString configurationQuery(int configurationType) {
    return QStringLiteral("select * from tblFindInfoEntry where ftypeid=%1  order by fentryid ")
        .arg(configurationType);
}

QString lineQuery(const QString& lineView, const QString& idList) {
    return "select top 20000 * from  " + lineView + " where 1=1 and finterid in ( " + idList + ")" +
           " order by finterid,forderid";
}

// A text field of a configuration row; NULL is not allowed there.
QString requiredText(const data::ResultSet& rows, const char* field) {
    const QVariant value = rows.value(QString::fromLatin1(field));
    if (value.isNull()) raiseInvalidUseOfNull(QStringLiteral("tblFindInfoEntry.%1").arg(field));
    return valueText(value);
}

void addKeyColumns(ColumnTable& table) {
    const char* names[] = {"finterid", "fentryid", "fbillno"};
    const char* aligns[] = {"1", "4", "1"};
    for (int c = 0; c < 3; ++c) {
        table.fieldName[c] = QString::fromLatin1(names[c]);
        table.align[c] = QString::fromLatin1(aligns[c]);
    }
}

void addConfiguredColumn(ColumnTable& table, const data::ResultSet& row) {
    table.lastColumn = checkedInt16(table.lastColumn + 1, QStringLiteral("last column"));
    const int c = table.lastColumn;
    if (c >= kColumnTableSize)
        raiseSubscriptOutOfRange(QStringLiteral("列配置超过 %1 列 (tblFindInfoEntry 第 %2 行)")
                                     .arg(kColumnTableSize - 3)
                                     .arg(c - 2));
    table.fieldName[c] = requiredText(row, "fFieldname");
    table.titleName[c] = requiredText(row, "fTitleName");
    table.align[c] = requiredText(row, "fAlign");
    table.dataFormat[c] = requiredText(row, "fDataFormat");
    if (valueEquals(row.value(QStringLiteral("fIsMerge")), 1))
        table.mergedEnd = checkedInt16(table.mergedEnd + 1, QStringLiteral("merged end"));
    if (valueEquals(row.value(QStringLiteral("fIsSum")), 1)) {
        const QVariant entryId = row.value(QStringLiteral("fentryid"));
        if (entryId.isNull()) raiseInvalidUseOfNull(QStringLiteral("tblFindInfoEntry.fentryid"));
        table.sumList += ',' + QString::number(entryId.toLongLong() + 2);
    }
}

ColumnTable readColumnTable(data::ResultSet& rows) {
    ColumnTable table;
    addKeyColumns(table);
    for (; !rows.eof(); rows.moveNext()) addConfiguredColumn(table, rows);
    rows.close();
    table.sumList += ',';
    return table;
}

void setUpGrid(FlexGrid& grid, const ColumnTable& table) {
    grid.setRowCount(1);
    grid.setColCount(table.lastColumn + 1);
    for (int c = 0; c <= table.lastColumn; ++c)
        grid.setCellProperty(FlexGrid::kSelectorText, 0, c, table.titleName[c]);
    for (int c = 0; c <= table.lastColumn; ++c) {
        grid.setColHeaderAlignment(c, 4);
        grid.setColAlignment(c, textToInt16(table.align[c], QStringLiteral("fAlign")));
    }
    for (int c = 0; c < 3; ++c) grid.setColHidden(c, true);
    for (int c = 0; c <= table.lastColumn; ++c)
        if (!table.dataFormat[c].isEmpty()) grid.setColFormat(c, table.dataFormat[c]);
}

// Reads a line's fields by position. Each field's position is looked up by name on its first
// use, so that a field the view lacks fails where it is first read. The text of a field is made
// once per line: columns that show the same field share it.
class LineFields {
  public:
    static constexpr int kCustomer = kColumnTableSize;  // slots after the grid's columns
    static constexpr int kStatus = kColumnTableSize + 1;

    LineFields(const data::ResultSet& rows, const ColumnTable& table)
        : rows_(rows), texts_(size_t(rows.fieldCount())), textLine_(size_t(rows.fieldCount()), 0) {
        names_.fill(QString());
        std::copy(table.fieldName.begin(), table.fieldName.end(), names_.begin());
        names_[kCustomer] = QStringLiteral("fcustomerIdNumber");
        names_[kStatus] = QStringLiteral("fstatus");
        indexes_.fill(-1);
    }

    // The fields read from here on are those of the next line.
    void startLine() { ++line_; }

    QVariant value(int slot) { return rows_.value(fieldIndex(slot)); }
    // Valid until the next line starts.
    QStringView text(int slot) {
        const size_t field = size_t(fieldIndex(slot));
        if (textLine_[field] != line_) {
            texts_[field].assign(rows_.value(int(field)));
            textLine_[field] = line_;
        }
        return texts_[field].view();
    }
    // The number a field's text was written from, where it was; valid after text(slot).
    std::optional<double> writtenNumber(int slot) {
        return texts_[size_t(fieldIndex(slot))].writtenNumber();
    }
    // The number behind the text of a field (see ValueText::numberBehindText); valid after
    // text(slot).
    std::optional<double> numberBehind(int slot) {
        return texts_[size_t(fieldIndex(slot))].numberBehindText();
    }

  private:
    int fieldIndex(int slot) {
        if (indexes_[slot] < 0) {
            indexes_[slot] = rows_.fieldIndex(names_[slot]);
            if (indexes_[slot] < 0) rows_.value(names_[slot]);  // raises the provider's error
        }
        return indexes_[slot];
    }

    const data::ResultSet& rows_;
    std::array<QString, kColumnTableSize + 2> names_;
    std::array<int, kColumnTableSize + 2> indexes_;
    std::vector<ValueText> texts_;   // by field index
    std::vector<quint64> textLine_;  // the line whose text texts_ holds
    quint64 line_ = 0;
};

void colourRow(FlexGrid& grid, int row, const ColumnTable& table, QRgb background) {
    grid.setCellProperty(FlexGrid::kSelectorBackColor, row, 0, row, table.lastColumn, background);
}

// The totals row's text: columns 0 to 2 empty, the label in column 3.
const QString kTotalsRowText = QString(3, kTab) + kTotalsLabel;

RunningTotals runningTotalsFor(const ColumnTable& table) {
    const QStringList startCells = kTotalsRowText.split(kTab);
    std::vector<int> columns;
    std::vector<QString> startTexts;
    for (int c = 1; c <= table.lastColumn; ++c) {
        if (!table.isTotalled(c)) continue;
        columns.push_back(c);
        startTexts.push_back(startCells.value(c));
    }
    return RunningTotals(std::move(columns), startTexts);
}

// A line's cells into the totals; a merged column's later lines are blank.
void addToTotals(RunningTotals& totals, const ColumnTable& table, LineFields& line,
                 bool firstLine) {
    for (size_t i = 0; i < totals.columns().size(); ++i) {
        const int c = totals.columns()[i];
        if (c >= 3 && c <= table.lastMergedColumn() && !firstLine)
            totals.add(i, 0.0, {});
        else
            totals.add(i, line.writtenNumber(c), line.text(c));
    }
    totals.nextLine();
}

// What one line pass carries from line to line: the previous document id, the row text and
// customer text, whose buffers serve every line, and the running totals.
struct LinePass {
    explicit LinePass(const ColumnTable& table) : totals(runningTotalsFor(table)) {}

    QString previousId;
    GridRowText rowText;
    ValueText customerText;
    RunningTotals totals;
};

// The lines of a document share their customer, so the shared text is rewritten only where the
// customer changes.
void noteCustomer(const QVariant& customer, LinePass& pass) {
    if (customer.isNull()) raiseInvalidUseOfNull(QStringLiteral("fcustomerIdNumber"));
    pass.customerText.assign(customer);
    QString& customerNumber = windowSession().gCustomerNumber;
    if (customerNumber != pass.customerText.view())
        customerNumber = pass.customerText.view().toString();
}

// A field's text into the row, with the number behind it where the text shows fewer digits.
void appendField(GridRowText& rowText, LineFields& line, int slot) {
    const QStringView text = line.text(slot);
    rowText.append(text, line.numberBehind(slot));
}

void addLine(FlexGrid& grid, const ColumnTable& table, LineFields& line, LinePass& pass) {
    line.startLine();
    GridRowText& rowText = pass.rowText;
    rowText.clear();
    const QStringView documentId = line.text(0);
    appendField(rowText, line, 0);
    appendField(rowText.nextCell(), line, 1);
    appendField(rowText.nextCell(), line, 2);
    noteCustomer(line.value(LineFields::kCustomer), pass);
    const bool firstLine = documentId != pass.previousId;
    for (int c = 3; c <= table.lastMergedColumn(); ++c) {
        rowText.nextCell();
        if (firstLine) appendField(rowText, line, c);
    }
    for (int c = table.lastMergedColumn() + 1; c <= table.lastColumn; ++c)
        appendField(rowText.nextCell(), line, c);

    grid.AddRow(rowText);
    addToTotals(pass.totals, table, line, firstLine);
    grid.setCurrentRow(grid.RowCount() - 1);
    const int row = grid.CurrentRow();
    grid.SelectRange(row, 0, row, grid.ColCount() - 1);
    grid.SetRangeBorder(kBorderColor, 1, firstLine ? 1 : 0, 1, 0, 1, 0);
    const bool statusOne = valueEquals(line.value(LineFields::kStatus), 1);
    colourRow(grid, row, table, statusOne ? kStatusOneColor : kOtherStatusColor);
    if (firstLine) pass.previousId = documentId.toString();
}

void addTotalsRow(FlexGrid& grid, const ColumnTable& table, const RunningTotals& totals) {
    grid.AddRow(kTotalsRowText);
    grid.setCurrentRow(grid.RowCount() - 1);
    const int row = grid.CurrentRow();
    grid.SelectRange(row, 0, row, grid.ColCount() - 1);
    grid.SetRangeBorder(kBorderColor, 0, 1, 0, 0, 1, 0);
    colourRow(grid, row, table, kTotalsColor);
    totals.writeTo(grid, row);
}

void loadLines(FlexGrid& grid, const ColumnTable& table, data::ResultSet& lines) {
    LineFields line(lines, table);
    LinePass pass(table);
    for (; !lines.eof(); lines.moveNext()) addLine(grid, table, line, pass);
    lines.close();
    if (grid.RowCount() > 1) addTotalsRow(grid, table, pass.totals);
}

void rebuildGrid(FlexGrid& grid, const GridSource& source, const QString& idList,
                 data::Connection& connection, std::unique_ptr<data::ResultSet>& recordset) {
    const QString ids = queryableIdList(idList);
    recordset = connection.openResultSet(configurationQuery(source.configurationType));
    const ColumnTable table = readColumnTable(*recordset);
    // Nothing else runs on the connection while the lines are read.
    recordset =
        connection.openResultSet(lineQuery(source.lineView, ids), data::RowReading::Streamed);
    setUpGrid(grid, table);
    loadLines(grid, table, *recordset);
    grid.fitColumnsToContents();
    qCDebug(lcWindow).noquote() << grid.Name() << "loaded:" << grid.RowCount() << "rows";
}

}  // namespace

GridSource invoiceGridSource() {
    return {100, QStringLiteral("vGSaleFP")};
}
GridSource outboundGridSource() {
    return {101, QStringLiteral("vGproductOut")};
}

// The normal path's close lies outside the failure handling: a failure to close reaches the caller.
bool loadDocumentGrid(FlexGrid& grid, const GridSource& source, const QString& idList) {
    std::unique_ptr<data::ResultSet> recordset;
    DatabaseOperation load(
        [](const QString& description) { showMessage(description, MessageNoIcon); },
        [&] { recordset.reset(); });
    return load.run([&](DatabaseOperation& operation) {
        rebuildGrid(grid, source, idList, operation.connection(), recordset);
    });
}

}  // namespace xhook
