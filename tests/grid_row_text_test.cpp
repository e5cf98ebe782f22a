// A row built piece by piece (GridRowText) lands in the grid exactly as the same text given to
// AddRow; the loader builds its rows that way, reading a field once for all the columns that
// show it.
#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>
#include <optional>
#include <vector>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/GridLoader.h"
#include "window/GridRows.h"

namespace xhook {
namespace {

QStringList cells(const FlexGrid& grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid.ColCount(); ++c) texts << grid.cellText(row, c);
    return texts;
}

// Builds one cell from each of `pieces`, as the loader does.
void build(GridRowText& text, const QStringList& pieces) {
    text.clear();
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) text.nextCell();
        text.append(pieces[i]);
    }
}

// The pieces as their cells show them: every control character a space.
QStringList shown(QStringList pieces) {
    for (QString& piece : pieces)
        for (QChar& c : piece)
            if (c.category() == QChar::Other_Control) c = u' ';
    return pieces;
}

// A built row lands as its cells joined by TAB do, each piece in a cell of its own: a value's
// TAB, newline or other control character stays in its cell, as a space.
TEST(GridRowText, EachPieceIsOneCellAndItsControlCharactersShowAsSpaces) {
    const QList<QStringList> rows = {
        {"1001", "1", "FP001", "螺丝", "2.5"},
        {"1001", "", "", "", ""},
        {"a\tb", "c", "d"},                        // a TAB inside a value
        {"\t\t", "x"},                             // a value that is TABs only
        {"1", "2", "3", "4", "5", "6", "7", "8"},  // more cells than columns: the rest dropped
        {"only"},
        {""},
        {"1", "2\t3\t4\t5\t6\t7", "tail"},
        {"", "", "", "", "", "", ""},  // exactly as many cells as columns
        {"line\r\nbreak", QString(QChar(0x7f)) + QChar(0x85) + QChar(0x9f), "\x01\x1f"},
        {QString(QChar(0xa0)) + QChar(0x2028) + "kept", "0123456789abcdef\tlong piece"},
    };
    for (int columns : {0, 1, 5, 7}) {
        SCOPED_TRACE(columns);
        FlexGrid joined("joined"), built("built");
        joined.setColCount(columns);
        built.setColCount(columns);
        GridRowText text;  // one builder for every row, as the loader keeps it
        for (const QStringList& pieces : rows) {
            joined.AddRow(shown(pieces).join(QChar(9)));
            build(text, pieces);
            EXPECT_EQ(text.text(), shown(pieces).join(QChar(9)));
            EXPECT_EQ(qsizetype(text.separators().size()), pieces.size() - 1);
            built.AddRow(text);
        }
        ASSERT_EQ(built.RowCount(), joined.RowCount());
        for (int r = 1; r < joined.RowCount(); ++r) {
            EXPECT_EQ(cells(built, r), cells(joined, r)) << "row " << r;
            built.setColCount(columns + 2);  // cells added later start empty in both
            joined.setColCount(columns + 2);
            EXPECT_EQ(cells(built, r), cells(joined, r)) << "row " << r << ", widened";
            built.setColCount(columns);
            joined.setColCount(columns);
        }
    }
    FlexGrid grid("vsf1");
    grid.setColCount(3);
    GridRowText text;
    build(text, {"x", "y", "z"});
    grid.AddRow(text);
    grid.setCellProperty(FlexGrid::kSelectorText, 1, 1, QStringLiteral("longer text"));
    EXPECT_EQ(cells(grid, 1), QStringList({"x", "longer text", "z"}));
    EXPECT_EQ(grid.cellTextView(1, 2), u"z");
}

// The fast test of eight code units at a time agrees with Qt's character categories for every
// code unit, wherever it falls in a piece.
TEST(GridRowText, ControlCharactersAreTheCodeUnitsQtCallsControls) {
    std::vector<char16_t> units(0x10000 + 7);
    for (size_t i = 0; i < units.size(); ++i) units[i] = char16_t(i % 0x10000);
    for (qsizetype shift : {0, 3, 7}) {
        std::vector<char16_t> text(units.begin() + shift, units.end());
        controlCharactersToSpaces(text.data(), qsizetype(text.size()));
        for (size_t i = 0; i < text.size(); ++i) {
            const char16_t before = units[i + size_t(shift)];
            const bool control = QChar(before).category() == QChar::Other_Control;
            ASSERT_EQ(text[i], control ? u' ' : before) << "U+" << std::hex << int(before);
        }
    }
}

