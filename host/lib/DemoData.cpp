#include "host/lib/DemoData.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <cmath>
#include <numeric>

#include "data/Connection.h"
#include "host/lib/DemoRandom.h"

namespace xhook::host {

namespace {

// How an invoice relates to the outbound documents that delivered its goods.
enum class Scenario {
    Matching,           // one outbound document with exactly the invoice's lines
    SplitDelivery,      // delivered in two outbound documents, first half of the lines and the rest
    QuantityDiffers,    // one outbound document whose last line delivered one unit more
    AlreadyReconciled,  // matching, and both documents already belong to a reconciliation
    LineWithoutSource,  // the last invoice line names no outbound document; the others match
    ExtraDelivery,      // matching, plus an outbound document of the customer never invoiced
};

struct PlannedInvoice {
    int customerInGroup;
    Scenario scenario;
};

// One group: four customers and their invoices, in this order. With the first group's ids:
// 1001-5001, 1002-5002, 1003-5003+5004, 1004-5005 (quantity), 1005-5006, 1006-5007 (reconciled),
// 1007-5008, 1008-5009, 1009-5010 (line without source), 1010-5011, 1011-5012, 1012-5013,
// 1013-5014, 1014-5015 plus 5016 not invoiced.
const QList<PlannedInvoice> kGroupPlan = {
    {0, Scenario::Matching},        {0, Scenario::Matching},      {0, Scenario::SplitDelivery},
    {0, Scenario::QuantityDiffers}, {1, Scenario::Matching},      {1, Scenario::AlreadyReconciled},
    {1, Scenario::Matching},        {2, Scenario::Matching},      {2, Scenario::LineWithoutSource},
    {2, Scenario::Matching},        {2, Scenario::Matching},      {3, Scenario::Matching},
    {3, Scenario::Matching},        {3, Scenario::ExtraDelivery},
};
constexpr int kCustomersPerGroup = 4;
// Statuses that are NULL in every group: the invoice at this plan position, and the (first)
// outbound document of the invoice at that one.
constexpr int kInvoiceWithoutStatus = 6;
constexpr int kOutboundWithoutStatusOf = 1;

constexpr int kFirstInvoiceId = 1001;
constexpr int kFirstOutboundId = 5001;
constexpr double kTaxRate = 13.0;
constexpr int kDemoUserId = 1;
constexpr int kReconciliationType = 2;

struct CatalogueItem {
    const char* number;
    QString name;
    QString model;
    QString unit;
    double price;
};

const QList<CatalogueItem>& catalogue() {
    static const QList<CatalogueItem> items = {
        {"01.001", "不锈钢六角螺栓", "M8×30", "盒", 45.00},
        {"01.002", "六角螺母", "M8", "盒", 18.50},
        {"01.003", "平垫圈", "Φ8", "包", 6.80},
        {"01.004", "弹簧垫圈", "Φ8", "包", 7.20},
        {"02.001", "深沟球轴承", "6205-2RS", "个", 23.60},
        {"02.002", "圆锥滚子轴承", "30208", "个", 58.00},
        {"02.003", "三角带", "B-1600", "根", 32.00},
        {"03.001", "三相异步电动机", "Y2-90L-4 1.5kW", "台", 980.00},
        {"03.002", "变频器", "7.5kW 380V", "台", 2650.00},
        {"03.003", "交流接触器", "CJX2-2510", "只", 68.00},
        {"03.004", "小型断路器", "DZ47-63 C32", "只", 21.50},
        {"03.005", "中间继电器", "JZX-22F", "只", 15.80},
        {"04.001", "电力电缆", "YJV-3×4", "米", 26.40},
        {"04.002", "控制电缆", "KVVP-7×1.5", "米", 12.90},
        {"05.001", "配电箱", "XL-21", "台", 1380.00},
        {"05.002", "按钮开关", "LA38-11", "只", 9.60},
    };
    return items;
}

// Customer names from three lists of pairwise coprime lengths: the first 360 are all different.
QString customerName(int n) {
    static const QStringList cities = {"上海", "北京", "广州", "杭州",
                                       "南京", "苏州", "武汉", "成都"};
    static const QStringList words = {"宏达", "恒信", "华锐", "金鼎", "瑞丰",
                                      "东方", "永安", "天成", "博远"};
    static const QStringList trades = {"机电设备", "五金制品", "电气工程", "自动化科技",
                                       "工业物资"};
    QString name = cities[n % cities.size()] + words[n % words.size()] + trades[n % trades.size()] +
                   QStringLiteral("有限公司");
    const int distinct = int(cities.size() * words.size() * trades.size());
    if (n >= distinct) name += QString::number(n / distinct + 1);
    return name;
}

double round2(double value) {
    return std::round(value * 100.0) / 100.0;
}

struct Line {
    int itemId = 0;
    double qty = 0;
    double price = 0;
    double amount = 0;
    double tax = 0;
    double amountWithTax = 0;
};

void computeAmounts(Line& line) {
    line.amount = round2(line.qty * line.price);
    line.tax = round2(line.amount * kTaxRate / 100.0);
    line.amountWithTax = round2(line.amount + line.tax);
}

QString numbered(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(n, 6, 10, QChar('0'));
}

struct DocumentTables {
    const char* header;
    const char* lines;
    const char* numberPrefix;
    int firstId;
};
const DocumentTables kInvoiceTables{"icsale", "icsaleentry", "XSFP", kFirstInvoiceId};
const DocumentTables kOutboundTables{"icstockbill", "icstockbillentry", "XSCK", kFirstOutboundId};

QString billNumber(const DocumentTables& tables, int id) {
    return numbered(tables.numberPrefix, id - tables.firstId + 1);
}

struct DocumentHead {
    int customer = 0;
    QDate date;
    QVariant status;
    QVariant hook;  // the reconciliation that the document belongs to
};

// Writes the rows, numbering documents as it goes.
class DemoWriter {
  public:
    DemoWriter(data::Connection& connection, const DemoOptions& options)
        : connection_(connection), options_(options), random_(options.seed) {}

