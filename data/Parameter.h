#pragma once

#include <QString>
#include <QVariant>

namespace xhook::data {

// ADO's codes for a parameter's data type and direction. The component passes adBigInt and
// adVarChar; a procedure catalog may declare the others (DeclaredParameter).
enum AdoType : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adTinyInt = 16,
    adBigInt = 20,
    adNumeric = 131,
    adVarChar = 200,
};
enum AdoDirection : int {
    adParamUnknown = 0,
    adParamInput = 1,
    adParamOutput = 2,
    adParamInputOutput = 3,
};

// One named, typed parameter of a stored procedure call. `value` holds what the caller set
// (any QVariant that converts) and, after the call, an output's answer (null when the procedure
// gave none).
struct Parameter {
    QString name;
    int type = adVarChar;
    int direction = adParamInput;
    int size = 0;
    QVariant value;
};

// The value that a backend binds for an input parameter: a QString for adVarChar, a qint64 for
// adBigInt. Raises DbError when a text is longer than the declared size (never truncated) or
// does not convert to the integer type.
QVariant boundInputValue(const Parameter& parameter);

// Raises the error of a text `length` characters long for a parameter of a smaller size.
[[noreturn]] void raiseValueTooLong(const Parameter& parameter, qsizetype length);

// A parameter as a server's procedure catalog declares it. `type` is adVarChar for every
// character type, adBigInt, adInteger, adSmallInt or adTinyInt for the integers, adNumeric for a
// decimal number and adEmpty for anything else; `typeName` is the catalog's own. `size` is the
// declared length of a character type, 0 where the catalog keeps none.
struct DeclaredParameter {
    QString name;
    int direction = adParamUnknown;
    int type = adEmpty;
    QString typeName;
    int size = 0;
};

}  // namespace xhook::data
