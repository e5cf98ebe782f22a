// Parsing of ADO-style connection strings.
#include <gtest/gtest.h>

#include <functional>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"

using xhook::data::ConnectionString;
using xhook::data::DbError;
using xhook::test::raisedBy;
namespace DbErrorNumber = xhook::data::DbErrorNumber;

TEST(ConnectionStringTest, KeysIgnoreCaseAndValuesAreTrimmed) {
    const auto cs =
        ConnectionString::parse("  provider = SQLite ;DATA SOURCE=  /tmp/a b.db  ;; user id=sa;");
    EXPECT_EQ(cs.provider(), "SQLite");
    EXPECT_EQ(cs.value("Data Source"), "/tmp/a b.db");
    EXPECT_EQ(cs.value("data source"), "/tmp/a b.db");
    EXPECT_TRUE(cs.contains("USER ID"));
    EXPECT_EQ(cs.value("User ID"), "sa");
    EXPECT_FALSE(cs.contains("Password"));
    EXPECT_EQ(cs.value("Password", "none"), "none");
    EXPECT_EQ(cs.value("Password"), QString());
}

TEST(ConnectionStringTest, QuotedValuesKeepSeparatorsAndDoubledQuotes) {
    const auto cs = ConnectionString::parse(
        "Password=\"a;b=c\" ; Server='it''s here' ;Database=\" padded \";Empty=''");
    EXPECT_EQ(cs.value("Password"), "a;b=c");
    EXPECT_EQ(cs.value("Server"), "it's here");
    EXPECT_EQ(cs.value("Database"), " padded ");
    EXPECT_TRUE(cs.contains("Empty"));
    EXPECT_EQ(cs.value("Empty"), "");
}

TEST(ConnectionStringTest, EmptyTextHasNoProvider) {
    EXPECT_EQ(ConnectionString::parse("").provider(), QString());
    EXPECT_EQ(ConnectionString::parse(" ; ;").provider(), QString());
}

TEST(ConnectionStringTest, MalformedTextIsRefusedWithItsProblem) {
    const DbError noEquals =
        raisedBy<DbError>([] { ConnectionString::parse("Provider=SQLite;junk"); });
    EXPECT_EQ(noEquals.number(), DbErrorNumber::InvalidConnectionString);
    EXPECT_TRUE(noEquals.description().contains("without '='"))
        << noEquals.description().toStdString();

    const DbError unclosed =
        raisedBy<DbError>([] { ConnectionString::parse("Password=\"abc;x=1"); });
    EXPECT_TRUE(unclosed.description().contains("unclosed quote"));

    const DbError trailing =
        raisedBy<DbError>([] { ConnectionString::parse("Password='abc' x;y=1"); });
    EXPECT_TRUE(trailing.description().contains("after a quoted value"));

    const DbError noKey = raisedBy<DbError>([] { ConnectionString::parse("=SQLite"); });
    EXPECT_TRUE(noKey.description().contains("without a key"));
}

TEST(ConnectionStringTest, RequiredKeyMissingOrEmptyNamesTheKey) {
    const auto cs = ConnectionString::parse("Provider=SQLite;Data Source=  ");
    const DbError empty = raisedBy<DbError>([&] { cs.required("Data Source"); });
    EXPECT_EQ(empty.number(), DbErrorNumber::InvalidConnectionString);
    EXPECT_TRUE(empty.description().contains("\"Data Source\""));
    const DbError missing = raisedBy<DbError>([&] { cs.required("Database"); });
    EXPECT_TRUE(missing.description().contains("\"Database\""));
    EXPECT_EQ(cs.required("provider"), "SQLite");
}

