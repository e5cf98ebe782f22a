#include "foundation/VisibleText.h"

#include <algorithm>

namespace xhook {

namespace {

bool invisible(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

QString escapeOf(char32_t c) {
    switch (c) {
        case 0:
            return QStringLiteral("\\0");
        case '\t':
            return QStringLiteral("\\t");
        case '\n':
            return QStringLiteral("\\n");
        case '\r':
            return QStringLiteral("\\r");
        default:
            return QStringLiteral("\\u{%1}").arg(
                QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
    }
}

// The code point at `i` and how many UTF-16 units it takes; a lone surrogate stands for itself.
char32_t codePointAt(const QString& text, qsizetype i, qsizetype& width) {
    width = 1;
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        width = 2;
        return QChar::surrogateToUcs4(text[i], text[i + 1]);
    }
    return text[i].unicode();
}

}  // namespace

QString visibleText(const QString& text) {
    const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.isSurrogate() || invisible(c.unicode());
    });
    if (plain) return text;
    QString shown;
    shown.reserve(text.size() + 8);
    qsizetype width = 1;
    for (qsizetype i = 0; i < text.size(); i += width) {
        const char32_t c = codePointAt(text, i, width);
        if (invisible(c))
            shown += escapeOf(c);
        else
            shown += QStringView(text).mid(i, width);
    }
    return shown;
}

}  // namespace xhook