    DemoSummary run() {
        writeItems();
        const int invoices = options_.invoices > 0 ? options_.invoices : int(kGroupPlan.size());
        for (int n = 0; n < invoices; ++n) writeInvoice(n);
        return summary_;
    }

  private:
    void writeItems() {
        const QList<CatalogueItem>& items = catalogue();
        for (int i = 0; i < items.size(); ++i)
            connection_.execute(
                QStringLiteral("insert into t_icitem(fitemid,fnumber,fname,fmodel,funit,fprice) "
                               "values(?,?,?,?,?,?)"),
                {i + 1, QString::fromLatin1(items[i].number), items[i].name, items[i].model,
                 items[i].unit, items[i].price});
        summary_.items = int(items.size());
    }

    // Customers are written when first used, so that a short run makes only those it needs.
    int customerId(int n) {
        while (summary_.customers <= n) {
            const int k = summary_.customers++;
            connection_.execute(QStringLiteral("insert into t_customer(fitemid,fnumber,fname,"
                                               "fcustomeridnumber) values(?,?,?,?)"),
                                {k + 1, QStringLiteral("C%1").arg(k + 1, 4, 10, QChar('0')),
                                 customerName(k), numbered("91310000MA1K", k + 1)});
        }
        return n + 1;
    }

    void writeInvoice(int n) {
        const int position = n % int(kGroupPlan.size());
        const PlannedInvoice& plan = kGroupPlan[position];
        const int customer =
            customerId(n / int(kGroupPlan.size()) * kCustomersPerGroup + plan.customerInGroup);
        const bool needsTwoLines = plan.scenario == Scenario::SplitDelivery ||
                                   plan.scenario == Scenario::LineWithoutSource;
        const QList<Line> lines = makeLines(qMax(lineCount(), needsTwoLines ? 2 : 1));
        DocumentHead invoice{customer, QDate(2024, 3, 1).addDays(random_.between(0, 59)), {}, {}};
        DocumentHead delivery{customer, invoice.date.addDays(-random_.between(0, 7)), {}, {}};
        invoice.status = position == kInvoiceWithoutStatus ? QVariant() : status(60);
        delivery.status = position == kOutboundWithoutStatusOf ? QVariant() : status(70);
        const int reconciliation =
            plan.scenario == Scenario::AlreadyReconciled ? ++summary_.reconciliations : 0;
        if (reconciliation) invoice.hook = delivery.hook = reconciliation;

        const QList<QVariant> sources = writeDeliveries(plan.scenario, delivery, lines);
        const int invoiceId = kFirstInvoiceId + summary_.invoices++;
        writeDocument(kInvoiceTables, invoiceId, invoice, lines, sources);
        summary_.invoiceLines += int(lines.size());
        if (plan.scenario == Scenario::ExtraDelivery) {
            DocumentHead extra{customer, invoice.date.addDays(1), status(70), {}};
            writeOutbound(extra, makeLines(lineCount()));
        }
        if (reconciliation)
            writeReconciliation(reconciliation, customer, invoice.date, invoiceId,
                                summary_.outboundDocuments + kFirstOutboundId - 1);
    }

