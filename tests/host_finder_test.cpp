#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "host/finder/DocumentTable.h"
#include "host/finder/FinderDialog.h"
#include "host/finder/OutboundDocumentQuery.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/FinderRegistration.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/ScopedDefaultLocale.h"
#include "tests/support/TestSupport.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FinderContext.h"

using namespace xhook;

namespace {

enum Column { Number, Date, Customer, Amount, Lines };

// The filter the window's outbound lookup passes for a customer.
QString customerFilter(const QString& customerNumber) {
    return " and fcustomeridnumber='" + customerNumber + "' and isnull(fhookinterid,0)=0 ";
}

// The documents as the plugin reads them: through the component's finder context, on the
// database that the thread's settings name.
host::OutboundDocuments readDocuments(const QString& connectionString, const QString& filter) {
    shared().DBConnectionString = connectionString;
    return host::readOutboundDocuments(componentFinderContext(), filter);
}

// The demo database of one group (16 outbound documents 5001-5016, XSCK000001-16, of four
// customers; 5007 reconciled), with each document's amount on its first line and the documents
// dated 2024-03-01 (5001) to 2024-03-16 (5016).
class FinderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connectionString = host::sqliteConnectionString(dir.file("host.db"));
        host::createDemoDatabase(connectionString, {});
        data::Connection connection;
        connection.setConnectionString(connectionString);
        connection.open();
        connection.execute("update icstockbillentry set famount=0");
        for (int id = 5001; id <= 5016; ++id)
            connection.execute(
                "update icstockbillentry set famount=? where finterid=? and "
                "fentryid=1",
                {kAmounts.value(id, 3.0), id});
        connection.execute(
            "update icstockbill set fdate=date('2024-03-01', '+'||(finterid-5001)||' days')");
        connection.close();
    }

    host::OutboundDocuments allDocuments() const {
        return readDocuments(connectionString, " and 1=1 ");
    }

    // A dialog over every document of the database, amounts in `locale`.
    std::unique_ptr<host::FinderDialog> dialogOverAll(const QLocale& locale = QLocale()) {
        auto dialog = std::make_unique<host::FinderDialog>();
        dialog->setDocuments(allDocuments(), locale);
        return dialog;
    }

    static void showActive(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static QTableView& list(QDialog& dialog) {
        return *dialog.findChild<QTableView*>("documentList");
    }
    static QLineEdit& search(QDialog& dialog) {
        return *dialog.findChild<QLineEdit*>("searchField");
    }
    static QString status(QDialog& dialog) {
        return dialog.findChild<QLabel*>("statusLine")->text();
    }
    static QString emptyText(QDialog& dialog) {
        return dialog.findChild<host::DocumentTable*>("documentList")->emptyText();
    }
    static QStringList listed(QDialog& dialog, int column = Number) {
        const QAbstractItemModel& model = *list(dialog).model();
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts.append(model.index(row, column).data().toString());
        return texts;
    }
    // Selects the listed row of each document number, adding to the selection as Ctrl+click.
    static void choose(QDialog& dialog, const QStringList& numbers) {
        QTableView& view = list(dialog);
        for (int row = 0; row < view.model()->rowCount(); ++row)
            if (numbers.contains(view.model()->index(row, Number).data().toString()))
                view.selectionModel()->select(
                    view.model()->index(row, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QStringList numbers(std::initializer_list<int> ids) {
        QStringList texts;
        for (int id : ids) texts.append(QString("XSCK%1").arg(id - 5000, 6, 10, QChar('0')));
        return texts;
    }

    inline static const QMap<int, double> kAmounts = {
        {5001, 1080}, {5002, 58416.5}, {5003, 1234567.891}, {5004, -25.4},
        {5005, 0},    {5006, 9},       {5007, 80},          {5008, 700},
    };

    test::TempDir dir;
    QString connectionString;
};

TEST_F(FinderTest, ReadsOneRowPerDocumentWithTheSumsOfItsLines) {
    data::Connection connection;
    connection.setConnectionString(connectionString);
    connection.open();
    const QList<QVariantList> expected = test::readRows(
        connection,
        "select h.finterid, h.fbillno, h.fdate, c.fname, round(sum(e.famount), 2), count(*) "
        "from icstockbill h join t_customer c on c.fitemid=h.fcustid join icstockbillentry e on "
        "e.finterid=h.finterid where c.fcustomeridnumber='91310000MA1K000002' and "
        "coalesce(h.fhookinterid,0)=0 group by h.finterid, h.fbillno, h.fdate, c.fname "
        "order by h.fbillno");
    connection.close();
    const host::OutboundDocuments read =
        readDocuments(connectionString, customerFilter("91310000MA1K000002"));

    ASSERT_EQ(read.size(), 2);  // 5006 and 5008; 5007 is reconciled
    ASSERT_EQ(read.size(), expected.size());
    for (qsizetype i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].id, expected[i][0].toLongLong());
        EXPECT_EQ(read[i].number, expected[i][1].toString());
        EXPECT_EQ(read[i].date, expected[i][2].toString());
        EXPECT_EQ(read[i].customer, expected[i][3].toString());
        EXPECT_DOUBLE_EQ(read[i].amount, expected[i][4].toDouble());
        EXPECT_EQ(read[i].lineCount, expected[i][5].toInt());
    }
}

TEST_F(FinderTest, SearchNarrowsByNumberCustomerAndAmount) {
    const test::ScopedDefaultLocale chinese(QLocale(QLocale::Chinese, QLocale::China));
    struct Case {
        QString typed;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"", numbers({5001, 5002, 5003, 5004, 5005, 5006, 5007, 5008, 5009, 5010, 5011, 5012, 5013,
                      5014, 5015, 5016})},
        {"XSCK000002", numbers({5002})},
        {"xsck000002", numbers({5002})},  // case does not matter
        {"xsck00001", numbers({5010, 5011, 5012, 5013, 5014, 5015, 5016})},
        {"上海宏达", numbers({5001, 5002, 5003, 5004, 5005})},  // the first customer
        {"1,080.00", numbers({5001})},                          // as written
        {"1080", numbers({5001})},                              // without grouping
        {"58416.5", numbers({5002})},
        {"1,234,567.89", numbers({5003})},
        {"-25.40", numbers({5004})},
        {"  上海   1080 ", numbers({5001})},  // every word, blanks around them ignored
        {"2024-03-05", numbers({5005})},
        {"2024-03-1", numbers({5010, 5011, 5012, 5013, 5014, 5015, 5016})},
        {"北京 1080", {}},
        {"不存在的单据", {}},
    };
    auto dialog = dialogOverAll();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        search(*dialog).setText(c.typed);
        EXPECT_EQ(listed(*dialog), c.expected);
        const QString why = c.expected.isEmpty() ? "没有符合搜索内容和日期范围的单据。" : "";
        EXPECT_EQ(emptyText(*dialog), why);
        EXPECT_TRUE(status(*dialog).startsWith(why)) << status(*dialog).toStdString();
        EXPECT_TRUE(status(*dialog).contains(
            QString("显示 %1 张，共 16 张；已选 0 张").arg(c.expected.size())))
            << status(*dialog).toStdString();
    }
}

