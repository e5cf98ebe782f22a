#include "host/finder/DocumentTable.h"

#include <QPainter>

namespace xhook::host {

DocumentTable::DocumentTable(QWidget* parent) : QTableView(parent) {}

void DocumentTable::setEmptyText(const QString& text) {
    if (text == emptyText_) return;
    emptyText_ = text;
    viewport()->update();
}

void DocumentTable::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (emptyText_.isEmpty() || (model() && model()->rowCount() > 0)) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    constexpr int margin = 16;
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
}

}  // namespace xhook::host
