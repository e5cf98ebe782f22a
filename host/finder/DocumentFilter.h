#pragma once

#include <QDate>
#include <QSortFilterProxyModel>
#include <QStringList>

namespace xhook::host {

class OutboundDocumentModel;

// What the finder shows of its documents: those whose number, customer or amount holds every
// word of the search (without regard to case; an amount matches as the locale writes it, with or
// without digit grouping, or with a plain "."), dated within the date range, sorted by any
// column by value (amounts and line counts as numbers, dates as dates).
class DocumentFilter : public QSortFilterProxyModel {
  public:
    explicit DocumentFilter(OutboundDocumentModel& documents, QObject* parent = nullptr);

    void setSearchText(const QString& text);
    // A null date leaves that end of the range open.
    void setDateRange(const QDate& from, const QDate& to);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

  private:
    OutboundDocumentModel& documents_;
    QStringList words_;
    qint64 fromDay_ = 0;  // 0: open
    qint64 toDay_ = 0;
};

}  // namespace xhook::host
