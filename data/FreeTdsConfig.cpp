#include "data/FreeTdsConfig.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace xhook::data {

namespace {

const QString kGlobalSection = QStringLiteral("global");
const QString kSystemFile = QStringLiteral("/etc/freetds/freetds.conf");

struct Section {
    bool found = false;
    QHash<QString, QString> settings;
};

// One section of a file: "name = value" lines below "[section]", up to the next section; lines
// that begin with ';' or '#' are comments.
Section readSection(const QString& path, const QString& wanted) {
    Section section;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return section;
    QTextStream in(&file);
    bool inside = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            const QString name = line.mid(1, line.indexOf(']') - 1).trimmed();
            inside = name.compare(wanted, Qt::CaseInsensitive) == 0;
            section.found = section.found || inside;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inside || equals < 0) continue;
        section.settings.insert(line.left(equals).trimmed().toCaseFolded(),
                                line.mid(equals + 1).trimmed());
    }
    return section;
}

}  // namespace

QStringList FreeTdsServerConfig::searchPath() {
    QStringList files;
    if (qEnvironmentVariableIsSet("FREETDSCONF")) files << qEnvironmentVariable("FREETDSCONF");
    if (qEnvironmentVariableIsSet("FREETDS"))
        files << qEnvironmentVariable("FREETDS") + QStringLiteral("/etc/freetds.conf");
    files << QDir::homePath() + QStringLiteral("/.freetds.conf") << kSystemFile;
    return files;
}

std::optional<FreeTdsServerConfig> FreeTdsServerConfig::find(const QString& serverName) {
    FreeTdsServerConfig config;
    for (const QString& path : searchPath()) {
        if (!QFile::exists(path)) continue;
        config.settings_.insert(readSection(path, kGlobalSection).settings);
        const Section server = readSection(path, serverName);
        if (!server.found) continue;
        config.settings_.insert(server.settings);
        config.file_ = path;
        return config;
    }
    return std::nullopt;
}

QString FreeTdsServerConfig::value(const QString& setting) const {
    return settings_.value(setting.toCaseFolded());
}

}  // namespace xhook::data
