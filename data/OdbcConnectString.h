#pragma once

#include <QString>

namespace xhook::data {

class ConnectionString;

// A value as an ODBC connection string holds it: as it is, or between braces when it holds a
// ';' or a brace or begins with a blank. A value that ends a braced value ("};") cannot be
// written; DbError names the key (never the value, which may be a password).
QString odbcValue(const QString& key, const QString& value);

// How a connection string of the ADO provider for ODBC data sources (Provider=MSDASQL) reaches
// the driver manager, as that provider passes it:
//   Data Source, User ID, Password, Initial Catalog   DSN, UID, PWD, DATABASE
//   Connect Timeout                                   the login timeout
//   Persist Security Info                             changes nothing
//   Pooling, Connection Lifetime, Connection Idle Lifetime   the pool's (ConnectionPool.h)
//   every other key (DSN, Driver, Server, Port, ...)  to the driver, as written: the driver owns it
// A data source (DSN) is passed with the driver that odbc.ini names for it, since Qt's ODBC
// driver takes a string without a Driver key for the name of a data source.
class OdbcConnectString {
  public:
    // Raises DbError when the string names neither a data source nor a driver, names a data
    // source that odbc.ini does not define, or holds Extended Properties.
    explicit OdbcConnectString(const ConnectionString& cs);

    const QString& text() const { return text_; }
    int loginTimeoutSeconds() const { return loginTimeout_; }  // 0: the driver's own
    // Where the open went, for the message of a failed open: the data source or the driver and
    // the server and database the string names.
    const QString& describe() const { return where_; }

  private:
    QString text_;
    QString where_;
    int loginTimeout_ = 0;
};

}  // namespace xhook::data
