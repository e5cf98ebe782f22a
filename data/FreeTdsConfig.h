#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace xhook::data {

// What FreeTDS's configuration file says of one server, read as FreeTDS reads it when a
// connection names a server of the file (Servername=): the files in its order (FREETDSCONF,
// $FREETDS/etc/freetds.conf, ~/.freetds.conf, /etc/freetds/freetds.conf), each one's [global]
// section and then the server's section, up to the first file that has that section; a later
// setting replaces an earlier one. Names of sections and settings compare without regard to case.
// A connection that names its server by address (Server=) reads no file at all.
class FreeTdsServerConfig {
  public:
    // The server's settings, or none when no file has a section of that name.
    static std::optional<FreeTdsServerConfig> find(const QString& serverName);
    // The files FreeTDS would look in, in its order, whether they exist or not.
    static QStringList searchPath();

    // A setting by its name ("ca file", "host"), empty when no section sets it.
    QString value(const QString& setting) const;
    // The file that holds the server's section.
    const QString& file() const { return file_; }

  private:
    QHash<QString, QString> settings_;  // case-folded name -> value
    QString file_;
};

}  // namespace xhook::data