// A connection string may hold a password: a refusal says what is wrong and where, never the
// text.
TEST(ConnectionStringTest, RefusalsNeverQuoteTheText) {
    const QString secret = "Pa55-w0rd";
    const struct {
        QString text;
        QString problem;
    } cases[] = {
        {"Provider=PostgreSQL;Password=" + secret + ";junk", "without '=' at character 40"},
        {"Password=\"" + secret + ";Server=h", "an unclosed quote in the value of \"Password\""},
        {"Password='" + secret + "' x;Server=h",
         "after a quoted value, in the value of \"Password\""},
        {"Password=" + secret + ";=x", "without a key at character 20"},
        {"Password=" + secret + ";password=other", "the key \"password\" is given twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const DbError error = raisedBy<DbError>([&] { ConnectionString::parse(c.text); });
        EXPECT_EQ(error.number(), DbErrorNumber::InvalidConnectionString);
        EXPECT_TRUE(error.description().contains(c.problem)) << error.description().toStdString();
        EXPECT_FALSE(error.description().contains(secret)) << error.description().toStdString();
    }
}

TEST(ConnectionStringTest, DisplayHidesEveryPasswordAndKeepsTheRest) {
    const struct {
        QString text;
        QString shown;
    } cases[] = {
        {"Provider=SQLite;Data Source=/a/b.db", "Provider=SQLite;Data Source=/a/b.db"},
        {"Provider=PostgreSQL;Server=h;Password=s3cret;User ID=u",
         "Provider=PostgreSQL;Server=h;Password=***;User ID=u"},
        {"password = \"a;b=c\" ;Server=h", "password =***;Server=h"},
        {"Server=h;PWD='x''y'", "Server=h;PWD=***"},
        {"Server=h;Password=", "Server=h;Password=***"},
        {"Passfile=/home/u/.pgpass;Server=h", "Passfile=/home/u/.pgpass;Server=h"},
        {"Server=h;Password=\"s3cret;x=1",
         "(not shown: invalid connection string: an unclosed "
         "quote in the value of \"Password\")"},
    };
    for (const auto& c : cases) EXPECT_EQ(ConnectionString::forDisplay(c.text), c.shown);
}

TEST(ConnectionStringTest, KeysThatTheProviderDoesNotKnowAreRefusedByName) {
    const QStringList known = {"Data Source", "Mode"};
    const auto accepted = ConnectionString::parse(
        "provider=SQLite;data source=/a.db;MODE=Read;Persist Security Info=False");
    EXPECT_NO_THROW(accepted.refuseUnknownKeys(known, "SQLite"));

    const auto unknown =
        ConnectionString::parse("Provider=SQLite;Data Source=/a.db;Password=s3cret;Timeout=5");
    const DbError error = raisedBy<DbError>([&] { unknown.refuseUnknownKeys(known, "SQLite"); });
    EXPECT_EQ(error.number(), DbErrorNumber::InvalidConnectionString);
    EXPECT_EQ(error.description(),
              "the connection string's key \"Password\" is not one that the SQLite provider "
              "knows (it knows Data Source, Mode)");
}

// A key that holds a NUL or another control character is named with it escaped: the message is
// never cut at the NUL (a C host reads it as a C string) and shows what the key holds.
TEST(ConnectionStringTest, MessagesShowAKeysControlCharactersEscaped) {
    const auto withKey = [](const char* before, QChar control, const char* after) {
        return QString::fromLatin1(before) + control + QString::fromLatin1(after);
    };
    const struct {
        QString key;
        QString shown;
    } keys[] = {
        {withKey("Time", QChar(0), "out"), "Time\\0out"},
        {withKey("Time", u'\t', "out"), "Time\\tout"},
        {withKey("Time", u'\n', "out"), "Time\\nout"},
        {withKey("Time", u'\r', "out"), "Time\\rout"},
        {withKey("Time", QChar(0x1b), "out"), "Time\\u{001B}out"},
        {withKey("Time", QChar(0x7f), "out"), "Time\\u{007F}out"},
        {withKey("Time", QChar(0x202e), "out"), "Time\\u{202E}out"},
        {withKey("Time", QChar(0x200b), "out"), "Time\\u{200B}out"},
        {withKey("Time", QChar(0xfeff), "out"), "Time\\u{FEFF}out"},
    };
    const QStringList known = {"Data Source", "Mode"};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.shown.toStdString());
        const QString unknownKey = "Provider=SQLite;Data Source=/a.db;" + k.key + "=5";
        const struct {
            const char* what;
            std::function<void()> refuse;
            QString said;
        } ways[] = {
            {"a key the provider does not know",
             [&] { ConnectionString::parse(unknownKey).refuseUnknownKeys(known, "SQLite"); },
             "the connection string's key \"" + k.shown +
                 "\" is not one that the SQLite provider knows (it knows Data Source, Mode)"},
            {"a key given twice", [&] { ConnectionString::parse(k.key + "=1;" + k.key + "=2"); },
             "the key \"" + k.shown + "\" is given twice"},
            {"an unclosed quote", [&] { ConnectionString::parse(k.key + "=\"open"); },
             "an unclosed quote in the value of \"" + k.shown + "\""},
            {"text after a quoted value", [&] { ConnectionString::parse(k.key + "='a' b"); },
             "text after a quoted value, in the value of \"" + k.shown + "\""},
            {"a required key", [&] { ConnectionString::parse("Provider=SQLite").required(k.key); },
             "the connection string lacks the key \"" + k.shown + "\""},
        };
        for (const auto& way : ways) {
            SCOPED_TRACE(way.what);
            const DbError error = raisedBy<DbError>(way.refuse);
            EXPECT_TRUE(error.description().contains(way.said))
                << error.description().toStdString();
            EXPECT_FALSE(error.description().contains(k.key)) << "the control character itself";
            EXPECT_EQ(QString::fromUtf8(error.what()), error.description()) << "not cut short";
        }
    }
}
