#include "window/FormatParser.h"

#include <QString>
#include <algorithm>

namespace xhook {

namespace {

constexpr int kMostSections = 4;

// An element as the text spells it, before its section's kind gives it its meaning: a comma means
// grouping or scaling in a number, itself elsewhere.
struct Lexeme {
    FormatElement element;
    bool comma = false;
};

struct LexedSection {
    std::vector<Lexeme> lexemes;
    bool hasNumber = false, hasDate = false, hasText = false;
    bool lowercase = false, uppercase = false, fillFromLeft = false;
};

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigitToken(FormatToken token) {
    return token == FormatToken::DigitZero || token == FormatToken::DigitHash;
}

bool isDateToken(FormatToken token) {
    return token >= FormatToken::Year && token <= FormatToken::AmPm;
}

FormatElement literal(QString text) {
    FormatElement element;
    element.text = std::move(text);
    return element;
}

FormatElement field(FormatToken token, int width) {
    FormatElement element;
    element.token = token;
    element.width = width;
    return element;
}

qsizetype letterRun(QStringView text, qsizetype from) {
    qsizetype end = from;
    while (end < text.size() && text[end].toLower() == text[from].toLower()) ++end;
    return end - from;
}

// The date or time field that a run of one letter spells.
std::optional<FormatElement> dateField(QChar letter, int count) {
    using T = FormatToken;
    switch (letter.toLower().unicode()) {
        case u'y':
            if (count == 1) return field(T::DayOfYear, 1);
            if (count == 2 || count == 4) return field(T::Year, count);
            return std::nullopt;
        case u'm':
            if (count <= 2) return field(T::Month, count);
            if (count <= 4) return field(T::MonthName, count);
            return std::nullopt;
        case u'o':
            return count == 4 ? std::optional(field(T::MonthName, 4)) : std::nullopt;
        case u'd':
            if (count <= 2) return field(T::Day, count);
            if (count <= 4) return field(T::DayName, count);
            if (count == 5) return field(T::ShortDate, 5);
            if (count == 6) return field(T::LongDate, 6);
            return std::nullopt;
        case u'a':
            return count == 4 ? std::optional(field(T::DayName, 4)) : std::nullopt;
        case u'w':
            if (count == 1) return field(T::Weekday, 1);
            if (count == 2) return field(T::WeekOfYear, 2);
            return std::nullopt;
        case u'q':
            return count == 1 ? std::optional(field(T::Quarter, 1)) : std::nullopt;
        case u'h':
            return count <= 2 ? std::optional(field(T::Hour, count)) : std::nullopt;
        case u'n':
            return count <= 2 ? std::optional(field(T::Minute, count)) : std::nullopt;
        case u's':
            return count <= 2 ? std::optional(field(T::Second, count)) : std::nullopt;
        case u't':
            return count == 5 ? std::optional(field(T::LongTime, 5)) : std::nullopt;
        case u'c':
            return count == 1 ? std::optional(field(T::GeneralDate, 1)) : std::nullopt;
        default:
            return std::nullopt;
    }
}

// AM/PM, am/pm, A/P, a/p (shown as written) and AMPM (the locale's texts), at `from`.
std::optional<FormatElement> amPmField(QStringView text, qsizetype from, qsizetype& length) {
    const QStringView rest = text.mid(from);
    FormatElement element = field(FormatToken::AmPm, 0);
    if (rest.startsWith(u"am/pm", Qt::CaseInsensitive)) {
        element.text = rest.left(2).toString();
        element.text2 = rest.mid(3, 2).toString();
        length = 5;
    } else if (rest.startsWith(u"ampm", Qt::CaseInsensitive)) {
        length = 4;
    } else if (rest.startsWith(u"a/p", Qt::CaseInsensitive)) {
        element.text = rest.left(1).toString();
        element.text2 = rest.mid(2, 1).toString();
        length = 3;
    } else {
        return std::nullopt;
    }
    return element;
}

// Reads one letter at `i`: an exponent, an AM/PM element or a date field. False for a letter
// outside the language.
bool lexLetter(QStringView text, qsizetype& i, LexedSection& section) {
    const QChar c = text[i];
    if ((c == u'E' || c == u'e') && i + 1 < text.size() &&
        (text[i + 1] == u'+' || text[i + 1] == u'-')) {
        FormatElement exponent = field(FormatToken::Exponent, 0);
        exponent.text = QString(c);
        exponent.plusSign = text[i + 1] == u'+';
        section.lexemes.push_back({exponent});
        section.hasNumber = true;
        i += 2;
        return true;
    }
    qsizetype length = 0;
    std::optional<FormatElement> element = amPmField(text, i, length);
    if (!element) {
        length = letterRun(text, i);
        element = dateField(c, int(length));
    }
    if (!element) return false;
    section.lexemes.push_back({*element});
    section.hasDate = true;
    i += length;
    return true;
}

// Reads the element at `i` that is no letter. False for an unclosed quote or a `\` at the end.
bool lexSymbol(QStringView text, qsizetype& i, LexedSection& section) {
    const QChar c = text[i];
    auto token = [&](FormatToken t) {
        section.lexemes.push_back({field(t, 0)});
        ++i;
    };
    switch (c.unicode()) {
        case u'"': {
            const qsizetype close = text.indexOf(u'"', i + 1);
            if (close < 0) return false;
            section.lexemes.push_back({literal(text.mid(i + 1, close - i - 1).toString())});
            i = close + 1;
            return true;
        }
        case u'\\':
            if (i + 1 == text.size()) return false;
            section.lexemes.push_back({literal(QString(text[i + 1]))});
            i += 2;
            return true;
        case u'0':
            section.hasNumber = true;
            token(FormatToken::DigitZero);
            return true;
        case u'#':
            section.hasNumber = true;
            token(FormatToken::DigitHash);
            return true;
        case u'.':
            token(FormatToken::DecimalPoint);
            return true;
        case u'%':
            token(FormatToken::Percent);
            return true;
        case u',':
            section.lexemes.push_back({literal(QStringLiteral(",")), true});
            ++i;
            return true;
        case u'/':
            token(FormatToken::DateSeparator);
            return true;
        case u':':
            token(FormatToken::TimeSeparator);
            return true;
        case u'@':
            section.hasText = true;
            token(FormatToken::CharRequired);
            return true;
        case u'&':
            section.hasText = true;
            token(FormatToken::CharOptional);
            return true;
        case u'<':
        case u'>':
        case u'!':
            section.hasText = true;
            (c == u'<'   ? section.lowercase
             : c == u'>' ? section.uppercase
                         : section.fillFromLeft) = true;
            ++i;
            return true;
        default:
            section.lexemes.push_back({literal(QString(c))});
            ++i;
            return true;
    }
}

// The section for a null value shows its text only: letters and symbols stand for themselves.
bool lexNullText(QStringView text, qsizetype& i, LexedSection& section) {
    if (text[i] == u'"' || text[i] == u'\\') return lexSymbol(text, i, section);
    section.lexemes.push_back({literal(QString(text[i]))});
    ++i;
    return true;
}

// The sections of a format text, split at the `;` outside quotes.
std::optional<std::vector<LexedSection>> lexSections(QStringView text) {
    std::vector<LexedSection> sections(1);
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u';') {
            if (int(sections.size()) == kMostSections) return std::nullopt;
            sections.emplace_back();
            ++i;
            continue;
        }
        LexedSection& section = sections.back();
        const bool read = int(sections.size()) == kMostSections ? lexNullText(text, i, section)
                          : isAsciiLetter(text[i])              ? lexLetter(text, i, section)
                                                                : lexSymbol(text, i, section);
        if (!read) return std::nullopt;
    }
    return sections;
}

