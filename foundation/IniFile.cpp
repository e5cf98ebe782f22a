#include "foundation/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include "foundation/Errors.h"

namespace xhook {

QString IniFile::Section::value(const QString& key) const {
    for (const auto& [k, v] : entries)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return v;
    return {};
}

IniFile IniFile::load(const QString& path) {
    IniFile ini;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return ini;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    Section* current = nullptr;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            ini.sections_.append({line.mid(1, line.size() - 2).trimmed(), {}});
            current = &ini.sections_.last();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (current && equals > 0)
            current->entries.append({line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    }
    return ini;
}

void IniFile::save(const QString& path) const {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall,
                           QStringLiteral("无法写入 %1: %2").arg(path, file.errorString()));
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    for (const Section& s : sections_) {
        out << '[' << s.name << "]\n";
        for (const auto& [k, v] : s.entries) out << k << '=' << v << '\n';
        out << '\n';
    }
    out.flush();
    if (!file.commit())
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall,
                           QStringLiteral("无法写入 %1: %2").arg(path, file.errorString()));
}

const IniFile::Section* IniFile::section(const QString& name) const {
    for (const Section& s : sections_)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

void IniFile::setSection(const Section& section) {
    for (Section& s : sections_)
        if (s.name.compare(section.name, Qt::CaseInsensitive) == 0) {
            s = section;
            return;
        }
    sections_.append(section);
}

bool IniFile::removeSection(const QString& name) {
    return sections_.removeIf([&](const Section& s) {
        return s.name.compare(name, Qt::CaseInsensitive) == 0;
    }) > 0;
}

}  // namespace xhook
