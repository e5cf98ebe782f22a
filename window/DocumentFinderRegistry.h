#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "DeZuvarEDodOziv8/DocumentFinder.h"

namespace xhook {

// The finder's interface is public (plugins implement it); how the component creates a finder
// is its own.
using DeZuvarEDodOziv8::DocumentFinder;
using DeZuvarEDodOziv8::kDocumentFinderClsid;

using DocumentFinderFactory = std::function<std::unique_ptr<DocumentFinder>()>;

// A host registers a factory in-process under a class identifier; nullptr removes it.
void registerDocumentFinderFactory(const QString& clsid, DocumentFinderFactory factory);
// Creates the class: the in-process factory, or else the plugin library that the per-user
// component registry names for it, created with the component's finder context. Raises
// RuntimeError (cannot create object) otherwise.
std::unique_ptr<DocumentFinder> createDocumentFinder(const QString& clsid);

}  // namespace xhook
