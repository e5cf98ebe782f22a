#include "host/demo/InvoicePicker.h"

#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "component/UserSettings.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "foundation/Conversions.h"
#include "foundation/Errors.h"

namespace xhook::demo {

namespace {

const char* kInvoiceQuery =
    "select h.finterid, h.fbillno, h.fdate, c.fname as fcustname,"
    " (select sum(e.fallamount) from icsaleentry e where e.finterid = h.finterid) as famount,"
    " isnull(h.fhookinterid,0) as fhookinterid"
    " from icsale h join t_customer c on c.fitemid = h.fcustid order by h.fbillno";

QTableWidgetItem* item(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(alignment | Qt::AlignVCenter);
    return cell;
}

}  // namespace

InvoicePicker::InvoicePicker(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("演示宿主 - 销售发票"));
    invoices_ = new QTableWidget(0, 5, this);
    invoices_->setHorizontalHeaderLabels({QStringLiteral("发票号"), QStringLiteral("日期"),
                                          QStringLiteral("客户"), QStringLiteral("价税合计"),
                                          QStringLiteral("钩稽")});
    invoices_->setSelectionBehavior(QAbstractItemView::SelectRows);
    invoices_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    invoices_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    invoices_->horizontalHeader()->setStretchLastSection(true);
    invoices_->verticalHeader()->hide();
    auto* hook = new QPushButton(QStringLiteral("钩稽所选发票(&H)"), this);
    auto* refresh = new QPushButton(QStringLiteral("刷新(&R)"), this);
    status_ = new QLabel(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hook);
    buttons->addWidget(refresh);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(invoices_);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    connect(hook, &QPushButton::clicked, this, &InvoicePicker::reconcilePicked);
    connect(refresh, &QPushButton::clicked, this, &InvoicePicker::reload);
    connect(invoices_, &QTableWidget::cellDoubleClicked, this, &InvoicePicker::reconcilePicked);
    resize(720, 480);
    reload();
}

void InvoicePicker::reload() {
    invoices_->setRowCount(0);
    try {
        readUserSettings(shared());
        data::Connection connection;
        connection.setConnectionString(shared().DBConnectionString);
        connection.open();
        auto rows = connection.openResultSet(QString::fromLatin1(kInvoiceQuery));
        for (int r = 0; !rows->eof(); rows->moveNext(), ++r) {
            invoices_->insertRow(r);
            auto* number = item(valueText(rows->value("fbillno")));
            number->setData(Qt::UserRole, valueText(rows->value("finterid")));
            invoices_->setItem(r, 0, number);
            invoices_->setItem(r, 1, item(valueText(rows->value("fdate"))));
            invoices_->setItem(r, 2, item(valueText(rows->value("fcustname"))));
            invoices_->setItem(r, 3,
                               item(QLocale().toString(rows->value("famount").toDouble(), 'f', 2),
                                    Qt::AlignRight));
            const bool hooked = rows->value("fhookinterid").toLongLong() != 0;
            invoices_->setItem(r, 4,
                               item(hooked ? QStringLiteral("已钩稽") : QStringLiteral("未钩稽")));
        }
        status_->setText(
            QStringLiteral("%1 张发票。选择发票后按“钩稽所选发票”。").arg(invoices_->rowCount()));
    } catch (const ComponentError& e) {
        status_->setText(QStringLiteral("无法读取宿主数据库: %1").arg(e.description()));
    }
    invoices_->resizeColumnsToContents();
}

QString InvoicePicker::pickedIds() const {
    QStringList ids;
    for (const QModelIndex& index : invoices_->selectionModel()->selectedRows(0))
        ids << index.data(Qt::UserRole).toString();
    return ids.join(',');
}

void InvoicePicker::reconcilePicked() {
    QString ids = pickedIds();
    if (ids.isEmpty()) {
        status_->setText(QStringLiteral("请先选择发票。"));
        return;
    }
    try {
        DeZuvarEDodOziv8::clsXoutBillHook hook;
        hook.hookBill(ids);
    } catch (const DeZuvarEDodOziv8::Error& e) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("hookBill 失败 (%1): %2").arg(e.number()).arg(e.description()));
    }
    reload();
}

}  // namespace xhook::demo
