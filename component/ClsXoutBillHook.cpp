#include "DeZuvarEDodOziv8/clsXoutBillHook.h"

#include <QApplication>
#include <QThread>
#include <atomic>

#include "component/HookBill.h"
#include "component/SharedState.h"
#include "component/UserSettings.h"
#include "foundation/DiagnosticLog.h"
#include "foundation/Errors.h"

namespace DeZuvarEDodOziv8 {

namespace {

std::atomic<int> instances{0};

// The host entry point: an error of the component reaches the host as an Error.
template <typename Call>
auto atHostBoundary(Call call) {
    try {
        return call();
    } catch (const Error& e) {
        qCDebug(xhook::lcWindow).noquote().nospace()
            << "error " << e.number() << " passed to the host: " << e.description();
        throw;
    } catch (const std::bad_alloc&) {
        throw Error(7, QStringLiteral("内存不足"));
    } catch (const std::exception& e) {
        throw Error(xhook::RuntimeErrorNumber::InvalidProcedureCall, QString::fromUtf8(e.what()));
    }
}

}  // namespace

clsXoutBillHook::clsXoutBillHook() {
    atHostBoundary([] { xhook::readUserSettings(xhook::shared()); });
    ++instances;
}

clsXoutBillHook::~clsXoutBillHook() {
    --instances;
}

bool clsXoutBillHook::hookBill(QString& strBillInterId) {
    return atHostBoundary([&] { return xhook::hookBill(strBillInterId); });
}

int clsXoutBillHook::liveInstances() {
    return instances.load();
}

}  // namespace DeZuvarEDodOziv8