TEST_F(FinderTest, DateRangeKeepsTheDocumentsDatedWithinItBothEndsIncluded) {
    struct Case {
        QDate from;
        QDate to;
        QStringList expected;
    };
    const QList<Case> cases = {
        {QDate(2024, 3, 3), QDate(2024, 3, 5), numbers({5003, 5004, 5005})},
        {QDate(2024, 3, 16), QDate(2024, 12, 31), numbers({5016})},
        {QDate(2024, 1, 1), QDate(2024, 3, 1), numbers({5001})},
        {QDate(2024, 3, 6), QDate(2024, 3, 5), {}},  // the start after the end
        {QDate(2024, 4, 1), QDate(2024, 4, 30), {}},
    };
    auto dialog = dialogOverAll();
    auto* from = dialog->findChild<QDateEdit*>("dateFrom");
    auto* to = dialog->findChild<QDateEdit*>("dateTo");
    // The range starts as the documents' own.
    EXPECT_EQ(from->date(), QDate(2024, 3, 1));
    EXPECT_EQ(to->date(), QDate(2024, 3, 16));
    EXPECT_EQ(listed(*dialog).size(), 16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.toString(Qt::ISODate).toStdString() + " to " +
                     c.to.toString(Qt::ISODate).toStdString());
        from->setDate(c.from);
        to->setDate(c.to);
        EXPECT_EQ(listed(*dialog), c.expected);
        EXPECT_EQ(emptyText(*dialog),
                  c.expected.isEmpty() ? "没有符合搜索内容和日期范围的单据。" : "");
    }
    // The search and the range together.
    from->setDate(QDate(2024, 3, 1));
    to->setDate(QDate(2024, 3, 3));
    search(*dialog).setText("上海");
    EXPECT_EQ(listed(*dialog), numbers({5001, 5002, 5003}));
}

