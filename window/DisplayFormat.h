#pragma once

#include <QDateTime>
#include <QString>
#include <memory>

#include "window/FormatCode.h"

namespace xhook {

// The display format of a grid column, as a host's column configuration writes it in the classic
// format language (see FormatParser), applied to the text of a cell. The format text is read
// once, when the format is made; applying it reads only the cell.
//
// A number format reads the cell as a number in the user's locale and picks its section: the
// second for a negative number, the third for zero, where the format has them, else the first.
// A date format reads the cell as yyyy-MM-dd, yyyy-MM-dd hh:mm:ss (a blank or a T between), a
// time of day hh:mm:ss or hh:mm, or a number in the user's locale as a date serial (45000 is
// 15 March 2023, 0.5 noon; see dateOfSerial). A text format takes every cell's text as it stands. A
// cell that does not read as the format's kind of value is shown as it stands, and so is every cell
// under a format text outside the language. An empty cell stays empty: in the grid an empty cell is
// also a merged column's further line and the totals row's untotalled cell, not only a NULL.
class DisplayFormat {
  public:
    DisplayFormat() = default;  // no format: every cell as it stands
    explicit DisplayFormat(const QString& formatText);

    // False for an empty text and for a text outside the language.
    bool isActive() const { return code_ != nullptr; }
    QString apply(const QString& cellText) const;

  private:
    QString applyToNumber(double value) const;
    QString applyToDate(const QDateTime& value) const;
    QString applyToText(const QString& text) const;

    std::shared_ptr<const FormatCode> code_;
};

}  // namespace xhook
