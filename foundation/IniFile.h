#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace xhook {

// A plain INI file kept in its written order: "[section]" lines and "key=value" lines, with
// ';' or '#' comment lines. Small enough for a C or script host to read by hand.
class IniFile {
  public:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries;
        QString value(const QString& key) const;
    };

    static IniFile load(const QString& path);  // a missing file is empty
    // Writes the whole file at once (a reader never sees half of it); raises RuntimeError.
    void save(const QString& path) const;

    const QList<Section>& sections() const { return sections_; }
    const Section* section(const QString& name) const;  // names compare without regard to case
    void setSection(const Section& section);            // replaces or appends
    bool removeSection(const QString& name);

  private:
    QList<Section> sections_;
};

}  // namespace xhook
