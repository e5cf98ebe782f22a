// Hostile and broken texts through every way that text reaches the component's SQL: the ids of
// hookBill, the finder's SelectedIds, the customer number read from the database, the settings,
// and the grid cells that the reconciliations collect. Each is refused with a message or passed
// safely (as a bound value, or inside a quoted literal); the database stays as it was and no such
// text reaches it as SQL.

#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>
#include <iostream>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "data/StatementLog.h"
#include "foundation/Errors.h"
#include "host/lib/DemoDatabase.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/ReliabilitySupport.h"
#include "tests/support/TestSupport.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;
using data::StatementLog;

namespace {

QString nul(const char* before, const char* after) {
    return QString::fromLatin1(before) + QChar(0) + QString::fromLatin1(after);
}

// Texts that a careless component would splice into SQL, or that break a naive check.
QStringList hostileTexts() {
    return {
        "1) or (1=1",
        "1;delete from icsaleentry",
        "1001;delete from icsaleentry",
        "1001)) union select * from t_GS_billGJ --",
        "1001'",
        "' or ''='",
        "1001\" or \"1\"=\"1",
        "1001--",
        "1001/*",
        "/**/1001",
        "1001 ",
        " 1001",
        "1001\n",
        "1001\t1002",
        "1001\r\n1002",
        nul("1001", ""),
        nul("10", "01"),
        QStringLiteral("１００１"),         // fullwidth digits
        QStringLiteral("١٠٠١"),             // Arabic-Indic digits
        QStringLiteral("۱۰۰۱"),             // extended Arabic-Indic digits
        QStringLiteral("1001\u202e"),       // right-to-left override
        QStringLiteral("1001\u200b,1002"),  // zero-width space
        "0x3E9",
        "1e3",
        "-1001",
        "+1001",
        "1001,1002)",
        "(1001)",
        "1001%",
        "1001\\",
        QString(100000, QLatin1Char('x')),
        QString(5000, QLatin1Char('\'')),
        QStringLiteral("1001,") + QString(20000, QLatin1Char(';')),
        QString(1, QChar(0x7f)) + "1001",
        QString(1, QChar(0x1b)) + "[2J1001",
    };
}

bool onlyDigitsAndCommas(const QString& text) {
    for (QChar c : text)
        if (c != QLatin1Char(',') && (c < QLatin1Char('0') || c > QLatin1Char('9'))) return false;
    return true;
}

QString shown(const QString& text) {
    QString visible = text.left(40);
    visible.replace(QChar(0), QStringLiteral("\\0"));
    return visible;
}

// The finder whose user "chose" what the test puts into `answer`; it remembers the filter.
class ScriptedFinder : public DocumentFinder {
  public:
    static inline QString answer;
    static inline QString filterSeen;
    QString Find(QString&, QString& filter) override {
        filterSeen = filter;
        return {};
    }
    QString SelectedIds() override { return answer; }
};

class HostileInput : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        DemoDatabaseFixture::SetUp();
        clearSettings();
        writeSetting("DBOperation", "DBConnectionString", shared().DBConnectionString);
        writeSetting("SystemSetup", "msgTitle", kTitle);
        writeSetting("SystemLogin", "gLoginUserId", "1");
        registerDocumentFinderFactory(kDocumentFinderClsid,
                                      [] { return std::make_unique<ScriptedFinder>(); });
        baseline_ = documentData();
        StatementLog::start();
    }
    void TearDown() override {
        StatementLog::stop();
        registerDocumentFinderFactory(kDocumentFinderClsid, nullptr);
        shared().gHookWindow.reset();
        clearSettings();
        DemoDatabaseFixture::TearDown();
    }

    // The database without the stored grid layouts, which opening and closing the window write.
    QMap<QString, QStringList> documentData() {
        QMap<QString, QStringList> content = databaseContent(shared().DBConnectionString);
        content.remove(QStringLiteral("t_GS_tableinfo"));
        return content;
    }
    void expectDatabaseUnchanged() { EXPECT_EQ(documentData(), baseline_) << "the data changed"; }

    // No SQL text sent since the last start carries `text`; a text of digits and commas alone is
    // a valid id list, which may stand in SQL.
    void expectNoSqlCarries(const QString& text) {
        if (onlyDigitsAndCommas(text)) return;
        for (const StatementLog::Entry& entry : StatementLog::entries())
            if (entry.kind == StatementLog::Entry::Kind::Sql)
                EXPECT_FALSE(entry.text.contains(text)) << entry.text.left(200).toStdString();
    }
    bool sqlWasSent() {
        for (const StatementLog::Entry& entry : StatementLog::entries())
            if (entry.kind == StatementLog::Entry::Kind::Sql) return true;
        return false;
    }
    QVariantList procedureInputs() {
        for (const StatementLog::Entry& entry : StatementLog::entries())
            if (entry.kind == StatementLog::Entry::Kind::Procedure) return entry.values;
        return {};
    }

    QMap<QString, QStringList> baseline_;
    int refused_ = 0;
};

