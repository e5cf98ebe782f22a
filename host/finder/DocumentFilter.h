#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QStringList>
#include <vector>

namespace xhook::host {

class OutboundDocumentModel;

// What the finder lists of its documents: those whose number, date, customer or amount holds every
// word of the search (without regard to case; an amount matches as the locale writes it, with or
// without digit grouping, or with a plain "."), dated within the date range, sorted by any
// column by value (amounts and line counts as numbers, dates as dates), or else in the
// documents' own order. Each change lists the rows anew in one step (a model reset): a search
// over thousands of documents hides rows scattered all over the list, which as single row
// removals would cost the view one update each.
class DocumentFilter : public QAbstractTableModel {
  public:
    explicit DocumentFilter(OutboundDocumentModel& documents, QObject* parent = nullptr);

    void setSearchText(const QString& text);
    // A null date leaves that end of the range open.
    void setDateRange(const QDate& from, const QDate& to);
    // The documents' row that a listed row shows.
    int sourceRow(int row) const { return listed_[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A column of -1 restores the documents' own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  private:
    void relist();
    bool accepts(int sourceRow) const;
    bool lessThan(int left, int right) const;

    OutboundDocumentModel& documents_;
    std::vector<int> listed_;
    QStringList words_;
    qint64 fromDay_ = 0;  // 0: open
    qint64 toDay_ = 0;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace xhook::host
