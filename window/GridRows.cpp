#include "window/GridRows.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cstddef>
#include <new>
#include <span>

namespace xhook {

namespace {

const GridRowStyle kPlainStyle;

}  // namespace

// The cells of a row in one block: the end offset of each cell, then the text of the cells one
// after another, each cell followed by one separator character but the last. ends()[c] is the
// offset after cell c, so cell c starts one after ends()[c - 1]. The offsets alone delimit the
// cells: a cell's own text may hold a TAB.
// The block is the cells' own, or lies in room that its owner provides (a loaded row's block lies
// in the row's own allocation).
class RowCells {
  public:
    RowCells() = default;
    RowCells(QStringView text, const quint32* ends, int count)
        : RowCells(text, ends, count, nullptr) {}
    RowCells(QStringView text, const quint32* ends, int count, std::byte* room)
        : owned_(room ? nullptr
                      : std::make_unique_for_overwrite<std::byte[]>(bytesFor(text.size(), count))),
          block_(room ? room : owned_.get()),
          count_(count),
          length_(text.size()) {
        std::copy(ends, ends + count, endsToWrite());
        std::copy(text.utf16(), text.utf16() + text.size(), charsToWrite());
    }

    static size_t bytesFor(qsizetype textLength, int count) {
        return size_t(count) * sizeof(quint32) + size_t(textLength) * sizeof(char16_t);
    }

    int count() const { return count_; }
    const quint32* ends() const { return reinterpret_cast<const quint32*>(block_); }
    QStringView text() const {
        return QStringView(reinterpret_cast<const char16_t*>(ends() + count_), length_);
    }
    qsizetype start(int col) const { return col == 0 ? 0 : qsizetype(ends()[col - 1]) + 1; }
    QStringView cell(int col) const {
        const qsizetype from = start(col);
        return text().mid(from, qsizetype(ends()[col]) - from);
    }

  private:
    quint32* endsToWrite() { return reinterpret_cast<quint32*>(block_); }
    char16_t* charsToWrite() { return reinterpret_cast<char16_t*>(endsToWrite() + count_); }

    std::unique_ptr<std::byte[]> owned_;
    std::byte* block_ = nullptr;
    int count_ = 0;
    qsizetype length_ = 0;
};

// The numbers behind the cells of a row whose texts show fewer digits than them, by column; rare,
// so a row holds them only where it has any.
using NumbersBehind = std::vector<std::pair<int, double>>;

struct GridRows::Row {
    RowCells cells;
    int heightTwips = -1;
    GridRowStyle style;
    std::unique_ptr<NumbersBehind> numbersBehind;

    void setNumberBehind(int col, std::optional<double> number);

    void setCell(int col, const QString& cell);
    void extendTo(int cells);
    void truncateCells(int cells);

