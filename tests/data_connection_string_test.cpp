// Parsing of ADO-style connection strings.
#include <gtest/gtest.h>

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