// Refused at the door: hookBill fails with the error's number and description before it appends
// anything, shows no message and sends no SQL; the list it had stays, and the next good call
// loads normally.
TEST_F(HostileInput, HookBillIdsAreRefusedBeforeAnySqlIsSent) {
    DeZuvarEDodOziv8::clsXoutBillHook hook;
    for (const QString& text : hostileTexts()) {
        SCOPED_TRACE(shown(text).toStdString());
        shared().gInvoiceIds = "1001";
        messages.messages.clear();
        StatementLog::start();
        QString argument = text;
        long number = 0;
        QString description;
        try {
            hook.hookBill(argument);
            ADD_FAILURE() << "hookBill must fail";
        } catch (const DeZuvarEDodOziv8::Error& error) {
            number = error.number();
            description = error.description();
        }
        EXPECT_EQ(number, RuntimeErrorNumber::InvalidProcedureCall);
        EXPECT_TRUE(description.contains(QStringLiteral("不是以逗号分隔的十进制编号列表")))
            << description.left(200).toStdString();
        EXPECT_FALSE(description.contains(QChar(0))) << "the description is not cut at a NUL";
        EXPECT_EQ(argument, text) << "the argument is not changed";
        EXPECT_EQ(shared().gInvoiceIds, "1001") << "nothing appended";
        EXPECT_TRUE(messages.messages.isEmpty()) << "no message box";
        EXPECT_FALSE(sqlWasSent());
        EXPECT_FALSE(shared().gHookWindow && shared().gHookWindow->isVisible());
        EXPECT_EQ(shared().gConnection, nullptr);
        ++refused_;
    }
    int rows = -1;
    QTimer::singleShot(0, [&] {
        rows = shared().gHookWindow->vsf1().RowCount();
        shared().gHookWindow->close();
    });
    QString good = "1002";
    EXPECT_NO_THROW(hook.hookBill(good));
    EXPECT_EQ(shared().gInvoiceIds, "1001,1002");
    EXPECT_GT(rows, 2) << "the next good call loads normally";
    EXPECT_TRUE(messages.messages.isEmpty());
    expectDatabaseUnchanged();
    std::cout << "[hostile inputs] hookBill: " << refused_ << " refused" << std::endl;
}

TEST_F(HostileInput, FinderAnswersAreRefusedAndTheListStays) {
    loadWindow("1001", "5001");
    const GridSnapshot outboundGrid = gridSnapshot(*form().vsf2);
    StatementLog::start();
    for (const QString& text : hostileTexts()) {
        SCOPED_TRACE(shown(text).toStdString());
        messages.messages.clear();
        ScriptedFinder::answer = text;
        form().MenuXOutFind->trigger();
        ASSERT_EQ(messages.messages.size(), 1);
        EXPECT_EQ(messages.messages[0].style, MessageExclamation);
        EXPECT_TRUE(messages.messages[0].text.contains(QStringLiteral("SelectedIds")));
        EXPECT_EQ(shared().gOutboundIds, "5001") << "the list is not extended";
        EXPECT_EQ(gridSnapshot(*form().vsf2), outboundGrid);
        ++refused_;
    }
    EXPECT_FALSE(sqlWasSent()) << "a refused answer does not reach the database at all";
    expectDatabaseUnchanged();
    std::cout << "[hostile inputs] SelectedIds: " << refused_ << " refused" << std::endl;
}

