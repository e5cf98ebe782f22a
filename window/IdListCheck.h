#pragma once

#include <QString>

namespace xhook {

// What a check of an id list found. An id list is decimal internal document ids separated by ","
// with nothing else between them: every item one or more ASCII digits, no signs, blanks or other
// digits. The empty text is the empty list.
struct IdListCheck {
    bool ok;
    QString normalized;  // the list as it would be used: the items joined by ","
    QString offending;   // the first item that is no id, when !ok
};

// With `skipEmptyItems`, empty items (",,", a leading or trailing ",") are dropped from the
// normalized list instead of making it fail.
IdListCheck checkIdList(const QString& text, bool skipEmptyItems);

// The list itself when it is a strict id list; otherwise raises RuntimeError (invalid procedure
// call or argument) naming `what`, the text and the first offending item.
QString requireIdList(const QString& text, const QString& what);

}  // namespace xhook
