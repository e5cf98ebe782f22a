#pragma once

// The document finder: the host's lookup over sales outbound documents, which the window's
// outbound lookup creates by the class identifier kDocumentFinderClsid. A host provides it in its
// own process (xhook_register_document_finder in xouthook_c.h), or as a plugin library that the
// per-user component registry names for that class identifier (section [kDocumentFinderClsid],
// Path=the library). A plugin implements DocumentFinder and exports, with C linkage, the function
// that kCreateDocumentFinderSymbol names:
//
//   extern "C" __attribute__((visibility("default")))
//   DeZuvarEDodOziv8::DocumentFinder* xhookCreateDocumentFinder(
//           DeZuvarEDodOziv8::FinderContext* context) {
//       return new MyFinder(*context);
//   }
//
// A plugin needs only this header and Qt; it links nothing of the component. What it needs of
// the component (the host database, a refusal that reaches the window as the component's own
// error) it gets through the FinderContext it is created with. Every call comes from the thread
// that runs the host's QApplication.

#include <QString>
#include <QVariant>
#include <memory>

namespace DeZuvarEDodOziv8 {

// The rows of a query, read forward once.
class DocumentRows {
  public:
    virtual ~DocumentRows() = default;
    // Moves to the next row; the first call moves to the first row. False when no row is left.
    virtual bool next() = 0;
    // A field of the current row by its place in the query's select list, from 0. SQL NULL reads
    // as a null QVariant.
    virtual QVariant value(int field) const = 0;
};

// What the component gives a finder plugin: the host database, reached through the component's
// own database layer, and the component's error for a refused call. The component owns it; it
// outlives every finder created with it.
class FinderContext {
  public:
    // Runs a query on the host database that the user's settings name
    // ([DBOperation] DBConnectionString), on a connection of its own that the rows keep open
    // until they are destroyed. The text is written as the component writes its own: `select top
    // N` and `isnull(a,b)` are rewritten for the database. A failure (the database cannot be
    // opened, the query fails) raises the component's error, with the provider's number and
    // description.
    virtual std::unique_ptr<DocumentRows> query(const QString& sql) = 0;
    // Raises the component's "invalid procedure call or argument" error (number 5) with `detail`
    // added to its text: what a finder raises for a call it refuses.
    [[noreturn]] virtual void raiseInvalidCall(const QString& detail) = 0;

  protected:
    ~FinderContext() = default;
};

// The host's document finder: shows a lookup over outbound documents limited by a filter and
// tells which documents the user chose. The component creates one for each lookup and destroys
// it afterwards.
class DocumentFinder {
  public:
    virtual ~DocumentFinder() = default;
    // Shows the lookup; returns when the user has finished or cancelled. `accessCode` is the fixed
    // text "@#^wmzt"; `filter` is an SQL condition that begins with " and ". The result is
    // ignored.
    virtual QString Find(QString& accessCode, QString& filter) = 0;
    // After Find: the chosen documents' internal ids separated by ",", empty when none was chosen
    // or the lookup was cancelled.
    virtual QString SelectedIds() = 0;
};

inline constexpr const char* kDocumentFinderClsid = "{F295C352-DBCE-4A72-B206-4C4E87837FD8}";

// The function a plugin library exports: a new finder, owned by the caller, that may use
// `context` for as long as it lives.
extern "C" {
typedef DocumentFinder* (*CreateDocumentFinderFn)(FinderContext* context);
}
inline constexpr const char* kCreateDocumentFinderSymbol = "xhookCreateDocumentFinder";

}  // namespace DeZuvarEDodOziv8