// A configuration that shows one field in several columns, merged and not, totals one field in
// two columns, and a value with a TAB in it.
class GridLoaderFieldsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString path = dir_.file("host.db");
        connection_.setConnectionString("Provider=SQLite;Data Source=" + path +
                                        ";Mode=ReadWriteCreate");
        connection_.open();
        connection_.execute(
            "create table tblFindInfoEntry (ftypeid integer, fentryid integer, fFieldname "
            "varchar(50), fTitleName varchar(50), fAlign varchar(10), fDataFormat varchar(50), "
            "fIsMerge integer, fIsSum integer)");
        connection_.execute(
            "create table vGSaleFP (finterid integer, fentryid integer, fbillno varchar(20), "
            "forderid integer, fcustomerIdNumber varchar(30), fstatus integer, fitem "
            "varchar(50), fqty double precision, fnote varchar(50))");
        shared().DBConnectionString = "Provider=SQLite;Data Source=" + path;
    }

    void configure(int entryId, const QString& field, int merge, int sum) {
        connection_.execute("insert into tblFindInfoEntry values (100, ?, ?, ?, '7', '', ?, ?)",
                            {entryId, field, field + QString::number(entryId), merge, sum});
    }
    void addLine(int interId, int entryId, const QVariant& item, const QVariant& qty,
                 const QVariant& note) {
        connection_.execute(
            "insert into vGSaleFP values (?, ?, ?, ?, 'C', 1, ?, ?, ?)",
            {interId, entryId, QString("FP%1").arg(interId), entryId, item, qty, note});
    }

    test::TempDir dir_;
    data::Connection connection_;
    test::RecordingMessages messages_;
};

TEST_F(GridLoaderFieldsTest, ColumnsThatShowOneFieldEachGetItsText) {
    configure(1, "fitem", 1, 0);  // grid column 3, merged
    configure(2, "fqty", 0, 1);   // grid column 4, totalled
    configure(3, "fitem", 0, 0);  // grid column 5: the merged field again, on every line
    configure(4, "fqty", 0, 1);   // grid column 6, totalled
    configure(5, "fnote", 0, 0);  // grid column 7
    configure(6, "fqty", 0, 0);   // grid column 8
    addLine(7, 1, "螺丝", 1.5, "a");
    addLine(7, 2, "螺母", -0.25, QVariant());
    addLine(8, 1, QVariant(), 2.0, "x\ty");
    addLine(8, 2, "垫片", 0.1, "z");
    connection_.close();

    FlexGrid grid("vsf1");
    ASSERT_TRUE(loadDocumentGrid(grid, invoiceGridSource(), "7,8"));
    EXPECT_TRUE(messages_.messages.isEmpty());
    ASSERT_EQ(grid.RowCount(), 6);
    ASSERT_EQ(grid.ColCount(), 9);
    EXPECT_EQ(cells(grid, 1),
              QStringList({"7", "1", "FP7", "螺丝", "1.5", "螺丝", "1.5", "a", "1.5"}));
    EXPECT_EQ(cells(grid, 2),
              QStringList({"7", "2", "FP7", "", "-0.25", "螺母", "-0.25", "", "-0.25"}));
    EXPECT_EQ(cells(grid, 3), QStringList({"8", "1", "FP8", "", "2", "", "2", "x y", "2"}))
        << "the TAB in the note stays in its cell, as a space";
    EXPECT_EQ(cells(grid, 4), QStringList({"8", "2", "FP8", "", "0.1", "垫片", "0.1", "z", "0.1"}));
    EXPECT_EQ(grid.cellText(5, 3), QStringLiteral("合计"));
    EXPECT_EQ(grid.cellText(5, 4), QStringLiteral("3.35"));
    EXPECT_EQ(grid.cellText(5, 6), QStringLiteral("3.35"));
    EXPECT_EQ(grid.cellText(5, 8), QString()) << "not totalled";
}

