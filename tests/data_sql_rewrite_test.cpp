// The Transact-SQL rewrite: "top N" and isnull, token by token.
#include <gtest/gtest.h>

#include "data/SqlDialect.h"

using xhook::data::rewriteTransactSql;

namespace {

std::string rewritten(const char* sql) {
    return rewriteTransactSql(QString::fromUtf8(sql)).toStdString();
}

}  // namespace

TEST(SqlRewriteTest, TopBecomesLimitAtTheEndKeepingEveryOtherCharacter) {
    EXPECT_EQ(rewritten("select top 20000 * from  vGSaleFP where 1=1 and finterid in ( 1,2) order "
                        "by finterid,forderid"),
              "select * from  vGSaleFP where 1=1 and finterid in ( 1,2) order by "
              "finterid,forderid limit 20000");
    EXPECT_EQ(rewritten("SELECT   TOP 5\tname from t"), "SELECT   name from t limit 5");
    EXPECT_EQ(rewritten("select top (3) a from t order by a "),
              "select a from t order by a limit 3 ");
    EXPECT_EQ(rewritten("select top 1 * from t;"), "select * from t limit 1;");
    EXPECT_EQ(rewritten("select top 1 * from t -- newest\n"),
              "select * from t limit 1 -- newest\n");
}

TEST(SqlRewriteTest, LimitClosesTheSubqueryItsSelectBelongsTo) {
    EXPECT_EQ(rewritten("select * from (select top 3 a from t order by a) x where a>1"),
              "select * from (select a from t order by a limit 3) x where a>1");
    EXPECT_EQ(rewritten("select top 2 a from t where a in (select b from u where c in (1,2))"),
              "select a from t where a in (select b from u where c in (1,2)) limit 2");
    EXPECT_EQ(rewritten("select top 2 a from (select top 9 b from u ) v"),
              "select a from (select b from u limit 9 ) v limit 2");
    EXPECT_EQ(rewritten("select top 1 a from t; select top 4 b from u"),
              "select a from t limit 1; select b from u limit 4");
}

TEST(SqlRewriteTest, IsnullBecomesCoalesceOnlyAsAFunction) {
    EXPECT_EQ(rewritten("select isnull(a,0), ISNULL (b, '') from t"),
              "select coalesce(a,0), coalesce (b, '') from t");
    EXPECT_EQ(rewritten("select isnullx(a), a.isnull, isnull from t where x.isnull (1)"),
              "select isnullx(a), a.isnull, isnull from t where x.isnull (1)");
    EXPECT_EQ(rewritten("select sum(isnull(fqty,0)) from t"),
              "select sum(coalesce(fqty,0)) from t");
}

TEST(SqlRewriteTest, LiteralsQuotedNamesAndCommentsAreLeftAlone) {
    const char* untouched[] = {
        "select 'select top 5 isnull(a)' from t",
        "select 'it''s select top 1 x' , \"top 5\" from t",
        "select [select top 3 isnull(] from t",
        "select a from t -- select top 5 isnull(\n",
        "select a /* select top 5 */ from t",
        "select * from tblFindInfoEntry where ftypeid=100  order by fentryid ",
        "delete from t_GS_tableInfo where ftablename='XSGJA' and ftype=1",
        "select topx from t",
        "select top 10 percent a from t",
        "select top @n a from t",
        "",
    };
    for (const char* sql : untouched) EXPECT_EQ(rewritten(sql), sql);
    EXPECT_EQ(rewritten("select top 2 'a) ;' from t where b=')'"),
              "select 'a) ;' from t where b=')' limit 2");
    EXPECT_EQ(rewritten("select top 2 \"x(\" from t"), "select \"x(\" from t limit 2");
    EXPECT_EQ(rewritten("select /* first */ top 2 a from t"),
              "select /* first */ a from t limit 2");
}
