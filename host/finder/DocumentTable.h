#pragma once

#include <QString>
#include <QTableView>

namespace xhook::host {

// A table view that, while it lists no row, shows a line saying why in the middle of its empty
// area.
class DocumentTable : public QTableView {
  public:
    explicit DocumentTable(QWidget* parent = nullptr);

    void setEmptyText(const QString& text);
    const QString& emptyText() const { return emptyText_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString emptyText_;
};

}  // namespace xhook::host