// The totals of several columns; a text that is no number fails column after column: the columns
// before it totalled, its own column up to the line before it, the columns after it untouched.
TEST_F(GridLoaderFieldsTest, ATextInATotalledColumnStopsTheTotalsWhereItStands) {
    configure(1, "fitem", 0, 0);  // grid column 3, the label's column
    configure(2, "fqty", 0, 1);   // grid column 4
    configure(3, "fnote", 0, 1);  // grid column 5, a text column totalled
    configure(4, "fqty", 0, 1);   // grid column 6
    addLine(7, 1, "a", 1.5, " 1 ");
    addLine(7, 2, "b", -0.25, "");
    addLine(7, 3, "c", 2.0, "2");
    addLine(7, 4, "d", 0.1, "x");
    addLine(7, 5, "e", 4.0, "8");
    connection_.close();

    FlexGrid grid("vsf1");
    EXPECT_FALSE(loadDocumentGrid(grid, invoiceGridSource(), "7"));
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].text.contains(QStringLiteral("类型不匹配")));
    ASSERT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(grid.cellText(6, 4), QStringLiteral("7.35"));
    EXPECT_EQ(grid.cellText(6, 5), QStringLiteral("3")) << "the lines before the text";
    EXPECT_EQ(grid.cellText(6, 6), QString()) << "not reached";

    connection_.open();
    connection_.execute("update vGSaleFP set fnote = '4' where fentryid = 4");
    connection_.close();
    messages_.messages.clear();
    ASSERT_TRUE(loadDocumentGrid(grid, invoiceGridSource(), "7"));
    EXPECT_TRUE(messages_.messages.isEmpty());
    EXPECT_EQ(cells(grid, 6).mid(3), QStringList({"合计", "7.35", "15", "7.35"}));
}

// The totals equal the sums of the cells' numbers in row order, whatever the numbers:
// long fractions, very large and very small ones, signs, numbers held as text, and a merged
// column whose later lines are blank.
TEST_F(GridLoaderFieldsTest, TotalsAreTheSumsOfTheCellsAsShown) {
    configure(1, "fitem", 1, 0);  // grid column 3, merged: the label's column
    configure(2, "fqty", 1, 1);   // grid column 4, merged and totalled
    configure(3, "fnote", 0, 1);  // grid column 5: numbers as text
    configure(4, "fqty", 0, 1);   // grid column 6
    const QList<double> kinds = {0.1, 1.0 / 3, 1e16 + 2, 1e-9, -2.675, 123456.785, -0.0, 7e22};
    connection_.execute("begin");
    for (int line = 0; line < 240; ++line) {
        const double qty = kinds[line % kinds.size()] * (line % 7 + 1) / (line % 3 + 1);
        addLine(100 + line / 3, line % 3 + 1, "i", qty, QString::number(line * 0.37, 'f', 2));
    }
    connection_.execute("commit");
    connection_.close();

    FlexGrid grid("vsf1");
    QStringList ids;
    for (int id = 100; id < 180; ++id) ids << QString::number(id);
    ASSERT_TRUE(loadDocumentGrid(grid, invoiceGridSource(), ids.join(',')));
    EXPECT_TRUE(messages_.messages.isEmpty());
    const int totalsRow = grid.RowCount() - 1;
    ASSERT_EQ(totalsRow, 241);
    const QLocale locale;
    for (int column : {4, 5, 6}) {
        // A cell stands for the number behind its text where the text shows fewer digits.
        double sum = 0;
        for (int row = 1; row < totalsRow; ++row) {
            const QString text = grid.cellText(row, column).trimmed();
            bool ok = text.isEmpty();  // a blank cell counts 0
            const double read = ok ? 0.0 : locale.toDouble(text, &ok);
            sum = grid.cellNumberBehind(row, column).value_or(read) + sum;
            ASSERT_TRUE(ok) << "row " << row << ": " << text.toStdString();
        }
        bool ok = false;
        const double total = locale.toDouble(grid.cellText(totalsRow, column), &ok);
        EXPECT_EQ(grid.cellNumberBehind(totalsRow, column).value_or(total), sum) << column;
        EXPECT_TRUE(ok);
    }
    EXPECT_EQ(grid.cellText(2, 4), QString()) << "a merged cell below a document's first line";
}

// The totals as the loop over the loaded rows makes them: for each totalled column, each line's
// cell read and added to the totals cell read back, which holds the number it was set to. Returns
// the description of the error that stops it.
std::optional<QString> totalsByTheLoopOverTheRows(FlexGrid& grid, const std::vector<int>& columns) {
    const LocaleNumbers numbers;
    const auto number = [&](int row, int col) {
        if (const std::optional<double> behind = grid.cellNumberBehind(row, col)) return *behind;
        const QString text = grid.cellText(row, col);
        qsizetype from = 0, to = text.size();
        while (from < to && text[from] == u' ') ++from;
        while (to > from && text[to - 1] == u' ') --to;
        return from == to ? 0.0 : numbers.toDouble(QStringView(text).mid(from, to - from), "合计");
    };
    const int totalsRow = grid.RowCount() - 1;
    try {
        for (int col : columns)
            for (int row = 1; row < totalsRow; ++row) {
                const double cell = number(row, col);
                const double sum = cell + number(totalsRow, col);
                if (!std::isfinite(sum)) raiseOverflow("合计");
                grid.setCellProperty(FlexGrid::kSelectorText, totalsRow, col, sum);
            }
    } catch (const ComponentError& error) {
        return error.description();
    }
    return std::nullopt;
}