// The customer number comes from the database and goes into the finder's filter between quotes.
// Whatever it holds, the filter selects that customer's unreconciled documents and nothing else.
TEST_F(HostileInput, CustomerNumbersFromTheDatabaseStayInsideTheirLiteral) {
    const QStringList numbers = {
        "x' or '1'='1",
        "x'; delete from icsaleentry; --",
        "x' --",
        "x'/*",
        "'",
        "''",
        "x\\' or 1=1 --",
        QStringLiteral("９１３１'）or（1=1"),
        QString(3000, QLatin1Char('\'')),
        QStringLiteral("x' or fcustomeridnumber like '%"),
    };
    data::Connection db;
    db.setConnectionString(shared().DBConnectionString);
    db.open();
    const qint64 customer =
        db.openResultSet("select fcustid from icsale where finterid=1001")->value(0).toLongLong();
    for (const QString& number : numbers) {
        SCOPED_TRACE(shown(number).toStdString());
        db.execute("update t_customer set fcustomeridnumber=? where fitemid=?", {number, customer});
        const QMap<QString, QStringList> before = documentData();
        QStringList expected;
        for (auto rows = db.openResultSet(
                 QStringLiteral("select finterid from icstockbill where fcustid=%1 and "
                                "coalesce(fhookinterid,0)=0 order by finterid")
                     .arg(customer));
             !rows->eof(); rows->moveNext())
            expected << rows->value(0).toString();

        messages.messages.clear();
        shared().gInvoiceIds = "1001";
        ASSERT_TRUE(window.find1());
        EXPECT_EQ(shared().gCustomerNumber, number);
        ScriptedFinder::answer.clear();
        shared().gOutboundIds.clear();
        form().MenuXOutFind->trigger();
        EXPECT_TRUE(messages.messages.isEmpty());

        // The host's finder appends the filter to its own condition.
        QStringList found;
        for (auto rows = db.openResultSet("select finterid from vGproductOutBill where 1=1" +
                                          ScriptedFinder::filterSeen + " order by finterid");
             !rows->eof(); rows->moveNext())
            found << rows->value(0).toString();
        EXPECT_EQ(found, expected) << ScriptedFinder::filterSeen.left(200).toStdString();
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(documentData(), before);
        ++refused_;
    }
    std::cout << "[hostile inputs] customer numbers: " << refused_ << " kept in their literal"
              << std::endl;
}

// Cell texts go to the procedure as bound values (the procedure refuses what is no id) and into
// the automatic reconciliation's query only when they are decimal ids.
TEST_F(HostileInput, GridCellsReachTheProcedureOnlyAsBoundValues) {
    int manual = 0, automatic = 0;
    for (const QString& text : hostileTexts()) {
        SCOPED_TRACE(shown(text).toStdString());
        for (QAction* HookForm::*command : {&HookForm::MenuBillHook1, &HookForm::MenuAutoHook}) {
            fillDocumentGrid(*form().vsf1, {"1001"});
            form().vsf1->setCellProperty(FlexGrid::kSelectorText, 1, 0, text);
            fillDocumentGrid(*form().vsf2, {"5001"});
            messages.messages.clear();
            StatementLog::start();
            (form().*command)->trigger();
            ASSERT_EQ(messages.messages.size(), 1) << "refused with a message";
            EXPECT_EQ(messages.messages[0].style, MessageExclamation);
            EXPECT_EQ(messages.messages[0].title, kTitle);
            EXPECT_NE(messages.messages[0].text, QStringLiteral("钩稽成功!"));
            EXPECT_TRUE(commandsEnabled());
            EXPECT_EQ(shared().gConnection, nullptr);
            expectNoSqlCarries(text);
            const QVariantList inputs = procedureInputs();
            if (!inputs.isEmpty())
                EXPECT_EQ(inputs.value(1).toString(), "," + text + ",") << "as a bound value";
            ++(command == &HookForm::MenuBillHook1 ? manual : automatic);
        }
    }
    expectDatabaseUnchanged();
    std::cout << "[hostile inputs] grid cells: " << manual << " manual, " << automatic
              << " automatic, all refused" << std::endl;
}

// Settings are the host's texts: the user id goes to the procedure as a typed value and must
// convert to an integer, the title is only shown. The documents are ones that the procedure
// refuses (invoice 1001 with another invoice's delivery), so that nothing is written either way.
TEST_F(HostileInput, SettingsTextsArePassedAsValuesOnly) {
    int refusedIds = 0, passedAsNumber = 0;
    for (const QString& text : hostileTexts()) {
        SCOPED_TRACE(shown(text).toStdString());
        shared().gLoginUserId = text;
        shared().msgTitle = text;
        loadWindow("1001", "5002");
        messages.messages.clear();
        StatementLog::start();
        form().MenuBillHook1->trigger();
        ASSERT_EQ(messages.messages.size(), 1);
        EXPECT_EQ(messages.messages[0].title, text) << "the title is shown as it is";
        EXPECT_EQ(messages.messages[0].style, MessageExclamation);
        bool isNumber = false;
        text.toLongLong(&isNumber);
        if (procedureInputs().isEmpty()) {
            ++refusedIds;
        } else {
            EXPECT_TRUE(isNumber) << "only a user id that converts to an integer is sent";
            EXPECT_FALSE(text.contains(QChar(0))) << "a NUL would cut the number short";
            ++passedAsNumber;
        }
        expectNoSqlCarries(text);
        EXPECT_TRUE(commandsEnabled());
    }
    expectDatabaseUnchanged();
    std::cout << "[hostile inputs] user ids: " << refusedIds << " refused, " << passedAsNumber
              << " sent as the integer they convert to" << std::endl;
}

}  // namespace
