#pragma once

#include <QString>

namespace xhook {

// A text as a message shows it: every control character, and every invisible character that
// reorders or hides the text around it (a right-to-left override, a zero-width space, a
// byte-order mark, a line separator), written as an escape: \0, \t, \n, \r, or \u{XXXX} with
// the character's code point. A NUL can then no longer cut the message short where it passes
// through a C string, and what the message shows is what the text holds.
QString visibleText(const QString& text);

}  // namespace xhook