TEST_F(FinderTest, AmountsAreWrittenWithTheLocalesSeparatorsAndAlignedRight) {
    struct Case {
        QLocale locale;
        QStringList amounts;  // 5001 to 5005
        QString typed;        // finds 5003 as the locale writes amounts
    };
    const QList<Case> cases = {
        {QLocale(QLocale::Chinese, QLocale::China),
         {"1,080.00", "58,416.50", "1,234,567.89", "-25.40", "0.00"},
         "1,234,567.89"},
        {QLocale(QLocale::German, QLocale::Germany),
         {"1.080,00", "58.416,50", "1.234.567,89", "-25,40", "0,00"},
         "1.234.567,89"},
        {QLocale(QLocale::German, QLocale::Germany), {}, "1234567,89"},
        {QLocale(QLocale::German, QLocale::Germany), {}, "1234567.89"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString() + " " + c.typed.toStdString());
        auto dialog = dialogOverAll(c.locale);
        if (!c.amounts.isEmpty()) {
            EXPECT_EQ(listed(*dialog, Amount).mid(0, 5), c.amounts);
            const QVariant alignment =
                list(*dialog).model()->index(0, Amount).data(Qt::TextAlignmentRole);
            EXPECT_TRUE(alignment.value<Qt::Alignment>() & Qt::AlignRight);
        }
        search(*dialog).setText(c.typed);
        EXPECT_EQ(listed(*dialog), numbers({5003}));
    }
}

TEST_F(FinderTest, EveryColumnSortsByValue) {
    struct Case {
        int column;
        Qt::SortOrder order;
        QStringList firstNumbers;
    };
    // Amounts 1080, 58416.5, 1234567.89, -25.4, 0, 9, 80, 700, the rest 3.
    const QList<Case> cases = {
        {Amount, Qt::AscendingOrder, numbers({5004, 5005, 5009})},
        {Amount, Qt::DescendingOrder, numbers({5003, 5002, 5001, 5008, 5007, 5006})},
        {Date, Qt::DescendingOrder, numbers({5016, 5015, 5014})},
        {Number, Qt::DescendingOrder, numbers({5016, 5015, 5014})},
    };
    auto dialog = dialogOverAll();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        list(*dialog).sortByColumn(c.column, c.order);
        EXPECT_EQ(listed(*dialog).mid(0, c.firstNumbers.size()), c.firstNumbers);
    }
    // Line counts and customers: each next row's value is not before the last one's.
    for (int column : {int(Lines), int(Customer)}) {
        list(*dialog).sortByColumn(column, Qt::AscendingOrder);
        const QStringList values = listed(*dialog, column);
        for (qsizetype i = 1; i < values.size(); ++i) {
            if (column == Lines)
                EXPECT_LE(values[i - 1].toInt(), values[i].toInt());
            else
                EXPECT_LE(values[i - 1], values[i]);
        }
    }
}

TEST_F(FinderTest, ACustomerWithoutUnreconciledDocumentsIsToldSo) {
    auto dialog = std::make_unique<host::FinderDialog>();
    dialog->setDocuments(readDocuments(connectionString, customerFilter("NO-SUCH-CUSTOMER")));
    EXPECT_TRUE(listed(*dialog).isEmpty());
    EXPECT_EQ(emptyText(*dialog), "该客户没有未钩稽的销售出库单。");
    EXPECT_TRUE(status(*dialog).startsWith("该客户没有未钩稽的销售出库单。"));
    EXPECT_FALSE(search(*dialog).isEnabled());
}

TEST_F(FinderTest, KeysChooseAndCancel) {
    struct Case {
        const char* name;
        QString typed;
        QStringList selected;  // chosen in the list before the key
        bool keyInList;
        Qt::Key key;
        QDialog::DialogCode result;
        QString ids;
    };
    const QList<Case> cases = {
        // Enter in the search field with nothing chosen takes the first row listed.
        {"enter in search", "XSCK000003", {}, false, Qt::Key_Return, QDialog::Accepted, "5003"},
        {"enter on keypad", "上海", {}, false, Qt::Key_Enter, QDialog::Accepted, "5001"},
        // Enter takes the chosen documents, wherever it is pressed.
        {"enter in search with choice", "", numbers({5002, 5004}), false, Qt::Key_Return,
         QDialog::Accepted, "5002,5004"},
        {"enter in list", "", numbers({5006}), true, Qt::Key_Return, QDialog::Accepted, "5006"},
        {"escape in search", "XSCK000003", {}, false, Qt::Key_Escape, QDialog::Rejected, ""},
        {"escape in list", "", numbers({5006}), true, Qt::Key_Escape, QDialog::Rejected, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto dialog = dialogOverAll();
        showActive(*dialog);
        search(*dialog).setText(c.typed);
        choose(*dialog, c.selected);
        QWidget* target = c.keyInList ? static_cast<QWidget*>(&list(*dialog)) : &search(*dialog);
        target->setFocus();
        QTest::keyClick(target, c.key);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), c.result);
        if (c.result == QDialog::Accepted) {
            EXPECT_EQ(dialog->selectedIds(), c.ids);
        }
    }
}

