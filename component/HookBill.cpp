#include "component/HookBill.h"

#include <QApplication>
#include <QThread>

#include "component/HookWindow.h"
#include "component/QtTranslations.h"
#include "component/SharedState.h"
#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "window/FrmHookResult.h"

namespace xhook {

void requireGuiThread() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall,
                           QStringLiteral("钩稽窗口需要宿主程序的 QApplication, 当前进程没有"));
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall,
                           QStringLiteral("hookBill 只能在宿主程序的界面线程中调用"));
}

// While an operation of the window holds the shared connection, its modal message box is open and
// the host's own events still run. A call then would run find1 inside that operation, on its
// connection, and close it under it; such a call is refused before it changes anything.
void requireNoOperationRunning(const SharedState& state) {
    if (state.gConnection)
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall,
                           QStringLiteral("钩稽窗口正在进行数据库操作 (其消息框尚未关闭), "
                                          "hookBill 未执行, 请稍后再调用"));
}

// The argument reaches the invoice list, and from there SQL, only when the id-list rule takes
// it: anything but decimal ids and commas is refused before the list or the window is touched,
// so that a bad id neither stays in the list nor makes the loader open a message box. The empty
// argument is an id list (the empty one) and is appended as it is.
void requireInvoiceIds(const QString& strBillInterId) {
    requireIdList(strBillInterId, QStringLiteral("hookBill 的参数 strBillInterId"));
}

bool hookBill(const QString& strBillInterId) {
    requireGuiThread();
    requireInvoiceIds(strBillInterId);
    installQtTranslationsUnlessHostDid();
    SharedState& state = shared();
    requireNoOperationRunning(state);
    appendIds(state.gInvoiceIds, strBillInterId);
    if (!state.gHookWindow) state.gHookWindow = createHookWindow();
    FrmHookResult& window = *state.gHookWindow;
    window.find1();
    if (!window.isVisible()) window.showModal();
    return false;
}

}  // namespace xhook
