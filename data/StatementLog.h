#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

namespace xhook::data {

// A test seam beside FaultInjection: while it records, the database layer notes on the calling
// thread every SQL text that it sends to the database (after the Transact-SQL rewrite, with the
// values bound to it) and every stored procedure that it runs (with its input values). Not
// recording, which is the only state production code ever sees, it costs one test of a
// thread-local flag.
class StatementLog {
  public:
    struct Entry {
        enum class Kind { Sql, Procedure };
        Kind kind;
        QString text;         // the SQL text, or the procedure's name
        QVariantList values;  // bound values, or the procedure's input values
    };

    static void start();  // forget what was recorded and record from now on
    static void stop();   // stop recording; the entries stay readable
    static const QList<Entry>& entries();

    // Called by the layer.
    static void recordSql(const QString& sql, const QVariantList& boundValues = {});
    static void recordProcedure(const QString& name, const QVariantList& inputs);
};

}  // namespace xhook::data