// The section's elements, every comma and symbol taken as the text it is.
std::vector<FormatElement> asLiterals(const LexedSection& lexed) {
    static const QString kSymbols[] = {
        {}, QStringLiteral("0"), QStringLiteral("#"), QStringLiteral("."), QStringLiteral("%")};
    std::vector<FormatElement> elements;
    for (const Lexeme& lexeme : lexed.lexemes) {
        const FormatToken token = lexeme.element.token;
        if (token >= FormatToken::DigitZero && token <= FormatToken::Percent)
            elements.push_back(literal(kSymbols[int(token)]));
        else if (token == FormatToken::Exponent)
            elements.push_back(
                literal(lexeme.element.text + (lexeme.element.plusSign ? u'+' : u'-')));
        else
            elements.push_back(lexeme.element);
    }
    return elements;
}

// A month next to a time field means minutes: after an hour, or before a second.
void resolveMinutes(std::vector<FormatElement>& elements) {
    FormatToken previousField = FormatToken::Literal;
    for (size_t i = 0; i < elements.size(); ++i) {
        FormatElement& element = elements[i];
        if (!isDateToken(element.token)) continue;
        if (element.token == FormatToken::Month) {
            FormatToken nextField = FormatToken::Literal;
            for (size_t j = i + 1; j < elements.size() && !isDateToken(nextField); ++j)
                nextField = elements[j].token;
            if (previousField == FormatToken::Hour || nextField == FormatToken::Second)
                element.token = FormatToken::Minute;
        }
        previousField = element.token;
    }
}

