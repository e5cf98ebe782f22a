#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <optional>

namespace xhook {

// Conversions of text to numbers as the component's routines make them: the text of a number
// as the user's locale writes it (blanks round it allowed). A text that is no number (the words
// "nan", "inf" and "infinity" included) raises a type mismatch, a number too large for a double
// an overflow; a 16-bit integer rounds a fraction to the nearest integer, halves to the even
// one, and a result outside -32768..32767 raises an overflow. `what` names the value in the error.
qint16 textToInt16(const QString& text, const QString& what = {});
double textToDouble(const QString& text, const QString& what = {});
double textToDouble(QStringView text, const QString& what = {});

// The number that a text holds in the user's locale (blanks round it allowed), or none for an
// empty text or one that is no number. NaN and infinities read as what they are.
std::optional<double> readLocaleNumber(const QString& text);
std::optional<double> readLocaleNumber(QStringView text);

// The plain text of a database value: NULL gives an empty text, numbers in the user's locale
// without digit grouping (see doubleText), dates as yyyy-MM-dd and date-times as
// yyyy-MM-dd hh:mm:ss.
QString valueText(const QVariant& value);
// The plain text of a number as valueText writes it, in the user's locale without digit grouping:
// the nearest decimal of at most 15 significant digits, without trailing zeros, written in full
// from 0.0001 up to below 10^15 (0.1 + 0.2 is "0.3", 100000 is "100000") and in the exponent
// form outside that range ("1.5E+15", "1E-05"). This is QLocale's 'G' form with 15 digits.
QString doubleText(double value);

struct UserNumbers;

// The user's number forms, resolved once for a run of conversions in which the user's locale
// stays the same (a grid load): the same answers as readLocaleNumber and textToDouble.
class LocaleNumbers {
  public:
    LocaleNumbers();
    std::optional<double> read(QStringView text) const;
    double toDouble(QStringView text, const QString& what = {}) const;
    const UserNumbers& forms() const { return forms_; }

  private:
    const UserNumbers& forms_;
};

// The same text as valueText, made without a QString of its own where it can be: a text value is
// held as it is, a number written into the object's own room. One object serves value after
// value, in the user's locale as it was when the object was made.
class ValueText {
  public:
    ValueText();
    // A NULL text reads as the empty text it is written as, so a text needs no test for NULL.
    void assign(const QVariant& value) {
        length_ = kOwned;
        numberWritten_ = false;
        textIsExact_ = true;
        if (value.typeId() == QMetaType::QString)
            owned_ = *static_cast<const QString*>(value.constData());
        else
            assignOther(value);
    }
    void assignDouble(double value);
    QStringView view() const {
        return length_ == kOwned ? QStringView(owned_) : QStringView(buffer_, length_);
    }
    QString toString() const;
    // Where the text was written from a finite double: that double (a zero without its sign).
    std::optional<double> writtenNumber() const {
        return numberWritten_ ? std::optional<double>(number_) : std::nullopt;
    }
    // Where the text was written from a double with more digits than the text shows (it reads
    // back as another number): that double, which whoever keeps the text keeps beside it.
    std::optional<double> numberBehindText() const {
        return textIsExact_ ? std::nullopt : std::optional<double>(number_);
    }

  private:
    void assignOther(const QVariant& value);

    static constexpr int kOwned = -1;  // the text is owned_
    static constexpr int kRoom = 40;   // the longest plain number: sign, 22 digits and a point

    const UserNumbers* numbers_;
    QString owned_;
    char16_t buffer_[kRoom];
    int length_ = kOwned;
    double number_ = 0;
    bool numberWritten_ = false;
    bool textIsExact_ = true;
};

// Whether a database value equals the number `n` (NULL never does; nor does a text that is no
// number).
bool valueEquals(const QVariant& value, qint64 n);

}  // namespace xhook
