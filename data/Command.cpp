#include "data/Command.h"

#include "data/Connection.h"
#include "data/DbError.h"

namespace xhook::data {

Parameter Command::createParameter(const QString& name, int type, int direction, int size,
                                   const QVariant& value) {
    return Parameter{name, type, direction, size, value};
}

Parameter& Command::parameter(const QString& name) {
    for (Parameter& p : parameters_)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return p;
    throw DbError(DbErrorNumber::ItemNotFound,
                  QStringLiteral("the command has no parameter '%1'").arg(name));
}

// Input values are checked before anything reaches the database.
void Command::execute() {
    if (!connection_)
        throw DbError(DbErrorNumber::ObjectClosed,
                      QStringLiteral("the command '%1' has no active connection").arg(text_));
    for (const Parameter& p : parameters_)
        if (p.direction != adParamOutput) boundInputValue(p);
    if (type_ == adCmdStoredProc)
        connection_->runProcedure(text_, parameters_);
    else if (type_ == adCmdText)
        connection_->execute(text_);
    else
        throw DbError(DbErrorNumber::WrongType,
                      QStringLiteral("command type %1 is not supported").arg(type_));
}

}  // namespace xhook::data
