#include "host/finder/DocumentFilter.h"

#include <QRegularExpression>

#include "host/finder/OutboundDocumentModel.h"

namespace xhook::host {

namespace {

qint64 dayOrOpen(const QDate& date) {
    return date.isValid() ? date.toJulianDay() : 0;
}

}  // namespace

DocumentFilter::DocumentFilter(OutboundDocumentModel& documents, QObject* parent)
    : QSortFilterProxyModel(parent), documents_(documents) {
    setSourceModel(&documents);
}

void DocumentFilter::setSearchText(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = text.toLower().split(blanks, Qt::SkipEmptyParts);
    if (words == words_) return;
    words_ = words;
    invalidateFilter();
}

void DocumentFilter::setDateRange(const QDate& from, const QDate& to) {
    if (dayOrOpen(from) == fromDay_ && dayOrOpen(to) == toDay_) return;
    fromDay_ = dayOrOpen(from);
    toDay_ = dayOrOpen(to);
    invalidateFilter();
}

bool DocumentFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
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

bool DocumentFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const OutboundDocument& a = documents_.document(left.row());
    const OutboundDocument& b = documents_.document(right.row());
    switch (left.column()) {
        case OutboundDocumentModel::Date:
            return documents_.day(left.row()) < documents_.day(right.row());
        case OutboundDocumentModel::Customer: return a.customer < b.customer;
        case OutboundDocumentModel::Amount: return a.amount < b.amount;
        case OutboundDocumentModel::LineCount: return a.lineCount < b.lineCount;
        default: return a.number < b.number;
    }
}

}  // namespace xhook::host
