#pragma once

#include <QList>
#include <QString>

// The id list: decimal internal document ids separated by "," (101,102). Every rule the component
// and the host's procedure apply to one lives here.
//
// The one rule that every id list is held to (hookBill's argument, the finder's SelectedIds, the
// lists the grid loader and the reconciliations put into SQL): the text is items separated by
// ",", and each item is a decimal id (one or more of the ASCII digits 0 to 9) or empty. An empty
// item names no document: it is what hookBill's empty argument leaves on a list ("1001,"), and
// it is skipped wherever ids are read from a list, so "1001,", ",1001" and "1001,,1002" are
// valid and name the ids they hold. Any other character (a sign, a blank, a digit of another
// script, a byte-order mark, a control character) makes the whole list invalid.
namespace xhook {

inline constexpr QChar kIdSeparator = u',';

// Appends `ids` at the end of `list`: an empty list becomes `ids` exactly, any other gets a ","
// and then `ids`. Nothing is tested: ids already listed are listed again, and an empty `ids` on a
// non-empty list leaves a trailing ",".
void appendIds(QString& list, const QString& ids);

// What the rule found of a text. The empty text is the empty list.
struct IdListCheck {
    bool ok;
    QString ids;        // the ids it names, joined by ",", empty items dropped, when ok
    QString offending;  // the first item that is neither an id nor empty, when !ok
};
IdListCheck checkIdList(const QString& text);

// The ids that a valid list names (as checkIdList's ids); otherwise raises RuntimeError (invalid
// procedure call or argument) naming `what`, the text and the first offending item, their
// control characters escaped.
QString requireIdList(const QString& text, const QString& what);

// The list as it goes into an SQL in-clause: its ids. Raises RuntimeError (invalid procedure
// call) for a list that the rule refuses and for a list without ids, before any SQL is sent.
QString queryableIdList(const QString& list);

// The working form of a list being collected: it starts as a single "," and every id in it is
// followed by one (,1001,1002,), so that "," + id + "," finds whole ids only.
inline const QString kWorkingIdListStart = QStringLiteral(",");

// Appends `id` to a working list unless the list already holds it as a whole id (an exact,
// case-sensitive search).
void appendIdOnce(QString& workingList, const QString& id);

// Brings a working list into id-list form ("1001,1002"); a list without ids becomes empty, so
// that a later append starts a clean list. Returns whether the list holds an id.
bool finishIdList(QString& workingList);

// The list enclosed in separators, as the reconciliation procedure receives it: ,1001,1002,.
QString enclosedIdList(const QString& list);

// How many ids of a list fit into a text of `size` characters once enclosed: the largest number
// of ids from the front whose enclosed list is at most that long. The empty list counts as one
// empty id.
struct IdListFit {
    int idCount = 0;
    int fittingCount = 0;
    bool fits() const { return fittingCount == idCount; }
    int excess() const { return idCount - fittingCount; }
};
IdListFit fitIdList(const QString& list, int size);

// The ids of an enclosed list as numbers (the reconciliation procedure's reading): empty items
// skipped, an id listed twice taken once, in the order of first appearance. An item that is not
// an id of at most 64 bits makes the list invalid.
struct IdNumbers {
    QList<qint64> ids;
    QString badItem;  // the first item that is no id
    bool valid = true;
};
IdNumbers idNumbers(const QString& list);

}  // namespace xhook
