#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace xhook {

// The host's document finder: shows a lookup over outbound documents limited by a filter and
// tells which documents the user chose.
class DocumentFinder {
public:
    virtual ~DocumentFinder() = default;
    // Shows the lookup; returns when the user has finished or cancelled. The result is ignored.
    virtual QString Find(QString& accessCode, QString& filter) = 0;
    // After Find: the chosen documents' ids separated by ",", empty when none or cancelled.
    virtual QString SelectedIds() = 0;
};

inline constexpr const char* kDocumentFinderClsid = "{F295C352-DBCE-4A72-B206-4C4E87837FD8}";

using DocumentFinderFactory = std::function<std::unique_ptr<DocumentFinder>()>;

// A host registers a factory in-process under a class identifier; nullptr removes it.
void registerDocumentFinderFactory(const QString& clsid, DocumentFinderFactory factory);
// Creates the class: the in-process factory, or else the plugin library that the per-user
// component registry names for it. Raises RuntimeError (cannot create object) otherwise.
std::unique_ptr<DocumentFinder> createDocumentFinder(const QString& clsid);

// A plugin library exports this function, which returns a new finder owned by the caller.
extern "C" {
typedef DocumentFinder* (*XhookCreateDocumentFinderFn)();
}
inline constexpr const char* kCreateDocumentFinderSymbol = "xhookCreateDocumentFinder";

}  // namespace xhook
