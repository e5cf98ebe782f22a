#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "window/DisplayFormat.h"
#include "window/GridRows.h"

namespace xhook {

// Alignment codes of the grid: 0 left-top, 1 left-centre, 2 left-bottom, 3 centre-top,
// 4 centre-centre, 5 centre-bottom, 6 right-top, 7 right-centre, 8 right-bottom, 9 general (left,
// numbers right; vertically centred).
constexpr int kAlignmentGeneral = 9;
Qt::Alignment alignmentForCode(int code, bool isNumber);

// The item model of a grid over its row store: model row i is data row i of the store, the
// grid's row i + 1; the grid's row 0 is the horizontal header. The views learn of changes in the
// rows in batches, on catchUp(): all rows appended since the last call come in one insertion, and
// removals of adjacent rows (a document's lines, one by one) in one removal. Until then the
// model still counts the removed rows, and shows them empty.
class GridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    struct Column {
        QString header;
        int alignment = kAlignmentGeneral;
        int headerAlignment = kAlignmentGeneral;
        QString formatText;
        DisplayFormat format;
        int widthTwips = 0;
        // Set when a caller (a stored layout) or the user gave the column its width; until then
        // a load fits it to its texts.
        bool widthChosen = false;
        bool hidden = false;
    };

    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const GridRows& rows() const { return rows_; }
    GridRows& rows() { return rows_; }
    int dataRowCount() const { return rows_.count(); }

    int columns() const { return int(columns_.size()); }
    const Column& column(int col) const { return columns_[size_t(col)]; }
    Column& column(int col) { return columns_[size_t(col)]; }
    void setColumnCount(int columns, int widthTwips);

    void appendRow(const QString& tabSeparatedCells);
    void appendRow(const GridRowText& cells);
    void appendEmptyRows(int rows);
    void removeDataRow(int row);
    void truncateDataRows(int rows);
    // Announces the rows removed and appended since the last call.
    void catchUp();
    // The store row that a model row shows; -1 for a removed row not yet announced.
    int storeRow(int modelRow) const;

    // The lines round a data cell (0: none): its left and right boundary lines, the line above it
    // and the line under it.
    struct CellLines {
        QRgb left = 0, top = 0, right = 0, bottom = 0;
    };
    CellLines linesAround(int dataRow, int col) const;
    QRgb verticalLine(int dataRow, int boundary) const;

    // The header row's own colours.
    const GridRowStyle& headerStyle() const { return headerStyle_; }
    GridRowStyle& headerStyle() { return headerStyle_; }

    // The text that the user sees: the stored text through the column's display format.
    QString displayText(int dataRow, int col) const;
    bool isNumber(int dataRow, int col) const;

    // Tells the views that data rows first..last (any range; clamped to the announced rows)
    // or header sections changed.
    void dataRowsChanged(int first, int last);
    void headerChanged(int first, int last);
    void columnChanged(int col);

  private:
    int modelRow(int storeRow) const;
    void announceRemovals();

    GridRows rows_;
    GridRowStyle headerStyle_;
    std::vector<Column> columns_;
    int announcedRows_ = 0;
    // Model rows removedFirst_ .. removedFirst_ + removedCount_ - 1 are gone from the store but
    // not yet from the views.
    int removedFirst_ = 0;
    int removedCount_ = 0;
};

}  // namespace xhook
