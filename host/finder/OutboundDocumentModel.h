#pragma once

#include <QAbstractTableModel>
#include <QLocale>
#include <QStringList>
#include <vector>

#include "host/finder/OutboundDocument.h"

namespace xhook::host {

// The finder's documents as a table: number, date, customer, amount (#,##0.00 in the locale,
// right-aligned) and line count, one row per document. Everything the filter and the sort look
// at is worked out once, when the documents are set. The model also keeps which documents the
// user has chosen, so that a choice outlives the rows that a search hides.
class OutboundDocumentModel : public QAbstractTableModel {
  public:
    enum Column { Number, Date, Customer, Amount, LineCount, ColumnCount };
    // The document's internal id, as text, on every column.
    static constexpr int IdRole = Qt::UserRole + 1;

    explicit OutboundDocumentModel(QObject* parent = nullptr);

    // Replaces the documents; nothing is chosen afterwards. Amounts are written in `locale`.
    void setDocuments(const OutboundDocuments& documents, const QLocale& locale = QLocale());

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // What the filter and the sort read of a row.
    const OutboundDocument& document(int row) const { return rows_[size_t(row)].document; }
    // The date as a day number, or none (0) for a date that does not read as yyyy-MM-dd.
    qint64 day(int row) const { return rows_[size_t(row)].day; }
    // Lower-case texts the search looks in: number, date, customer and the amount as written with
    // and without digit grouping, separated so that no match runs from one into the next.
    const QString& searchText(int row) const { return rows_[size_t(row)].searchText; }
    QString displayText(int row, int column) const;

    bool isChosen(int row) const { return rows_[size_t(row)].chosen; }
    void setChosen(int row, bool chosen);
    int chosenCount() const { return chosenCount_; }

    // The longest text of a column (the header's included), to size the column by.
    QString longestText(int column) const;
    // The first and last day among the documents; 0 when there is none.
    qint64 firstDay() const { return firstDay_; }
    qint64 lastDay() const { return lastDay_; }

  private:
    struct Row {
        OutboundDocument document;
        qint64 day = 0;
        QString amountText;
        QString searchText;
        bool chosen = false;
    };

    std::vector<Row> rows_;
    int chosenCount_ = 0;
    qint64 firstDay_ = 0;
    qint64 lastDay_ = 0;
};

}  // namespace xhook::host
