#pragma once

#include <QString>
#include <QVariant>
#include <ostream>

// Lets GoogleTest show Qt values as text in its failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* out) {
    if (value.isNull())
        *out << "null " << value.metaType().name();
    else
        *out << value.metaType().name() << ' ' << value.toString().toStdString();
}