TEST_F(FinderTest, DownFromTheSearchFieldSelectsTheFirstRowListed) {
    auto dialog = dialogOverAll();
    showActive(*dialog);
    search(*dialog).setFocus();
    // Typed as an input method gives it: one text, no key codes.
    QTest::sendKeyEvent(QTest::Click, &search(*dialog), Qt::Key_unknown, "北京", Qt::NoModifier);
    QTest::keyClick(&search(*dialog), Qt::Key_Down);
    EXPECT_TRUE(list(*dialog).hasFocus());
    EXPECT_EQ(dialog->selectedIds(), "5006");
    EXPECT_TRUE(status(*dialog).contains("已选 1 张"));
}

TEST_F(FinderTest, AChoiceIsKeptWhileASearchHidesIt) {
    auto dialog = dialogOverAll();
    choose(*dialog, numbers({5002}));
    // A search that hides 5002; 5010 is chosen beside it.
    search(*dialog).setText("XSCK00001");
    EXPECT_TRUE(list(*dialog).selectionModel()->selectedRows().isEmpty());
    EXPECT_TRUE(status(*dialog).contains("显示 7 张，共 16 张；已选 1 张"));
    choose(*dialog, numbers({5010}));
    EXPECT_EQ(dialog->selectedIds(), "5010,5002");  // the listed first, then the hidden
    // A sort keeps the choice.
    list(*dialog).sortByColumn(Number, Qt::DescendingOrder);
    EXPECT_EQ(dialog->selectedIds(), "5010,5002");
    // Cleared, the search lists both as selected again.
    search(*dialog).clear();
    QStringList selected;
    for (const QModelIndex& row : list(*dialog).selectionModel()->selectedRows())
        selected.append(row.data().toString());
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, numbers({5002, 5010}));
    EXPECT_EQ(dialog->selectedIds(), "5010,5002");  // listed by number, descending
    EXPECT_TRUE(status(*dialog).contains("已选 2 张"));
    // Deselected by the user, a document is no longer chosen.
    const int row10 = int(listed(*dialog).indexOf(numbers({5010}).first()));
    list(*dialog).selectionModel()->select(
        list(*dialog).model()->index(row10, 0),
        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_EQ(dialog->selectedIds(), "5002");
    EXPECT_TRUE(status(*dialog).contains("已选 1 张"));
}

TEST_F(FinderTest, ControlsCarryAccessibleNamesAndDescriptions) {
    auto dialog = dialogOverAll();
    const QMap<QString, QString> names = {
        {"searchField", "搜索"},        {"dateFrom", "起始日期"}, {"dateTo", "截止日期"},
        {"documentList", "销售出库单"}, {"statusLine", "单据数"},
    };
    for (auto it = names.begin(); it != names.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        auto* widget = dialog->findChild<QWidget*>(it.key());
        ASSERT_NE(widget, nullptr);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), it.value());
        EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty());
    }
}

// Through the plugin, as the window's lookup uses it: a typed search and Enter.
TEST_F(FinderTest, PluginFindsWhatIsTypedAndAnswersIt) {
    qputenv("XHOOK_COMPONENT_REGISTRY", dir.file("ComponentRegistry.ini").toUtf8());
    const QString plugin = host::demoFinderPluginPath();
    ASSERT_FALSE(plugin.isEmpty()) << "build the xhookfinder target: no libxhookfinder.so found";
    host::registerDemoFinder(plugin);
    shared().DBConnectionString = connectionString;
    std::unique_ptr<DocumentFinder> finder = createDocumentFinder(kDocumentFinderClsid);
    QString code = "@#^wmzt";
    QString filter = customerFilter("91310000MA1K000001");
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return ADD_FAILURE() << "no finder dialog shown";
        shown = listed(*dialog);
        QTest::keyClicks(&search(*dialog), "58416");
        QTest::keyClick(&search(*dialog), Qt::Key_Return);
    });
    finder->Find(code, filter);
    EXPECT_EQ(shown, numbers({5001, 5002, 5003, 5004, 5005}));
    EXPECT_EQ(finder->SelectedIds(), "5002");
    host::unregisterDemoFinder();
}

}  // namespace
