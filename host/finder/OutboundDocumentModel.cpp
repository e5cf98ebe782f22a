#include "host/finder/OutboundDocumentModel.h"

#include <QDate>
#include <algorithm>

namespace xhook::host {

namespace {

const QStringList& headers() {
    static const QStringList texts = {QStringLiteral("单据编号"), QStringLiteral("日期"),
                                      QStringLiteral("客户"), QStringLiteral("金额"),
                                      QStringLiteral("分录数")};
    return texts;
}

// Separates the searched texts: no one types it.
constexpr QChar kFieldBreak(0x1f);

// "yyyy-MM-dd" as a day number; 0 for anything else.
qint64 dayOf(const QString& date) {
    const QDate parsed = QDate::fromString(date, Qt::ISODate);
    return parsed.isValid() ? parsed.toJulianDay() : 0;
}

QString searchTextOf(const OutboundDocument& document, const QString& amountText,
                     const QLocale& locale) {
    QLocale ungrouped = locale;
    ungrouped.setNumberOptions(QLocale::OmitGroupSeparator);
    return (document.number + kFieldBreak + document.date + kFieldBreak + document.customer +
            kFieldBreak + amountText + kFieldBreak + ungrouped.toString(document.amount, 'f', 2) +
            kFieldBreak + QString::number(document.amount, 'f', 2))
        .toLower();
}

}  // namespace

OutboundDocumentModel::OutboundDocumentModel(QObject* parent) : QAbstractTableModel(parent) {}

void OutboundDocumentModel::setDocuments(const OutboundDocuments& documents,
                                         const QLocale& locale) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(size_t(documents.size()));
    chosenCount_ = 0;
    firstDay_ = lastDay_ = 0;
    for (const OutboundDocument& document : documents) {
        Row row{document, dayOf(document.date), locale.toString(document.amount, 'f', 2), {}};
        row.searchText = searchTextOf(document, row.amountText, locale);
        if (row.day != 0) {
            firstDay_ = firstDay_ == 0 ? row.day : std::min(firstDay_, row.day);
            lastDay_ = std::max(lastDay_, row.day);
        }
        rows_.push_back(std::move(row));
    }
    endResetModel();
}

int OutboundDocumentModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int OutboundDocumentModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString OutboundDocumentModel::displayText(int row, int column) const {
    const Row& r = rows_[size_t(row)];
    switch (column) {
        case Number:
            return r.document.number;
        case Date:
            return r.document.date;
        case Customer:
            return r.document.customer;
        case Amount:
            return r.amountText;
        case LineCount:
            return QString::number(r.document.lineCount);
        default:
            return {};
    }
}

QVariant OutboundDocumentModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return displayText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            if (index.column() == Amount || index.column() == LineCount)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case IdRole:
            return QString::number(document(index.row()).id);
        default:
            return {};
    }
}

QVariant OutboundDocumentModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return headers()[section];
    if (role == Qt::TextAlignmentRole && (section == Amount || section == LineCount))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void OutboundDocumentModel::setChosen(int row, bool chosen) {
    Row& r = rows_[size_t(row)];
    if (r.chosen == chosen) return;
    r.chosen = chosen;
    chosenCount_ += chosen ? 1 : -1;
}

QString OutboundDocumentModel::longestText(int column) const {
    QString longest = headers().value(column);
    for (int row = 0; row < rowCount(); ++row) {
        QString text = displayText(row, column);  // the stored texts are shared, not copied
        if (text.size() > longest.size()) longest = std::move(text);
    }
    return longest;
}

}  // namespace xhook::host
