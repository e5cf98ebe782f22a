#pragma once

#include <QString>

#include "data/OdbcServer.h"

namespace xhook::data {

// A text as a literal of the SQL of the server behind an ODBC connection, which Qt's ODBC driver
// cannot write for every server (it doubles quotes only):
//   TransactSql  'text' with ' doubled, N'text' when it holds a character beyond ASCII (a
//                varchar literal keeps only the server's code page)
//   PostgreSql   a text with a backslash as E'text' with ' and \ doubled, which the server reads
//                the same whatever standard_conforming_strings says, and psqlODBC's statement
//                parser passes intact; any other as 'text' with ' doubled, read the same either
//                way (as the client library's PQescapeLiteral writes them)
//   Sqlite       'text' with ' doubled; a character beyond the Basic Multilingual Plane, which
//                sqliteodbc cannot take in an SQL text, as char(code point) joined with ||
//   Other        'text' with ' doubled
// Raises DbError for a text that holds a NUL character, which no literal carries intact.
QString odbcTextLiteral(OdbcServer server, const QString& text);

}  // namespace xhook::data
