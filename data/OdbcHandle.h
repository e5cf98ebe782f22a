#pragma once

#include <QSqlDatabase>
#include <QString>

#include "data/DbError.h"

namespace xhook::data {

// The driver manager's interface behind a database of Qt's ODBC driver (QODBC), for what Qt does
// not offer: the server's name, procedure calls with typed outputs, the procedure catalog. The
// handles are the driver manager's (SQLHDBC, SQLHSTMT), passed as void* so that its headers stay
// in the .cpp files.
using OdbcHandle = void*;

// The connection handle of an open QODBC database; raises DbError when there is none.
OdbcHandle odbcConnectionOf(const QSqlDatabase& db);

// A text the driver answers SQLGetInfo with (SQL_DBMS_NAME, ...); empty when it does not.
QString odbcInfoText(OdbcHandle connection, unsigned short infoType);

// The diagnostic records of a handle (type SQL_HANDLE_STMT or SQL_HANDLE_DBC) as one error: the
// first record's native number (or the generic one), every record's text, the first SQLSTATE as
// its native code, `context` after the text.
DbError odbcError(short handleType, OdbcHandle handle, const QString& context);

// A statement handle of a connection, freed when it goes.
class OdbcStatement {
  public:
    explicit OdbcStatement(OdbcHandle connection);  // raises DbError when none can be made
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    OdbcHandle handle() const { return handle_; }
    // Raises odbcError of this statement when `result` is neither a success nor SQL_NO_DATA.
    void check(short result, const QString& context) const;

  private:
    OdbcHandle handle_ = nullptr;
};

}  // namespace xhook::data
