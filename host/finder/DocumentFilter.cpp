#include "host/finder/DocumentFilter.h"

#include <QRegularExpression>
#include <algorithm>

#include "host/finder/OutboundDocumentModel.h"

namespace xhook::host {

namespace {

qint64 dayOrOpen(const QDate& date) {
    return date.isValid() ? date.toJulianDay() : 0;
}

}  // namespace

DocumentFilter::DocumentFilter(OutboundDocumentModel& documents, QObject* parent)
    : QAbstractTableModel(parent), documents_(documents) {
    connect(&documents_, &QAbstractItemModel::modelReset, this, &DocumentFilter::relist);
    relist();
}

void DocumentFilter::setSearchText(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = text.toLower().split(blanks, Qt::SkipEmptyParts);
    if (words == words_) return;
    words_ = words;
    relist();
}

void DocumentFilter::setDateRange(const QDate& from, const QDate& to) {
    if (dayOrOpen(from) == fromDay_ && dayOrOpen(to) == toDay_) return;
    fromDay_ = dayOrOpen(from);
    toDay_ = dayOrOpen(to);
    relist();
}

void DocumentFilter::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    relist();
}

void DocumentFilter::relist() {
    beginResetModel();
    listed_.clear();
    for (int row = 0; row < documents_.rowCount(); ++row)
        if (accepts(row)) listed_.push_back(row);
    if (sortColumn_ >= 0) {
        // Equal values keep the documents' own order, whichever the direction.
        if (sortOrder_ == Qt::AscendingOrder)
            std::stable_sort(listed_.begin(), listed_.end(),
                             [this](int a, int b) { return lessThan(a, b); });
        else
            std::stable_sort(listed_.begin(), listed_.end(),
                             [this](int a, int b) { return lessThan(b, a); });
    }
    endResetModel();
}

bool DocumentFilter::accepts(int sourceRow) const {
    if (fromDay_ != 0 || toDay_ != 0) {
        const qint64 day = documents_.day(sourceRow);
        if (fromDay_ != 0 && day < fromDay_) return false;
        if (toDay_ != 0 && day > toDay_) return false;
    }
    const QString& text = documents_.searchText(sourceRow);
    for (const QString& word : words_)
        if (!text.contains(word)) return false;
    return true;
}

bool DocumentFilter::lessThan(int left, int right) const {
    const OutboundDocument& a = documents_.document(left);
    const OutboundDocument& b = documents_.document(right);
    switch (sortColumn_) {
        case OutboundDocumentModel::Date:
            return documents_.day(left) < documents_.day(right);
        case OutboundDocumentModel::Customer:
            return a.customer < b.customer;
        case OutboundDocumentModel::Amount:
            return a.amount < b.amount;
        case OutboundDocumentModel::LineCount:
            return a.lineCount < b.lineCount;
        default:
            return a.number < b.number;
    }
}

int DocumentFilter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(listed_.size());
}

int DocumentFilter::columnCount(const QModelIndex& parent) const {
    return documents_.columnCount(parent);
}

QVariant DocumentFilter::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    return documents_.data(documents_.index(sourceRow(index.row()), index.column()), role);
}

QVariant DocumentFilter::headerData(int section, Qt::Orientation orientation, int role) const {
    return documents_.headerData(section, orientation, role);
}

}  // namespace xhook::host
