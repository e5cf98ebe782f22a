#pragma once

#include <QList>
#include <QString>

#include "data/Parameter.h"

namespace xhook::data {

class Connection;

// A command in the manner of an ADO Command: an active connection, a command text and type, and
// a collection of named parameters. Only stored procedures (type 4) are run through it.
class Command {
  public:
    static constexpr int adCmdText = 1;
    static constexpr int adCmdStoredProc = 4;

    void setActiveConnection(Connection* connection) { connection_ = connection; }
    void setCommandText(const QString& text) { text_ = text; }
    void setCommandType(int type) { type_ = type; }

    static Parameter createParameter(const QString& name, int type, int direction, int size,
                                     const QVariant& value);
    void appendParameter(const Parameter& parameter) { parameters_.append(parameter); }
    // Raises DbError (item not found) for an unknown name; names compare without regard to case.
    Parameter& parameter(const QString& name);
    const QList<Parameter>& parameters() const { return parameters_; }

    // Runs the command; rows it returns are dropped unread. Raises DbError.
    void execute();

  private:
    Connection* connection_ = nullptr;
    QString text_;
    int type_ = adCmdText;
    QList<Parameter> parameters_;
};

}  // namespace xhook::data
