#include "window/FormatParser.h"

#include <QString>
#include <algorithm>

namespace xhook {

namespace {

constexpr int kMostSections = 4;

// An element as the text spells it, before its section's kind gives it its meaning: a comma means
// grouping or scaling in a number, itself elsewhere; an element that means nothing in its
// section's kind shows the text it was read from.
struct Lexeme {
    FormatElement element;
    QString source;
    bool comma = false;
};

// A section's kind is that of its first digit placeholder or date field; text placeholders
// anywhere make it a text section.
struct LexedSection {
    std::vector<Lexeme> lexemes;
    std::optional<SectionKind> kind;
    bool hasText = false;
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

bool isTextPlaceholder(FormatToken token) {
    return token == FormatToken::CharRequired || token == FormatToken::CharOptional;
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

void addLexeme(LexedSection& section, FormatElement element, QStringView source) {
    if (!section.kind && isDigitToken(element.token)) section.kind = SectionKind::Number;
    if (!section.kind && isDateToken(element.token)) section.kind = SectionKind::DateTime;
    section.lexemes.push_back({std::move(element), source.toString()});
}

void addLiteral(LexedSection& section, QString text) {
    section.lexemes.push_back({literal(std::move(text)), {}, false});
}

qsizetype letterRun(QStringView text, qsizetype from) {
    qsizetype end = from;
    while (end < text.size() && text[end].toLower() == text[from].toLower()) ++end;
    return end - from;
}

// The date and time fields, longest first for each letter: a run of one letter is read as the
// longest field it begins with, and its rest as the fields that follow (yyy: yy and y).
struct FieldSpelling {
    char16_t letter;
    int length;
    FormatToken token;
};

constexpr FieldSpelling kFieldSpellings[] = {
    {u'y', 4, FormatToken::Year},      {u'y', 2, FormatToken::Year},
    {u'y', 1, FormatToken::DayOfYear}, {u'm', 4, FormatToken::MonthName},
    {u'm', 3, FormatToken::MonthName}, {u'm', 2, FormatToken::Month},
    {u'm', 1, FormatToken::Month},     {u'o', 4, FormatToken::MonthName},
    {u'd', 6, FormatToken::LongDate},  {u'd', 5, FormatToken::ShortDate},
    {u'd', 4, FormatToken::DayName},   {u'd', 3, FormatToken::DayName},
    {u'd', 2, FormatToken::Day},       {u'd', 1, FormatToken::Day},
    {u'a', 4, FormatToken::DayName},   {u'w', 2, FormatToken::WeekOfYear},
    {u'w', 1, FormatToken::Weekday},   {u'q', 1, FormatToken::Quarter},
    {u'h', 2, FormatToken::Hour},      {u'h', 1, FormatToken::Hour},
    {u'n', 2, FormatToken::Minute},    {u'n', 1, FormatToken::Minute},
    {u's', 2, FormatToken::Second},    {u's', 1, FormatToken::Second},
    {u't', 5, FormatToken::LongTime},  {u'c', 1, FormatToken::GeneralDate},
};

// The field that a run of `count` equal letters begins with; its width is its length. None for
// a letter that begins no field (such as `t` before five of them).
std::optional<FormatElement> dateField(QChar letter, qsizetype count) {
    const char16_t lower = letter.toLower().unicode();
    for (const FieldSpelling& spelling : kFieldSpellings)
        if (spelling.letter == lower && spelling.length <= count)
            return field(spelling.token, spelling.length);
    return std::nullopt;
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

// Reads the letters at `i`: an exponent, an AM/PM element, a date field, or a letter that spells
// none of them, which stands for itself.
void lexLetter(QStringView text, qsizetype& i, LexedSection& section) {
    const QChar c = text[i];
    if ((c == u'E' || c == u'e') && i + 1 < text.size() &&
        (text[i + 1] == u'+' || text[i + 1] == u'-')) {
        FormatElement exponent = field(FormatToken::Exponent, 0);
        exponent.text = QString(c);
        exponent.plusSign = text[i + 1] == u'+';
        addLexeme(section, std::move(exponent), text.mid(i, 2));
        i += 2;
        return;
    }
    qsizetype length = 0;
    std::optional<FormatElement> element = amPmField(text, i, length);
    if (!element) {
        element = dateField(c, letterRun(text, i));
        length = element ? element->width : 1;
    }
    addLexeme(section, element ? std::move(*element) : literal(QString(c)), text.mid(i, length));
    i += length;
}

// Reads the element at `i` that is no letter. False for an unclosed quote or a `\` at the end.
bool lexSymbol(QStringView text, qsizetype& i, LexedSection& section) {
    const QChar c = text[i];
    auto token = [&](FormatToken t) {
        addLexeme(section, field(t, 0), text.mid(i, 1));
        ++i;
    };
    switch (c.unicode()) {
        case u'"': {
            const qsizetype close = text.indexOf(u'"', i + 1);
            if (close < 0) return false;
            addLiteral(section, text.mid(i + 1, close - i - 1).toString());
            i = close + 1;
            return true;
        }
        case u'\\':
            if (i + 1 == text.size()) return false;
            addLiteral(section, QString(text[i + 1]));
            i += 2;
            return true;
        case u'0':
            token(FormatToken::DigitZero);
            return true;
        case u'#':
            token(FormatToken::DigitHash);
            return true;
        case u'.':
            token(FormatToken::DecimalPoint);
            return true;
        case u'%':
            token(FormatToken::Percent);
            return true;
        case u',':
            section.lexemes.push_back({literal(QStringLiteral(",")), {}, true});
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
            addLiteral(section, QString(c));
            ++i;
            return true;
    }
}

// The section for a null value shows its text only: letters and symbols stand for themselves.
bool lexNullText(QStringView text, qsizetype& i, LexedSection& section) {
    if (text[i] == u'"' || text[i] == u'\\') return lexSymbol(text, i, section);
    addLiteral(section, QString(text[i]));
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
        if (int(sections.size()) == kMostSections) {
            if (!lexNullText(text, i, section)) return std::nullopt;
        } else if (isAsciiLetter(text[i])) {
            lexLetter(text, i, section);
        } else if (!lexSymbol(text, i, section)) {
            return std::nullopt;
        }
    }
    return sections;
}

// The element of a lexeme in a section where it means what it says, else the text it was read
// from.
FormatElement elementIn(const Lexeme& lexeme, bool belongs) {
    if (belongs || lexeme.element.token == FormatToken::Literal) return lexeme.element;
    return literal(lexeme.source);
}

// The section's elements, those of tokens that `belongs` refuses taken as text.
template <typename Belongs>
std::vector<FormatElement> elementsOfKind(const LexedSection& lexed, Belongs belongs) {
    std::vector<FormatElement> elements;
    for (const Lexeme& lexeme : lexed.lexemes)
        elements.push_back(elementIn(lexeme, belongs(lexeme.element.token)));
    return elements;
}

// `m` and `mm` right after an hour (literals and separators between) are the minute; anywhere
// else, also before a second, the month.
void resolveMinutes(std::vector<FormatElement>& elements) {
    FormatToken previousField = FormatToken::Literal;
    for (FormatElement& element : elements) {
        if (!isDateToken(element.token)) continue;
        if (element.token == FormatToken::Month && previousField == FormatToken::Hour)
            element.token = FormatToken::Minute;
        previousField = element.token;
    }
}

FormatSection dateSection(const LexedSection& lexed) {
    FormatSection section;
    section.elements = elementsOfKind(lexed, [](FormatToken token) {
        return isDateToken(token) || token == FormatToken::DateSeparator ||
               token == FormatToken::TimeSeparator;
    });
    resolveMinutes(section.elements);
    section.twelveHours =
        std::any_of(section.elements.begin(), section.elements.end(),
                    [](const FormatElement& e) { return e.token == FormatToken::AmPm; });
    return section;
}

FormatSection textSection(const LexedSection& lexed) {
    FormatSection section;
    section.elements = elementsOfKind(lexed, isTextPlaceholder);
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
        const Lexeme& lexeme = lexemes[i++];
        const FormatElement& element = lexeme.element;
        if (isDateToken(element.token)) {
            section.elements.push_back(literal(lexeme.source));
            continue;
        }
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
    placeDigits(section.elements, layout);
    return section;
}

// The kind of a format: that of its sections, a section of literals only taking the others'
// kind, and numbers where no section has a kind. None where sections differ.
std::optional<SectionKind> formatKind(const std::vector<LexedSection>& sections) {
    std::optional<SectionKind> kind;
    for (const LexedSection& s : sections) {
        const std::optional<SectionKind> own = s.hasText ? SectionKind::Text : s.kind;
        if (!own) continue;
        if (kind && *kind != *own) return std::nullopt;
        kind = own;
    }
    return kind.value_or(SectionKind::Number);
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
        {u"long time", NamedFormat::None, SectionKind::DateTime, u"ttttt"},
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
