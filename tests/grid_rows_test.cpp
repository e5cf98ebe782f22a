#include <gtest/gtest.h>

#include <QRgb>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdlib>
#include <new>

#include "window/GridRowStyle.h"
#include "window/GridRowText.h"
#include "window/GridRows.h"

// Counts the allocations made through operator new in this program, so that a test can see how
// many blocks the row store takes.
namespace {
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

using namespace xhook;

namespace {

const QChar kTab = u'\t';

QStringList cellsOf(const GridRows& rows, int row, int columns) {
    QStringList cells;
    for (int c = 0; c < columns; ++c) cells << rows.text(row, c).toString();
    return cells;
}

// Every way a row is written: appended as text, appended as a built row, edited, cut short.
TEST(GridRows, CellsReadBackAsWritten) {
    struct Case {
        const char* name;
        QString line;
        int columnCount;
        QStringList expected;  // the first four cells as read
    };
    const QList<Case> cases = {
        {"one part a column", "a\tbb\tccc\td", 4, {"a", "bb", "ccc", "d"}},
        {"missing parts read empty", "a\tb", 4, {"a", "b", "", ""}},
        {"parts beyond the columns dropped", "a\tb\tc\td\te\tf", 3, {"a", "b", "c", ""}},
        {"empty parts", "\t\tx\t", 4, {"", "", "x", ""}},
        {"no columns", "a\tb", 0, {"", "", "", ""}},
        {"one column, one empty part", "", 1, {"", "", "", ""}},
        {"text beyond the BMP",
         QString::fromUtf8("😀\t合计"),
         2,
         {QString::fromUtf8("😀"), "合计", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridRows rows;
        rows.append(c.line, c.columnCount);
        GridRowText built;
        const QStringList parts = c.line.split(kTab);
        for (int i = 0; i < parts.size(); ++i) {
            if (i > 0) built.nextCell();
            built.append(parts[i]);
        }
        rows.append(built, c.columnCount);
        ASSERT_EQ(rows.count(), 2);
        EXPECT_EQ(cellsOf(rows, 0, 4), c.expected) << "appended as text";
        EXPECT_EQ(cellsOf(rows, 1, 4), c.expected) << "appended as a built row";
    }
}

TEST(GridRows, EditsChangeOneCellAndKeepTheOthers) {
    struct Case {
        const char* name;
        int col;
        QString text;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"a longer first cell", 0, "first", {"first", "b", "c", ""}},
        {"a shorter middle cell", 1, "", {"a", "", "c", ""}},
        {"a cell holding a TAB", 1, "x\ty", {"a", "x\ty", "c", ""}},
        {"a cell beyond the row's cells", 4, "e", {"a", "b", "c", "", "e"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridRows rows;
        rows.append("a\tb\tc", 3);
        rows.setText(0, c.col, c.text);
        EXPECT_EQ(cellsOf(rows, 0, int(c.expected.size())), c.expected);
    }

    GridRows rows;
    rows.appendEmpty(2);
    EXPECT_EQ(cellsOf(rows, 1, 3), QStringList({"", "", ""})) << "a row never written";
    rows.setText(1, 2, "z");
    EXPECT_EQ(cellsOf(rows, 1, 3), QStringList({"", "", "z"}));
    EXPECT_EQ(cellsOf(rows, 0, 3), QStringList({"", "", ""}));

    rows.append("p\tq\tr", 3);
    rows.dropColumnsFrom(1);
    EXPECT_EQ(cellsOf(rows, 1, 3), QStringList({"", "", ""}));
    EXPECT_EQ(cellsOf(rows, 2, 3), QStringList({"p", "", ""}));
}

// A loaded row is one allocation: its cells lie one after another in it, one separator apart.
// An edited row's cells move to a block of their own; no other row moves.
TEST(GridRows, ALoadedRowIsOneAllocationAndAnEditedRowGetsABlockOfItsOwn) {
    constexpr int kRows = 1000;
    GridRowText line;
    line.append(u"10001").nextCell().append(u"2026-12-09").nextCell().append(u"3.35");
    ASSERT_EQ(line.separators().size(), 2u);

    GridRows rows;
    const long before = gAllocations;
    for (int i = 0; i < kRows; ++i) rows.append(line, 3);
    const long allocations = gAllocations - before;
    EXPECT_GE(allocations, kRows);
    EXPECT_LE(allocations, kRows + 16) << "one block a row, and the row list's growth";

    for (int row : {0, 1, kRows - 1}) {
        const QStringView first = rows.text(row, 0), second = rows.text(row, 1),
                          third = rows.text(row, 2);
        EXPECT_EQ(second.data(), first.data() + first.size() + 1) << row;
        EXPECT_EQ(third.data(), second.data() + second.size() + 1) << row;
    }
    EXPECT_NE(rows.text(0, 0).data(), rows.text(1, 0).data());

    const QChar* untouched = rows.text(1, 2).data();
    const QChar* edited = rows.text(0, 2).data();
    rows.setText(0, 1, "31.12");
    EXPECT_NE(rows.text(0, 2).data(), edited) << "the edited row's cells moved to a block";
    EXPECT_EQ(rows.text(0, 2), u"3.35");
    EXPECT_EQ(rows.text(1, 2).data(), untouched);

    // Rows are held by pointer: removing one moves no cell of the others.
    const QChar* second = rows.text(2, 0).data();
    rows.remove(1);
    EXPECT_EQ(rows.count(), kRows - 1);
    EXPECT_EQ(rows.text(1, 0).data(), second);
}

// A row's style, height and the lines under the last row follow the rows as they come and go.
TEST(GridRows, StylesAndHeightsFollowTheirRows) {
    GridRows rows;
    EXPECT_TRUE(rows.belowLast().isPlain());
    rows.belowLastToWrite().setBackground(0, 0, qRgb(1, 2, 3), 1);
    rows.append("a", 1);
    EXPECT_TRUE(rows.belowLast().isPlain()) << "the lines under the last row went to the new row";
    EXPECT_EQ(rows.style(0).background(0), qRgb(1, 2, 3));

    rows.appendEmpty(3);
    EXPECT_TRUE(rows.style(2).isPlain());
    EXPECT_EQ(rows.heightTwips(2), -1);
    rows.setHeightTwips(2, 300);
    rows.styleToWrite(2).setBackground(0, 0, qRgb(4, 5, 6), 1);
    EXPECT_EQ(rows.heightTwips(2), 300);
    EXPECT_EQ(cellsOf(rows, 2, 2), QStringList({"", ""})) << "styling writes no cell";

    rows.truncate(2);
    EXPECT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.belowLast().background(0), qRgb(4, 5, 6))
        << "the first dropped row's style stays under the last";
    rows.truncate(0);
    EXPECT_EQ(rows.count(), 0);
}

}  // namespace
