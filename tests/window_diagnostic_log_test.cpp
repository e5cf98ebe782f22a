#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringList>

#include "component/SharedState.h"
#include "reconcile/Reconciliations.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/ReconcileTestSupport.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

const QString kPassword = QStringLiteral("Secr3t-Pw0rd");

// The lines of the xhook categories written while it lives, each as "category: message", with
// the categories turned on as a support engineer turns them on.
class CapturedLog {
  public:
    explicit CapturedLog(const QString& rules = QStringLiteral("xhook.*=true")) {
        QLoggingCategory::setFilterRules(rules);
        current = this;
        previous_ = qInstallMessageHandler(&CapturedLog::handle);
    }
    ~CapturedLog() {
        qInstallMessageHandler(previous_);
        current = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }

    QStringList lines;
    QString all() const { return lines.join('\n'); }
    QStringList matching(const QString& pattern) const {
        return lines.filter(QRegularExpression(pattern));
    }

  private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& message) {
        const QString category = QString::fromLatin1(context.category);
        if (current && category.startsWith(QLatin1String("xhook.")))
            current->lines << category + ": " + message;
    }
    static inline CapturedLog* current = nullptr;
    QtMessageHandler previous_ = nullptr;
};

// On the server, the connection string carries a password, which the trust of the tests' server
// lets pass unused; it must appear in no line.
class DiagnosticLog : public DemoDatabaseBackendFixture {
  protected:
    void SetUp() override {
        DemoDatabaseBackendFixture::SetUp();
        if (onServer(GetParam()))
            shared().DBConnectionString += QStringLiteral(";Password=") + kPassword;
    }
};

TEST_P(DiagnosticLog, AGridLoadWritesItsConnectionStatementsRowsAndResult) {
    CapturedLog log;
    loadWindow("1001", "");
    const int lines = window.vsf1().RowCount() - 2;

    const QString provider = throughOdbc(GetParam())         ? "MSDASQL"
                             : GetParam() == Backend::SQLite ? "SQLite"
                                                             : "PostgreSQL";
    QStringList connection = log.matching("^xhook.connection: ");
    if (throughOdbc(GetParam())) {
        // Through ODBC, the server that the driver reaches, once it is open.
        ASSERT_EQ(connection.size(), 4) << log.all().toStdString();
        EXPECT_EQ(connection.takeAt(1),
                  "xhook.connection: the ODBC driver reaches PostgreSQL (PostgreSQL statements)");
    }
    ASSERT_EQ(connection.size(), 3) << log.all().toStdString();
    EXPECT_TRUE(connection[0].startsWith("xhook.connection: opening provider=" + provider));
    EXPECT_TRUE(connection[1].startsWith("xhook.connection: opened "));
    EXPECT_TRUE(connection[2].startsWith("xhook.connection: closed "));
    EXPECT_TRUE(
        connection[0].contains(GetParam() == Backend::SQLite ? "data source=" : "database="));

    // The configuration query and the line query, as sent after the rewrite, each with its
    // duration, and then the rows read from each.
    const QStringList sent = log.matching("^xhook.sql: #\\d+ sent \\(\\d+\\.\\d ms\\): ");
    ASSERT_EQ(sent.size(), 2) << log.all().toStdString();
    EXPECT_TRUE(
        sent[0].endsWith("select * from tblFindInfoEntry where ftypeid=100  order by fentryid "));
    EXPECT_TRUE(sent[1].contains("from  vGSaleFP where 1=1 and finterid in ( 1001)"));
    EXPECT_FALSE(sent[1].contains("top 20000")) << "the text after the rewrite";
    const QString lineNumber = QRegularExpression("#\\d+").match(sent[1]).captured();
    EXPECT_EQ(log.matching("^xhook.sql: " + lineNumber + " " + QString::number(lines) +
                           " rows read \\(\\d+\\.\\d ms since sent\\)$")
                  .size(),
              1)
        << log.all().toStdString();
    EXPECT_EQ(
        log.matching("^xhook.window: vsf1 loaded: " + QString::number(lines + 2) + " rows$").size(),
        1)
        << log.all().toStdString();
    EXPECT_FALSE(log.all().contains(kPassword));
}

TEST_P(DiagnosticLog, AReconciliationWritesTheProcedureCallWithItsAnswerAndTheMessage) {
    loadWindow("1001", "5001");
    CapturedLog log;
    MenuBillHook1_Click(form());
    expectOnlyMessage("钩稽成功!", 64, false);

    const QStringList calls = log.matching("^xhook.sql: procedure sp_GS_billGJ\\(");
    ASSERT_EQ(calls.size(), 1) << log.all().toStdString();
    EXPECT_TRUE(calls[0].contains("',5001,'")) << calls[0].toStdString();
    EXPECT_TRUE(calls[0].contains("',1001,'")) << calls[0].toStdString();
    EXPECT_TRUE(calls[0].contains(QRegularExpression(
        "answered \\(\\d+\\.\\d ms\\): intReturnValue=1, strReturnValue='钩稽成功")))
        << calls[0].toStdString();
    EXPECT_EQ(
        log.matching("^xhook.window: message \\(style 64, title " + kTitle + "\\): 钩稽成功!$")
            .size(),
        1)
        << log.all().toStdString();
    EXPECT_EQ(log.matching("^xhook.connection: opened ").size(), 1);
    EXPECT_EQ(log.matching("^xhook.connection: closed ").size(), 1);
    EXPECT_FALSE(log.all().contains(kPassword));
}

// A failed open names where it went and the error's number, never the password.
TEST_P(DiagnosticLog, AFailedOpenWritesTheErrorWithItsNumberAndNoPassword) {
    shared().DBConnectionString = missingDatabaseConnectionString(GetParam(), dir.path()) +
                                  QStringLiteral(";Password=") + kPassword;
    CapturedLog log;
    shared().gInvoiceIds = "1001";
    EXPECT_ANY_THROW(window.find1());
    EXPECT_EQ(log.matching("^xhook.connection: open failed: provider=").size(), 1)
        << log.all().toStdString();
    EXPECT_GE(log.matching("^xhook.sql: error -?\\d+").size(), 1) << log.all().toStdString();
    EXPECT_FALSE(log.all().contains(kPassword)) << log.all().toStdString();
}

// Off, which is how a site finds the categories, nothing is written; each category is turned on
// by itself.
TEST_P(DiagnosticLog, OffByDefaultAndEachCategoryByItself) {
    struct Case {
        QString rules;
        QStringList categories;
    };
    const QList<Case> cases = {
        {QString(), {}},
        {"xhook.sql.debug=true", {"xhook.sql"}},
        {"xhook.connection=true", {"xhook.connection"}},
        {"xhook.window.debug=true", {"xhook.window"}},
        {"xhook.*=true\nxhook.sql=false", {"xhook.connection", "xhook.window"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rules.toStdString());
        CapturedLog log(c.rules);
        window.close();
        loadWindow("1001", "");
        QStringList seen;
        for (const QString& line : log.lines) {
            const QString category = line.section(':', 0, 0);
            if (!seen.contains(category)) seen << category;
        }
        seen.sort();
        EXPECT_EQ(seen, c.categories) << log.all().toStdString();
    }
}

XHOOK_ON_EACH_PROVIDER(DiagnosticLog);

}  // namespace