    // A row with `room` bytes after it in the same allocation.
    static RowPointer withRoom(size_t room) {
        void* memory = ::operator new(sizeof(Row) + room);
        return RowPointer(new (memory) Row);
    }
    std::byte* room() { return reinterpret_cast<std::byte*>(this + 1); }
    // A row whose cells lie in its own allocation.
    static RowPointer withCells(QStringView text, const quint32* ends, int count) {
        RowPointer row = withRoom(RowCells::bytesFor(text.size(), count));
        row->cells = RowCells(text, ends, count, row->room());
        return row;
    }
};

void GridRows::RowDeleter::operator()(Row* row) const {
    row->~Row();
    ::operator delete(row);
}

// Empty cells are added after the last one, each after a separator.
void GridRows::Row::extendTo(int count) {
    if (count <= cells.count()) return;
    const int old = cells.count();
    std::vector<quint32> ends(cells.ends(), cells.ends() + old);
    const int separators = count - old - (old == 0 ? 1 : 0);
    const QString text = cells.text().toString() + QString(separators, u'\t');
    for (int c = old; c < count; ++c) ends.push_back(quint32(c == 0 ? 0 : ends[c - 1] + 1));
    cells = RowCells(text, ends.data(), count);
}

void GridRows::Row::setCell(int col, const QString& cell) {
    extendTo(col + 1);
    const qsizetype from = cells.start(col);
    const qsizetype oldLength = qsizetype(cells.ends()[col]) - from;
    QString updated;
    updated.reserve(cells.text().size() - oldLength + cell.size());
    updated.append(cells.text().left(from)).append(cell).append(cells.text().mid(from + oldLength));
    std::vector<quint32> ends(cells.ends(), cells.ends() + cells.count());
    const qsizetype delta = cell.size() - oldLength;
    for (size_t c = size_t(col); c < ends.size(); ++c)
        ends[c] = quint32(qsizetype(ends[c]) + delta);
    cells = RowCells(updated, ends.data(), int(ends.size()));
}

void GridRows::Row::truncateCells(int count) {
    if (count >= cells.count()) return;
    const QStringView kept =
        count == 0 ? QStringView() : cells.text().left(cells.ends()[count - 1]);
    cells = RowCells(kept, cells.ends(), count);
}

void GridRows::Row::setNumberBehind(int col, std::optional<double> number) {
    if (!numbersBehind && !number) return;
    if (!numbersBehind) numbersBehind = std::make_unique<NumbersBehind>();
    std::erase_if(*numbersBehind, [col](const auto& entry) { return entry.first == col; });
    if (number) numbersBehind->push_back({col, *number});
}

GridRows::GridRows() = default;
GridRows::~GridRows() = default;

// The parts between the TABs are the cells.
void GridRows::append(const QString& line, int columnCount) {
    GridRowText text;
    qsizetype from = 0;
    for (qsizetype tab = line.indexOf(u'\t'); tab >= 0; tab = line.indexOf(u'\t', from)) {
        text.append(QStringView(line).mid(from, tab - from)).nextCell();
        from = tab + 1;
    }
    text.append(QStringView(line).mid(from));
    append(text, columnCount);
}

// The cells end at the separators, and the last one at the end of the text; the cells beyond
// `columnCount` are dropped with the separator before them.
void GridRows::append(const GridRowText& line, int columnCount) {
    const std::span<const quint32> separators = line.separators();
    RowPointer row;
    if (columnCount <= 0) {
        row = Row::withRoom(0);
    } else if (qsizetype(separators.size()) >= columnCount) {
        row = Row::withCells(line.text().left(separators[size_t(columnCount - 1)]),
                             separators.data(), columnCount);
    } else {
        QVarLengthArray<quint32, 64> ends(separators.begin(), separators.end());
        ends.append(quint32(line.text().size()));
        row = Row::withCells(line.text(), ends.constData(), int(ends.size()));
    }
    for (const GridRowText::NumberBehind& number : line.numbersBehind())
        if (number.cell < columnCount) row->setNumberBehind(number.cell, number.number);
    row->style = std::exchange(belowLast_, GridRowStyle());
    longest_.offerRow(count(), row->cells.ends(), row->cells.count());
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
    longest_.markStale();
}

void GridRows::truncate(int rows) {
    if (rows == 0) longest_.reset();
    if (rows >= count()) return;
    const RowPointer& firstDropped = rows_[size_t(rows)];
    belowLast_ = firstDropped ? std::move(firstDropped->style) : GridRowStyle();
    rows_.resize(size_t(rows));
    if (rows > 0) longest_.markStale();
}

void GridRows::dropColumnsFrom(int columnCount) {
    for (const RowPointer& row : rows_) {
        if (!row) continue;
        row->truncateCells(columnCount);
        row->style.dropColumnsFrom(columnCount);
        if (row->numbersBehind)
            std::erase_if(*row->numbersBehind,
                          [columnCount](const auto& entry) { return entry.first >= columnCount; });
    }
    belowLast_.dropColumnsFrom(columnCount);
    longest_.dropColumnsFrom(columnCount);
}

QStringView GridRows::text(int row, int col) const {
    const Row* stored = rows_[size_t(row)].get();
    if (!stored || col >= stored->cells.count()) return {};
    return stored->cells.cell(col);
}

void GridRows::offerRow(int row) const {
    const Row* stored = rows_[size_t(row)].get();
    if (stored) longest_.offerRow(row, stored->cells.ends(), stored->cells.count());
}

std::vector<int> GridRows::longestTextRows(int col) const {
    if (longest_.isStale()) {
        longest_.reset();
        for (int r = 0; r < count(); ++r) offerRow(r);
    }
    return longest_.rows(col);
}

void GridRows::setText(int row, int col, const QString& text, std::optional<double> numberBehind) {
    Row& stored = rowToWrite(row);
    stored.setCell(col, text);
    stored.setNumberBehind(col, numberBehind);
    longest_.offerCell(row, col, text.size());
}

std::optional<double> GridRows::numberBehind(int row, int col) const {
    const Row* stored = rows_[size_t(row)].get();
    if (!stored || !stored->numbersBehind) return std::nullopt;
    for (const auto& [column, number] : *stored->numbersBehind)
        if (column == col) return number;
    return std::nullopt;
}

GridRows::Row& GridRows::rowToWrite(int row) {
    RowPointer& stored = rows_[size_t(row)];
    if (!stored) stored = Row::withRoom(0);
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