struct TotalsRow {
    QStringList texts;
    QList<std::optional<double>> numbersBehind;
    bool operator==(const TotalsRow&) const = default;
};

TotalsRow totalsRowOf(const FlexGrid& grid) {
    TotalsRow row;
    for (int c = 0; c < grid.ColCount(); ++c) {
        row.texts << grid.cellText(grid.RowCount() - 1, c);
        row.numbersBehind << grid.cellNumberBehind(grid.RowCount() - 1, c);
    }
    return row;
}

// The loader sums as it adds the lines; on the same grids, the loop over the loaded rows gives the
// same totals row, texts and numbers behind them, and stops with the same error at the same cell.
TEST_F(GridLoaderFieldsTest, RunningTotalsAreWhatTheLoopOverTheRowsMakes) {
    struct LineValues {
        QVariant item, qty, note;
    };
    struct Case {
        const char* name;
        QList<int> summed;  // of fitem (grid column 3), fqty (4, merged), fnote (5), fqty (6)
        QList<LineValues> lines;
    };
    const double third = 1.0 / 3;
    const QList<Case> cases = {
        {"numbers, blanks and spaces",
         {0, 1, 1, 1},
         {{"a", 0.1, " 2 "}, {"b", third, ""}, {"c", -0.0, QVariant()}, {"d", 1e16 + 2, "1.5"}}},
        {"a text at the first line", {0, 1, 1, 1}, {{"a", 1.5, "x"}, {"b", 2.0, "1"}}},
        {"a text at a later line",
         {0, 1, 1, 1},
         {{"a", 1.5, "1"}, {"b", 2.0, "2"}, {"c", 4.0, "y"}, {"d", 8.0, "3"}}},
        {"the label's column, numbers in it", {1, 1, 0, 0}, {{"1", 1.0, ""}, {"2", 2.0, ""}}},
        {"the label's column, a text in it", {1, 0, 0, 1}, {{"a", 1.0, ""}, {"2", 2.0, ""}}},
        {"a sum past the largest double",
         {0, 0, 1, 1},
         {{"a", 1e308, "1"}, {"b", 1e308, "1"}, {"c", 1.0, "1"}}},
        {"a text too large for a double", {0, 1, 1, 0}, {{"a", 1.0, "2"}, {"b", 1.0, "1e999"}}},
        {"control characters in number texts",
         {0, 0, 1, 1},
         {{"a", 1.0, "\t1"},
          {"b", 2.0, "4\n"},
          {"c", 3.0,
           "1\x01"
           "2"}}},
    };
    connection_.close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection_.open();
        connection_.execute("delete from tblFindInfoEntry");
        connection_.execute("delete from vGSaleFP");
        configure(1, "fitem", 0, c.summed[0]);
        configure(2, "fqty", 1, c.summed[1]);
        configure(3, "fnote", 0, c.summed[2]);
        configure(4, "fqty", 0, c.summed[3]);
        for (int i = 0; i < c.lines.size(); ++i)
            addLine(7 + i / 2, i % 2 + 1, c.lines[i].item, c.lines[i].qty, c.lines[i].note);
        connection_.close();

        FlexGrid grid("vsf1");
        messages_.messages.clear();
        const bool loaded = loadDocumentGrid(grid, invoiceGridSource(), "7,8,9,10");
        const TotalsRow running = totalsRowOf(grid);

        std::vector<int> columns;
        for (int i = 0; i < 4; ++i)
            if (c.summed[i]) columns.push_back(3 + i);
        for (int col : columns)
            grid.setCellProperty(FlexGrid::kSelectorText, grid.RowCount() - 1, col,
                                 col == 3 ? QStringLiteral("合计") : QString());
        const std::optional<QString> error = totalsByTheLoopOverTheRows(grid, columns);
        EXPECT_EQ(totalsRowOf(grid), running);
        EXPECT_EQ(loaded, !error.has_value());
        ASSERT_EQ(messages_.messages.size(), error ? 1 : 0);
        if (error) {
            EXPECT_EQ(messages_.messages[0].text, *error);
        }
    }
}

}  // namespace
}  // namespace xhook
