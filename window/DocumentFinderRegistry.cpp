#include "window/DocumentFinderRegistry.h"

#include <QLibrary>

#include "foundation/CaseFoldedRegistry.h"
#include "foundation/ComponentRegistry.h"
#include "foundation/Errors.h"
#include "window/FinderContext.h"

namespace xhook {

namespace {

// Factories that hosts registered in their own process, by class identifier. A host may register
// from another thread than the one the component runs on.
CaseFoldedRegistry<DocumentFinderFactory>& inProcessFactories() {
    static CaseFoldedRegistry<DocumentFinderFactory> factories;
    return factories;
}

// Class identifiers compare without regard to case and surrounding blanks.
QString clsidKey(const QString& clsid) {
    return clsid.trimmed();
}

[[noreturn]] void raiseCannotCreateObject(const QString& clsid, const QString& reason) {
    throw RuntimeError(RuntimeErrorNumber::CannotCreateObject,
                       QStringLiteral("ActiveX 部件不能创建对象: %1 (%2)").arg(clsid, reason));
}

DocumentFinderFactory inProcessFactory(const QString& clsid) {
    return inProcessFactories().find(clsidKey(clsid));
}

// The plugin stays loaded once loaded: the finders it made run its code for as long as they live.
std::unique_ptr<DocumentFinder> createFromPlugin(const QString& clsid, const QString& libraryPath) {
    if (libraryPath.isEmpty()) raiseCannotCreateObject(clsid, QStringLiteral("注册项没有库路径"));
    QLibrary library(libraryPath);
    if (!library.load()) raiseCannotCreateObject(clsid, library.errorString());
    auto create = reinterpret_cast<DeZuvarEDodOziv8::CreateDocumentFinderFn>(
        library.resolve(DeZuvarEDodOziv8::kCreateDocumentFinderSymbol));
    if (create == nullptr) raiseCannotCreateObject(clsid, library.errorString());
    std::unique_ptr<DocumentFinder> finder(create(&componentFinderContext()));
    if (finder == nullptr)
        raiseCannotCreateObject(clsid, QStringLiteral("%1 没有返回对象").arg(libraryPath));
    return finder;
}

}  // namespace

void registerDocumentFinderFactory(const QString& clsid, DocumentFinderFactory factory) {
    inProcessFactories().set(clsidKey(clsid), std::move(factory));
}

std::unique_ptr<DocumentFinder> createDocumentFinder(const QString& clsid) {
    if (const DocumentFinderFactory factory = inProcessFactory(clsid)) {
        std::unique_ptr<DocumentFinder> finder = factory();
        if (finder == nullptr)
            raiseCannotCreateObject(clsid, QStringLiteral("进程内的工厂没有返回对象"));
        return finder;
    }
    const std::optional<ClassRegistration> registration = findClassByClsid(clsid);
    if (!registration) raiseCannotCreateObject(clsid, QStringLiteral("类没有注册"));
    return createFromPlugin(clsid, registration->libraryPath);
}

}  // namespace xhook
