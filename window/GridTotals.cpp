#include "window/GridTotals.h"

#include <cmath>

#include "foundation/Errors.h"
#include "window/FlexGrid.h"
#include "window/GridRowText.h"

namespace xhook {

namespace {

const QString kTotals = QStringLiteral("合计");

QStringView withoutBlanks(QStringView text) {
    while (text.startsWith(u' ')) text = text.mid(1);
    while (text.endsWith(u' ')) text.chop(1);
    return text;
}

// number(t) of the totals: blanks removed, empty is 0, else a number in the user's locale; a text
// that holds none raises (a type mismatch, or an overflow for a number too large).
double totalsCellNumber(QStringView text, const LocaleNumbers& numbers) {
    text = withoutBlanks(text);
    return text.isEmpty() ? 0.0 : numbers.toDouble(text, kTotals);
}

// The same number as totalsCellNumber, or none where that raises.
std::optional<double> cellNumberIfAny(QStringView text, const LocaleNumbers& numbers) {
    text = withoutBlanks(text);
    if (text.isEmpty()) return 0.0;
    const std::optional<double> number = numbers.read(text);
    if (!number || !std::isfinite(*number)) return std::nullopt;
    return number;
}

}  // namespace

RunningTotals::RunningTotals(std::vector<int> columns, const std::vector<QString>& startTexts)
    : columns_(std::move(columns)), totals_(columns_.size()) {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (const std::optional<double> start = cellNumberIfAny(startTexts[i], numbers_))
            totals_[i].sum = *start;
        else
            totals_[i].startWithoutNumber = startTexts[i];
    }
}

// A step reads the line's cell first, then the totals cell: a start that holds no number fails
// at the first line, unless that line's cell fails before it.
void RunningTotals::add(size_t i, std::optional<double> written, QStringView valueText) {
    Column& column = totals_[i];
    if (column.failure) return;
    const QString shown = written ? QString() : cellTextOf(valueText);
    const std::optional<double> number = written ? written : cellNumberIfAny(shown, numbers_);
    if (!number) {
        column.failure = Failure{line_, false, shown};
        return;
    }
    if (column.startWithoutNumber) {
        column.failure = Failure{line_, false, *column.startWithoutNumber};
        return;
    }
    const double next = *number + column.sum;
    if (!std::isfinite(next)) {
        column.failure = Failure{line_, true, QString()};
        return;
    }
    column.sum = next;
}

// The cell holds the sum of the lines before the failing one; when the first line fails, the
// cell was never written.
void RunningTotals::writeTo(FlexGrid& grid, int totalsRow) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
        const Column& column = totals_[i];
        if (!column.failure || column.failure->line > 0)
            grid.setCellProperty(FlexGrid::kSelectorText, totalsRow, columns_[i], column.sum);
        if (column.failure) raise(column);
    }
}

// The failing step again: a text that holds no number raises as its conversion does; otherwise the
// sum passed the largest double.
void RunningTotals::raise(const Column& column) const {
    const Failure& failure = *column.failure;
    if (!failure.overflow) totalsCellNumber(failure.text, numbers_);
    raiseOverflow(kTotals);
}

}  // namespace xhook
