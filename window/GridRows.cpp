#include "window/GridRows.h"

#include <QVarLengthArray>

namespace xhook {

namespace {

const GridRowStyle kPlainStyle;

}  // namespace

// `text` holds the cells one after another, each cell followed by one separator character but
// the last; ends[c] is the offset after cell c, so cell c starts one after ends[c - 1]. The
// offsets alone delimit the cells: a cell's own text may hold a TAB.
struct GridRows::Row {
    QString text;
    std::unique_ptr<quint32[]> ends;
    int cellCount = 0;
    int heightTwips = -1;
    GridRowStyle style;

    qsizetype start(int col) const { return col == 0 ? 0 : qsizetype(ends[col - 1]) + 1; }
    void setCells(QStringView line, const quint32* cellEnds, int cells);
    void setCell(int col, const QString& cell);
    void extendTo(int cells);
    void truncateCells(int cells);
};

void GridRows::Row::setCells(QStringView line, const quint32* cellEnds, int cells) {
    text = line.toString();
    cellCount = cells;
    ends = std::make_unique_for_overwrite<quint32[]>(size_t(cellCount));
    std::copy(cellEnds, cellEnds + cells, ends.get());
}

void GridRows::Row::extendTo(int cells) {
    if (cells <= cellCount) return;
    auto grown = std::make_unique<quint32[]>(size_t(cells));
    std::copy(ends.get(), ends.get() + cellCount, grown.get());
    text += QString(cells - cellCount - (cellCount == 0 ? 1 : 0), u'\t');
    for (int c = cellCount; c < cells; ++c) grown[c] = quint32(c == 0 ? 0 : grown[c - 1] + 1);
    ends = std::move(grown);
    cellCount = cells;
}

void GridRows::Row::setCell(int col, const QString& cell) {
    extendTo(col + 1);
    const qsizetype from = start(col);
    const qsizetype oldLength = qsizetype(ends[col]) - from;
    QString updated;
    updated.reserve(text.size() - oldLength + cell.size());
    updated.append(QStringView(text).left(from))
        .append(cell)
        .append(QStringView(text).mid(from + oldLength));
    text = std::move(updated);
    const qsizetype delta = cell.size() - oldLength;
    for (int c = col; c < cellCount; ++c) ends[c] = quint32(qsizetype(ends[c]) + delta);
}

void GridRows::Row::truncateCells(int cells) {
    if (cells >= cellCount) return;
    cellCount = cells;
    text.truncate(cells == 0 ? 0 : qsizetype(ends[cells - 1]));
    text.squeeze();
}

GridRows::GridRows() = default;
GridRows::~GridRows() = default;

void GridRowText::clear() {
    text_.clear();
    tabs_.clear();
}

GridRowText& GridRowText::append(QStringView piece) {
    const qsizetype start = text_.size();
    text_.resize(start + piece.size());
    char16_t* out = text_.data() + start;
    const char16_t* in = piece.utf16();
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (in[i] == u'\t') tabs_.append(quint32(start + i));
        out[i] = in[i];
    }
    return *this;
}

GridRowText& GridRowText::appendTab() {
    tabs_.append(quint32(text_.size()));
    text_.append(u'\t');
    return *this;
}

void GridRows::append(const QString& line, int columnCount) {
    GridRowText text;
    text.append(line);
    append(text, columnCount);
}

// The cells end at the TABs, and the last one at the end of the text; the cells beyond
// `columnCount` are dropped with the TAB before them.
void GridRows::append(const GridRowText& line, int columnCount) {
    const QVarLengthArray<quint32, 64>& tabs = line.tabs();
    QVarLengthArray<quint32, 64> cellEnds;
    QStringView kept;
    if (columnCount > 0) {
        const bool dropsCells = tabs.size() >= columnCount;
        const int cells = dropsCells ? columnCount : int(tabs.size()) + 1;
        cellEnds.append(tabs.constData(), std::min(qsizetype(cells), tabs.size()));
        if (!dropsCells) cellEnds.append(quint32(line.text().size()));
        kept = line.text().left(cellEnds.back());
    }
    auto row = std::make_unique<Row>();
    row->setCells(kept, cellEnds.constData(), int(cellEnds.size()));
    row->style = std::exchange(belowLast_, GridRowStyle());
    rows_.push_back(std::move(row));
}

void GridRows::appendEmpty(int rows) {
    if (rows <= 0) return;
    const size_t first = rows_.size();
    rows_.resize(first + size_t(rows));
    if (!belowLast_.isPlain())
        rowToWrite(int(first)).style = std::exchange(belowLast_, GridRowStyle());
}

void GridRows::remove(int row) {
    rows_.erase(rows_.begin() + row);
}

void GridRows::truncate(int rows) {
    if (rows >= count()) return;
    const std::unique_ptr<Row>& firstDropped = rows_[size_t(rows)];
    belowLast_ = firstDropped ? std::move(firstDropped->style) : GridRowStyle();
    rows_.resize(size_t(rows));
}

void GridRows::dropColumnsFrom(int columnCount) {
    for (const std::unique_ptr<Row>& row : rows_) {
        if (!row) continue;
        row->truncateCells(columnCount);
        row->style.dropColumnsFrom(columnCount);
    }
    belowLast_.dropColumnsFrom(columnCount);
}

QStringView GridRows::text(int row, int col) const {
    const Row* stored = rows_[size_t(row)].get();
    if (!stored || col >= stored->cellCount) return {};
    const qsizetype from = stored->start(col);
    return QStringView(stored->text).mid(from, qsizetype(stored->ends[col]) - from);
}

void GridRows::setText(int row, int col, const QString& text) {
    rowToWrite(row).setCell(col, text);
}

GridRows::Row& GridRows::rowToWrite(int row) {
    std::unique_ptr<Row>& stored = rows_[size_t(row)];
    if (!stored) stored = std::make_unique<Row>();
    return *stored;
}

const GridRowStyle& GridRows::style(int row) const {
    const Row* stored = rows_[size_t(row)].get();
    return stored ? stored->style : kPlainStyle;
}

GridRowStyle& GridRows::styleToWrite(int row) {
    return rowToWrite(row).style;
}

int GridRows::heightTwips(int row) const {
    const Row* stored = rows_[size_t(row)].get();
    return stored ? stored->heightTwips : -1;
}

void GridRows::setHeightTwips(int row, int twips) {
    rowToWrite(row).heightTwips = twips;
}

}  // namespace xhook