FormatSection dateSection(const LexedSection& lexed) {
    FormatSection section;
    section.elements = asLiterals(lexed);
    resolveMinutes(section.elements);
    section.twelveHours =
        std::any_of(section.elements.begin(), section.elements.end(),
                    [](const FormatElement& e) { return e.token == FormatToken::AmPm; });
    return section;
}

FormatSection textSection(const LexedSection& lexed) {
    FormatSection section;
    section.elements = asLiterals(lexed);
    section.lowercase = lexed.lowercase;
    section.uppercase = lexed.uppercase && !lexed.lowercase;
    section.fillFromLeft = lexed.fillFromLeft;
    return section;
}

// The parts of a number section: the integer part, the decimals after the point and the
// exponent's digits after E.
enum class NumberPart { Integer, Decimals, Exponent };

bool isIntegerPlaceholderAhead(const std::vector<Lexeme>& lexemes, size_t from) {
    for (size_t i = from; i < lexemes.size(); ++i) {
        const FormatToken token = lexemes[i].element.token;
        if (token == FormatToken::DecimalPoint || token == FormatToken::Exponent) return false;
        if (isDigitToken(token) && !lexemes[i].comma) return true;
    }
    return false;
}

// A run of commas in the integer part: grouping between placeholders, scaling after the last.
void readCommas(const std::vector<Lexeme>& lexemes, size_t& i, NumberLayout& layout) {
    const size_t first = i;
    while (i < lexemes.size() && lexemes[i].comma) ++i;
    if (isIntegerPlaceholderAhead(lexemes, i))
        layout.grouping = true;
    else if (first > 0)
        layout.scaling += int(i - first);
}

// Numbers the placeholders of each part with their places, right to left in the integer part
// and in the exponent, left to right (-1, -2, ...) after the point.
void placeDigits(std::vector<FormatElement>& elements, NumberLayout& layout) {
    int integer = layout.integerPlaceholders, decimal = 0, exponent = layout.exponentPlaceholders;
    NumberPart part = NumberPart::Integer;
    for (FormatElement& element : elements) {
        if (element.token == FormatToken::DecimalPoint) part = NumberPart::Decimals;
        if (element.token == FormatToken::Exponent) part = NumberPart::Exponent;
        if (!isDigitToken(element.token)) continue;
        if (part == NumberPart::Integer) element.width = --integer;
        if (part == NumberPart::Decimals) element.width = -(++decimal);
        if (part == NumberPart::Exponent) element.width = --exponent;
    }
}

std::optional<FormatSection> numberSection(const LexedSection& lexed) {
    FormatSection section;
    NumberLayout& layout = section.number;
    NumberPart part = NumberPart::Integer;
    const std::vector<Lexeme>& lexemes = lexed.lexemes;
    for (size_t i = 0; i < lexemes.size();) {
        if (lexemes[i].comma) {
            if (part == NumberPart::Integer)
                readCommas(lexemes, i, layout);
            else
                ++i;
            continue;
        }
        const FormatElement& element = lexemes[i++].element;
        switch (element.token) {
            case FormatToken::DecimalPoint:
                if (part != NumberPart::Integer) return std::nullopt;
                part = NumberPart::Decimals;
                break;
            case FormatToken::Exponent:
                if (part == NumberPart::Exponent) return std::nullopt;
                part = NumberPart::Exponent;
                layout.scientific = true;
                break;
            case FormatToken::Percent:
                ++layout.percents;
                break;
            case FormatToken::DigitZero:
            case FormatToken::DigitHash:
                if (part == NumberPart::Integer) ++layout.integerPlaceholders;
                if (part == NumberPart::Decimals) {
                    ++layout.decimalPlaceholders;
                    if (element.token == FormatToken::DigitZero)
                        layout.decimalZeros = layout.decimalPlaceholders;
                }
                if (part == NumberPart::Exponent) ++layout.exponentPlaceholders;
                break;
            default:
                break;
        }
        section.elements.push_back(element);
    }
    if (layout.scientific && layout.exponentPlaceholders == 0) return std::nullopt;
    placeDigits(section.elements, layout);
    return section;
}

