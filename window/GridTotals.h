#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

#include "foundation/Conversions.h"

namespace xhook {

class FlexGrid;

// The sums of a grid's totalled columns, made line by line as the lines are added. A total is what
// reading its totals cell back and adding each line's cell to it, column by column, makes: the
// same sums in the same order, the same error at the same cell, and the same partial sums in the
// totals row where that error stops it (its own column up to the line before, the columns before
// it complete, those after it untouched).
class RunningTotals {
  public:
    // `columns`: the totalled grid columns in increasing order; `startTexts`: the text of each
    // one's totals cell before the first line.
    RunningTotals(std::vector<int> columns, const std::vector<QString>& startTexts);

    const std::vector<int>& columns() const { return columns_; }
    // The cell of the `i`th totalled column on the current line, from the value's text: `written`
    // is the number the text was written from, where it was (see ValueText::writtenNumber).
    void add(size_t i, std::optional<double> written, QStringView valueText);
    void nextLine() { ++line_; }

    // Writes the totals into row `totalsRow` of `grid`, then raises the first failure, if any.
    void writeTo(FlexGrid& grid, int totalsRow) const;

  private:
    struct Failure {
        qint64 line;    // the line that failed, from 0
        bool overflow;  // the sum passed the largest double; else `text` held no number
        QString text;
    };
    struct Column {
        double sum = 0;
        std::optional<QString> startWithoutNumber;  // a totals cell that holds no number
        std::optional<Failure> failure;
    };
    [[noreturn]] void raise(const Column& column) const;

    const LocaleNumbers numbers_;
    std::vector<int> columns_;
    std::vector<Column> totals_;
    qint64 line_ = 0;
};

}  // namespace xhook
