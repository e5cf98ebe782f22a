#pragma once

#include <QString>
#include <QStringList>

namespace xhook::data {

class ConnectionString;

// How a connection string of the ADO providers for SQL Server (SQLOLEDB, SQLNCLI…, MSOLEDBSQL…)
// reaches a server through FreeTDS's ODBC driver. Each key of these providers is accepted:
//   Data Source            host, host\instance, host,port (an optional "tcp:" before it), or
//                          the name of a server of FreeTDS's configuration file
//                          (FreeTdsConfig.h), which then says where the server is
//   Initial Catalog, User ID, Password, Application Name, Workstation ID, Packet Size,
//   Current Language, General Timeout, Initial File Name, Server SPN
//                          FreeTDS's Database, UID, PWD, APP, WSID, PacketSize, Language,
//                          Timeout, AttachDbFilename, ServerSPN
//   Connect Timeout        the login timeout (default 15 seconds, as ADO's)
//   Encrypt, Use Encryption for Data   TLS with the server's certificate checked
//   TrustServerCertificate, Trust Server Certificate   TLS without the check
//   Network Library=DBMSSOCN, Persist Security Info, Use Procedure for Prepare, Auto Translate,
//   Tag with column collation when possible, Locale Identifier: change nothing here
//   Pooling, Connection Lifetime, Connection Idle Lifetime: the pool's (ConnectionPool.h)
// Refused, naming the key: a Windows login (Integrated Security=SSPI), a network other than TCP,
// an encryption that FreeTDS cannot give (Strict), and a certificate check that FreeTDS would not
// make. Messages never hold the password.
class SqlServerOptions {
  public:
    // Raises DbError for a key or value that is refused.
    explicit SqlServerOptions(const ConnectionString& cs);

    // The connection string for the driver manager, the driver named as Debian registers it.
    QString odbcConnectString() const;
    int loginTimeoutSeconds() const { return loginTimeout_; }
    // Where the open went, for the message of a failed open: server, port or instance, database.
    QString describe() const;

  private:
    void readTarget(const ConnectionString& cs);
    void readEncryption(const ConnectionString& cs, const QString& provider);
    void readLogin(const ConnectionString& cs);
    void readTuning(const ConnectionString& cs);
    void add(const QString& key, const char* odbcKey, const QString& value);

    QString dataSource_;
    QString configuredServer_;  // a server of FreeTDS's configuration file, or empty
    QString host_;
    QString instance_;
    int port_ = 0;  // 0: FreeTDS's (1433, or the instance's through the browser service)
    QString database_;
    bool encrypted_ = false;
    bool certificateChecked_ = false;
    int loginTimeout_ = 15;
    QStringList items_;  // the driver's keys, KEY=value
};

}  // namespace xhook::data
