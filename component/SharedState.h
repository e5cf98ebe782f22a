#pragma once

#include <QString>
#include <memory>

namespace xhook {

namespace data {
class Connection;
struct ConnectionSlot;
}  // namespace data
class FrmHookResult;
struct WindowSession;

// The one record of state that the whole component shares. One exists per thread that uses the
// component; it outlives class instances, the window and single calls. Fields stand in their
// declaration order; every routine reaches them directly.
//
// The record is composed of the parts that the layers below own, each one per thread as well:
// the shared connection and its connection string (data::ConnectionSlot), and the window's
// documents, the window itself and the two settings that the window and the reconciliations use
// (WindowSession). Those fields are references to the calling thread's parts; the settings that
// only the component reads are the record's own.
struct SharedState {
    SharedState();
    ~SharedState();
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    std::unique_ptr<data::Connection>& gConnection;  // the shared connection, empty when closed
    QString& DBConnectionString;
    QString& msgTitle;
    QString& gLoginUserId;  // stays text: passed on to the procedure as found
    QString gLoginUserName;
    QString& gInvoiceIds;      // id list of the invoices shown in vsf1
    QString& gOutboundIds;     // id list of the outbound documents shown in vsf2
    QString& gCustomerNumber;  // customer of the last document line loaded
    qint16 IsAdmin = 0;
    qint16 gCurrentYear = 0;
    qint16 gCurrentPeriod = 0;
    qint16 gIsUpdateBillNo = 0;
    double fTax1 = 0;
    double fTax2 = 0;
    qint16 gIsCloseStock = 0;
    qint16 gBillLength = 0;
    qint16 gIsUpdateInPrice = 0;
    std::unique_ptr<FrmHookResult>& gHookWindow;  // the single window, created at first use

  private:
    SharedState(data::ConnectionSlot& connection, WindowSession& window);
};

// The calling thread's record.
SharedState& shared();

}  // namespace xhook
