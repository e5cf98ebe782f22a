#pragma once

#include <QString>
#include <QVariant>

namespace xhook::data {

// ADO's codes for a parameter's data type and direction.
enum AdoType : int { adBigInt = 20, adVarChar = 200 };
enum AdoDirection : int { adParamInput = 1, adParamOutput = 2, adParamInputOutput = 3 };

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

}  // namespace xhook::data