    // The outbound documents that delivered an invoice's lines; answers each line's source.
    QList<QVariant> writeDeliveries(Scenario scenario, const DocumentHead& head,
                                    const QList<Line>& lines) {
        QList<QVariant> sources(lines.size());
        switch (scenario) {
            case Scenario::SplitDelivery: {
                const qsizetype half = (lines.size() + 1) / 2;
                const int first = writeOutbound(head, lines.mid(0, half));
                DocumentHead rest = head;
                rest.status = status(70);
                const int second = writeOutbound(rest, lines.mid(half));
                for (qsizetype i = 0; i < lines.size(); ++i) sources[i] = i < half ? first : second;
                break;
            }
            case Scenario::QuantityDiffers: {
                QList<Line> delivered = lines;
                delivered.last().qty += 1;
                computeAmounts(delivered.last());
                sources.fill(writeOutbound(head, delivered));
                break;
            }
            case Scenario::LineWithoutSource:
                sources.fill(writeOutbound(head, lines.mid(0, lines.size() - 1)));
                sources.last() = QVariant();
                break;
            default:
                sources.fill(writeOutbound(head, lines));
                break;
        }
        return sources;
    }

    int lineCount() {
        return options_.linesPerInvoice > 0 ? options_.linesPerInvoice : random_.between(1, 4);
    }

    QVariant status(int percentAudited) { return random_.chance(percentAudited) ? 1 : 0; }

    // Lines with different items as far as the catalogue goes, in a shuffled order.
    QList<Line> makeLines(int count) {
        const QList<CatalogueItem>& items = catalogue();
        QList<int> order(items.size());
        std::iota(order.begin(), order.end(), 1);
        for (qsizetype i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[random_.between(0, int(i))]);
        QList<Line> lines;
        for (int j = 0; j < count; ++j) {
            Line line;
            line.itemId = order[j % order.size()];
            line.qty = random_.between(1, 60) + (random_.chance(25) ? 0.5 : 0.0);
            line.price = round2(items[line.itemId - 1].price * random_.between(95, 105) / 100.0);
            computeAmounts(line);
            lines.append(line);
        }
        return lines;
    }

    int writeOutbound(const DocumentHead& head, const QList<Line>& lines) {
        const int id = kFirstOutboundId + summary_.outboundDocuments++;
        writeDocument(kOutboundTables, id, head, lines, {});
        summary_.outboundLines += int(lines.size());
        return id;
    }

    // One document's header and lines; `sources` (invoices only) names each line's outbound
    // document.
    void writeDocument(const DocumentTables& tables, int id, const DocumentHead& head,
                       const QList<Line>& lines, const QList<QVariant>& sources) {
        connection_.execute(QStringLiteral("insert into %1(finterid,fbillno,fdate,fcustid,fstatus,"
                                           "fhookinterid) values(?,?,?,?,?,?)")
                                .arg(tables.header),
                            {id, billNumber(tables, id), head.date.toString(Qt::ISODate),
                             head.customer, head.status, head.hook});
        const bool sourced = !sources.isEmpty();
        const QString insertLine =
            QStringLiteral(
                "insert into %1(finterid,fentryid,fitemid,fqty,fprice,famount,ftaxrate,"
                "ftaxamount,fallamount%2) values(?,?,?,?,?,?,?,?,?%3)")
                .arg(tables.lines, sourced ? ",fsinterid" : "", sourced ? ",?" : "");
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            QVariantList values{id,       int(i + 1), l.itemId, l.qty,          l.price,
                                l.amount, kTaxRate,   l.tax,    l.amountWithTax};
            if (sourced) values.append(sources[i]);
            connection_.execute(insertLine, values);
        }
    }

    // A reconciliation made earlier by the demo user, of one invoice with one outbound document.
    void writeReconciliation(int id, int customer, const QDate& date, int invoiceId,
                             int outboundId) {
        connection_.execute(QStringLiteral("insert into t_GS_billGJ(finterid,fbillno,fdate,fuserid,"
                                           "ftype,fcustid) values(?,?,?,?,?,?)"),
                            {id, numbered("GJ", id), date.toString(Qt::ISODate) + " 16:30:00",
                             kDemoUserId, kReconciliationType, customer});
        const QString insertEntry = QStringLiteral(
            "insert into t_GS_billGJEntry(finterid,fentryid,fbilltype,fbillinterid,fbillno) "
            "values(?,?,?,?,?)");
        connection_.execute(
            insertEntry, {id, 1, 1, invoiceId, numbered("XSFP", invoiceId - kFirstInvoiceId + 1)});
        connection_.execute(insertEntry, {id, 2, 2, outboundId,
                                          numbered("XSCK", outboundId - kFirstOutboundId + 1)});
    }

    data::Connection& connection_;
    const DemoOptions options_;
    DemoRandom random_;
    DemoSummary summary_;
};

}  // namespace

int demoInvoicesPerGroup() {
    return int(kGroupPlan.size());
}

DemoSummary generateDemoData(data::Connection& connection, const DemoOptions& options) {
    const bool ownTransaction = !connection.inTransaction();
    if (ownTransaction) connection.beginTrans();
    const DemoSummary summary = DemoWriter(connection, options).run();
    if (ownTransaction) connection.commitTrans();
    return summary;
}

}  // namespace xhook::host
