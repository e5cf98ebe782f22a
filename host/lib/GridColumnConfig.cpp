#include "host/lib/GridColumnConfig.h"

#include <QList>
#include <QString>

#include "data/Connection.h"

namespace xhook::host {

namespace {

// Alignment codes of the grid: 1 left-centre, 4 centre, 7 right-centre.
constexpr const char* kLeft = "1";
constexpr const char* kCentre = "4";
constexpr const char* kRight = "7";

struct GridColumn {
    const char* field;
    QString title;
    const char* align;
    const char* format;
    bool merged;
    bool totalled;
};

QList<GridColumn> standardColumns(int typeId) {
    const QString numberTitle =
        typeId == kInvoiceGridType ? QStringLiteral("发票号码") : QStringLiteral("出库单号");
    return {
        {"fbillno", numberTitle, kLeft, "", true, false},
        {"fdate", QStringLiteral("日期"), kCentre, "yyyy-mm-dd", true, false},
        {"fcustname", QStringLiteral("客户"), kLeft, "", true, false},
        {"fitemnumber", QStringLiteral("物料代码"), kLeft, "", false, false},
        {"fitemname", QStringLiteral("物料名称"), kLeft, "", false, false},
        {"fmodel", QStringLiteral("规格型号"), kLeft, "", false, false},
        {"funit", QStringLiteral("单位"), kLeft, "", false, false},
        {"fqty", QStringLiteral("数量"), kRight, "0.00", false, true},
        {"fprice", QStringLiteral("单价"), kRight, "#,##0.00", false, false},
        {"famount", QStringLiteral("金额"), kRight, "#,##0.00", false, true},
        {"ftaxamount", QStringLiteral("税额"), kRight, "#,##0.00", false, true},
        {"fallamount", QStringLiteral("价税合计"), kRight, "#,##0.00", false, true},
    };
}

constexpr int kMergedColumnCount = 3;

// The n-th column (0-based) of a configuration of any width.
GridColumn columnAt(const QList<GridColumn>& standard, int n) {
    if (n < standard.size()) return standard[n];
    const int lineColumns = int(standard.size()) - kMergedColumnCount;
    const int beyond = n - int(standard.size());
    GridColumn column = standard[kMergedColumnCount + beyond % lineColumns];
    column.title += QString::number(2 + beyond / lineColumns);
    return column;
}

}  // namespace

int standardGridColumnCount() {
    return int(standardColumns(kInvoiceGridType).size());
}

void configureGridColumns(data::Connection& connection, int typeId, int columnCount) {
    connection.execute(QStringLiteral("delete from tblFindInfoEntry where ftypeid=?"), {typeId});
    const QList<GridColumn> standard = standardColumns(typeId);
    const QString insert = QStringLiteral(
        "insert into tblFindInfoEntry(ftypeid,fentryid,fFieldname,fTitleName,fAlign,fDataFormat,"
        "fIsMerge,fIsSum) values(?,?,?,?,?,?,?,?)");
    for (int n = 0; n < columnCount; ++n) {
        const GridColumn column = columnAt(standard, n);
        connection.execute(insert,
                           {typeId, n + 1, QString::fromLatin1(column.field), column.title,
                            QString::fromLatin1(column.align), QString::fromLatin1(column.format),
                            column.merged ? 1 : 0, column.totalled ? 1 : 0});
    }
}

}  // namespace xhook::host