// The kind of a format: texts where a section has text placeholders, dates where one has date
// fields, numbers otherwise. None where sections mix them.
std::optional<SectionKind> formatKind(const std::vector<LexedSection>& sections) {
    bool number = false, date = false, text = false;
    for (const LexedSection& s : sections) {
        if (s.hasDate && (s.hasNumber || s.hasText)) return std::nullopt;
        number |= s.hasNumber && !s.hasText;
        date |= s.hasDate;
        text |= s.hasText;
    }
    if (int(number) + int(date) + int(text) > 1) return std::nullopt;
    return text ? SectionKind::Text : date ? SectionKind::DateTime : SectionKind::Number;
}

std::optional<FormatSection> section(const LexedSection& lexed, SectionKind kind) {
    std::optional<FormatSection> result;
    switch (kind) {
        case SectionKind::Number:
            result = numberSection(lexed);
            break;
        case SectionKind::DateTime:
            result = dateSection(lexed);
            break;
        case SectionKind::Text:
            result = textSection(lexed);
            break;
    }
    if (result) result->empty = lexed.lexemes.empty() && !lexed.hasText;
    return result;
}

std::optional<FormatCode> parseSections(QStringView text) {
    const std::optional<std::vector<LexedSection>> lexed = lexSections(text);
    if (!lexed) return std::nullopt;
    const std::optional<SectionKind> kind = formatKind(*lexed);
    if (!kind) return std::nullopt;
    FormatCode code;
    code.kind = *kind;
    for (const LexedSection& lexedSection : *lexed) {
        std::optional<FormatSection> parsed = section(lexedSection, *kind);
        if (!parsed) return std::nullopt;
        code.sections.push_back(std::move(*parsed));
    }
    if (code.sections.front().empty) return std::nullopt;
    return code;
}

FormatCode namedCode(NamedFormat named, SectionKind kind) {
    FormatCode code;
    code.kind = kind;
    code.named = named;
    return code;
}

// The named formats, as their own code or as the pattern that they stand for.
std::optional<FormatCode> parseNamed(QStringView text) {
    struct Name {
        const char16_t* name;
        NamedFormat named;
        SectionKind kind;
        const char16_t* pattern;
    };
    static const Name kNames[] = {
        {u"general number", NamedFormat::GeneralNumber, SectionKind::Number, nullptr},
        {u"currency", NamedFormat::Currency, SectionKind::Number, nullptr},
        {u"fixed", NamedFormat::None, SectionKind::Number, u"0.00"},
        {u"standard", NamedFormat::None, SectionKind::Number, u"#,##0.00"},
        {u"percent", NamedFormat::None, SectionKind::Number, u"0.00%"},
        {u"scientific", NamedFormat::None, SectionKind::Number, u"0.00E+00"},
        {u"yes/no", NamedFormat::YesNo, SectionKind::Number, nullptr},
        {u"true/false", NamedFormat::TrueFalse, SectionKind::Number, nullptr},
        {u"on/off", NamedFormat::OnOff, SectionKind::Number, nullptr},
        {u"general date", NamedFormat::GeneralDate, SectionKind::DateTime, nullptr},
        {u"long date", NamedFormat::LongDate, SectionKind::DateTime, nullptr},
        {u"medium date", NamedFormat::None, SectionKind::DateTime, u"dd-mmm-yy"},
        {u"short date", NamedFormat::ShortDate, SectionKind::DateTime, nullptr},
        {u"long time", NamedFormat::None, SectionKind::DateTime, u"hh:nn:ss"},
        {u"medium time", NamedFormat::None, SectionKind::DateTime, u"hh:nn AM/PM"},
        {u"short time", NamedFormat::None, SectionKind::DateTime, u"hh:nn"},
    };
    const QStringView trimmed = text.trimmed();
    for (const Name& name : kNames) {
        if (trimmed.compare(QStringView(name.name), Qt::CaseInsensitive) != 0) continue;
        if (name.pattern) return parseSections(QStringView(name.pattern));
        return namedCode(name.named, name.kind);
    }
    return std::nullopt;
}

}  // namespace

std::optional<FormatCode> parseFormat(QStringView text) {
    if (text.isEmpty()) return std::nullopt;
    if (std::optional<FormatCode> named = parseNamed(text)) return named;
    return parseSections(text);
}

}  // namespace xhook
