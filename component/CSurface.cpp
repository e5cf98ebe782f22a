// The plain C surface: each entry point catches every error and reports it as a status.

#include <dlfcn.h>

#include <QApplication>
#include <QStringDecoder>
#include <QThread>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "DeZuvarEDodOziv8/xouthook_c.h"
#include "component/LiveInstances.h"
#include "foundation/ComponentRegistry.h"
#include "foundation/Errors.h"
#include "window/DocumentFinderRegistry.h"

using DeZuvarEDodOziv8::clsXoutBillHook;

struct xhook_instance {
    clsXoutBillHook hook;
};

namespace {

// A text of the host, as UTF-8: a leading byte-order mark is kept as the character it is, so that
// the component's checks see exactly what the host sent.
QString hostText(const char* text) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(text));
}

char* copyString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    char* copy = static_cast<char*>(std::malloc(utf8.size() + 1));
    if (copy) std::memcpy(copy, utf8.constData(), utf8.size() + 1);
    return copy;
}

void report(long number, const QString& description, long* errorNumber, char** errorDescription) {
    if (errorNumber) *errorNumber = number;
    if (errorDescription) *errorDescription = copyString(description);
}

template <typename Call>
int guarded(Call call, long* errorNumber, char** errorDescription) {
    if (errorNumber) *errorNumber = 0;
    if (errorDescription) *errorDescription = nullptr;
    try {
        call();
        return XHOOK_OK;
    } catch (const DeZuvarEDodOziv8::Error& e) {
        report(e.number(), e.description(), errorNumber, errorDescription);
    } catch (const std::exception& e) {
        report(XHOOK_E_FAIL, QString::fromUtf8(e.what()), errorNumber, errorDescription);
    } catch (...) {
        report(XHOOK_E_FAIL, QStringLiteral("unknown error"), errorNumber, errorDescription);
    }
    return XHOOK_E_FAIL;
}

// A host without Qt gets a QApplication on its calling thread.
void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "xhook-host";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

// The component is apartment-threaded: an instance is made only on the thread that runs the
// application (the one that the first xhook_create of a process without one made it on).
void requireApplicationThread() {
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        throw xhook::RuntimeError(xhook::RuntimeErrorNumber::InvalidProcedureCall,
                                  QStringLiteral("xhook_create 只能在宿主程序的界面线程 (运行 "
                                                 "QApplication 的线程) 中调用"));
}

bool isLive(const xhook_instance* instance) {
    return xhook::LiveInstances::ofProcess().contains(instance);
}

QString libraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) && info.dli_fname)
        return QString::fromLocal8Bit(info.dli_fname);
    return {};
}

xhook::ClassRegistration classRegistration() {
    return {DeZuvarEDodOziv8::kClsid,
            DeZuvarEDodOziv8::kProgId,
            libraryPath(),
            QStringLiteral("Apartment"),
            DeZuvarEDodOziv8::kLibid,
            DeZuvarEDodOziv8::kTypeLibraryVersion};
}

const xhook_class_factory factory = {&xhook_create};

// A finder that the host wrote in C: each call goes to the host's functions.
class HostDocumentFinder : public xhook::DocumentFinder {
  public:
    explicit HostDocumentFinder(const xhook_document_finder& functions) : functions_(functions) {}

    QString Find(QString& accessCode, QString& filter) override {
        functions_.find(functions_.context, accessCode.toUtf8().constData(),
                        filter.toUtf8().constData());
        return {};
    }

    QString SelectedIds() override {
        const char* ids = functions_.selected_ids(functions_.context);
        return ids ? hostText(ids) : QString();
    }

  private:
    const xhook_document_finder functions_;
};

}  // namespace

extern "C" {

XHOOK_EXPORT int xhook_create(xhook_instance** instance, long* errorNumber,
                              char** errorDescription) {
    if (!instance) return XHOOK_E_INVALIDARG;
    *instance = nullptr;
    return guarded(
        [&] {
            ensureApplication();
            requireApplicationThread();
            *instance = new xhook_instance;
            xhook::LiveInstances::ofProcess().add(*instance);
        },
        errorNumber, errorDescription);
}

// An instance that is not live (released already, or never made here) is left alone.
XHOOK_EXPORT int xhook_release(xhook_instance* instance) {
    if (!instance) return XHOOK_OK;
    if (!xhook::LiveInstances::ofProcess().remove(instance)) return XHOOK_E_INVALIDARG;
    delete instance;
    return XHOOK_OK;
}

XHOOK_EXPORT int xhook_hook_bill(xhook_instance* instance, const char* billInterIds, int* result,
                                 long* errorNumber, char** errorDescription) {
    if (!instance || !billInterIds || !isLive(instance)) return XHOOK_E_INVALIDARG;
    return guarded(
        [&] {
            QString ids = hostText(billInterIds);
            const bool answer = instance->hook.hookBill(ids);
            if (result) *result = answer ? 1 : 0;
        },
        errorNumber, errorDescription);
}

XHOOK_EXPORT void xhook_free_string(char* text) {
    std::free(text);
}

XHOOK_EXPORT int xhook_register_document_finder(const char* clsid,
                                                const xhook_document_finder* finder) {
    if (!clsid || (finder && (!finder->find || !finder->selected_ids))) return XHOOK_E_INVALIDARG;
    xhook::DocumentFinderFactory create;
    if (finder) {
        const xhook_document_finder functions = *finder;
        create = [functions] { return std::make_unique<HostDocumentFinder>(functions); };
    }
    return guarded(
        [&] { xhook::registerDocumentFinderFactory(QString::fromUtf8(clsid), std::move(create)); },
        nullptr, nullptr);
}

XHOOK_EXPORT long DllRegisterServer(void) {
    return guarded([] { xhook::registerClass(classRegistration()); }, nullptr, nullptr);
}

XHOOK_EXPORT long DllUnregisterServer(void) {
    return guarded([] { xhook::unregisterClass(classRegistration()); }, nullptr, nullptr);
}

XHOOK_EXPORT long DllGetClassObject(const char* clsid, const xhook_class_factory** out) {
    if (!clsid || !out) return XHOOK_E_INVALIDARG;
    *out = nullptr;
    if (QString::fromUtf8(clsid).compare(DeZuvarEDodOziv8::kClsid, Qt::CaseInsensitive) != 0)
        return XHOOK_E_CLASSNOTAVAILABLE;
    *out = &factory;
    return XHOOK_OK;
}

XHOOK_EXPORT long DllCanUnloadNow(void) {
    return clsXoutBillHook::liveInstances() == 0 ? XHOOK_OK : XHOOK_FALSE;
}

}  // extern "C"
