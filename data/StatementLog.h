#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QVariantList>

#include "data/Parameter.h"

class QSqlQuery;

namespace xhook::data {

// What the database layer sends, noted in two ways.
//
// The diagnostic log (category xhook.sql, see foundation/DiagnosticLog.h): every SQL text sent
// (after the Transact-SQL rewrite) with its bound values, how long it took and how many rows it
// changed; for a query, once its rows have been read, how many and how long since it was sent;
// every stored procedure with its inputs and its answer; every database error with its number.
// Statements are numbered per thread, so that the line of the rows read names its statement.
//
// A test seam beside FaultInjection: while it records, the layer notes on the calling thread
// every SQL text that it sends (with the values bound to it) and every stored procedure that it
// runs (with its input values).
//
// Off, which is how production code finds both, each costs one test of a flag.
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

    // Called by the layer before a statement or procedure is sent.
    static void recordSql(const QString& sql, const QVariantList& boundValues = {});
    static void recordProcedure(const QString& name, const QVariantList& inputs);

    // A statement as the diagnostic log knows it once sent: its number (0 when the log is off)
    // and the time since it was sent.
    class Sent {
      public:
        bool isLogged() const { return number_ != 0; }
        // Writes the rows read from a query, once; `complete` tells whether its end was reached.
        void rowsRead(qint64 rows, bool complete);

      private:
        friend class StatementLog;
        quint64 number_ = 0;
        QElapsedTimer timer_;
    };

    // Starts timing a statement when the diagnostic log is on.
    static QElapsedTimer startTimer();
    // Writes a statement that ran; its rows, when it is a query, come later through
    // lastSent().rowsRead().
    static void sqlSent(const QElapsedTimer& timer, const QString& sql,
                        const QVariantList& boundValues, const QSqlQuery& query);
    // The last statement sent on this thread (none when the log is off).
    static Sent lastSent();
    // Writes a stored procedure's call with its answer: the values of its output parameters.
    static void procedureAnswered(const QElapsedTimer& timer, const QString& name,
                                  const QList<Parameter>& parameters);
    static void error(long number, const QString& description, const QString& nativeCode);
};

}  // namespace xhook::data
