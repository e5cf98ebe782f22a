#pragma once

#include <QWidget>

class QLabel;
class QTableWidget;

namespace xhook::demo {

// The least host window: the host database's sales invoices to pick from, and a button that
// calls hookBill with the picked ids, as the host application does.
class InvoicePicker : public QWidget {
    Q_OBJECT

  public:
    explicit InvoicePicker(QWidget* parent = nullptr);

  private:
    void reload();
    void reconcilePicked();
    QString pickedIds() const;

    QTableWidget* invoices_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace xhook::demo
