#include "window/FinderContext.h"

#include "data/Connection.h"
#include "data/ConnectionSlot.h"
#include "data/ResultSet.h"
#include "foundation/Errors.h"

namespace xhook {

namespace {

// A query's rows on the connection that was opened for it; both end with the rows.
class ConnectionRows : public DeZuvarEDodOziv8::DocumentRows {
  public:
    ConnectionRows(std::unique_ptr<data::Connection> connection,
                   std::unique_ptr<data::ResultSet> rows)
        : connection_(std::move(connection)), rows_(std::move(rows)) {}

    bool next() override {
        if (started_) rows_->moveNext();
        started_ = true;
        return !rows_->eof();
    }

    QVariant value(int field) const override { return rows_->value(field); }

  private:
    std::unique_ptr<data::Connection> connection_;
    std::unique_ptr<data::ResultSet> rows_;
    bool started_ = false;
};

class ComponentFinderContext : public DeZuvarEDodOziv8::FinderContext {
  public:
    std::unique_ptr<DeZuvarEDodOziv8::DocumentRows> query(const QString& sql) override {
        auto connection = std::make_unique<data::Connection>();
        connection->setConnectionString(data::connectionSlot().DBConnectionString);
        connection->open();
        std::unique_ptr<data::ResultSet> rows =
            connection->openResultSet(sql, data::RowReading::Streamed);
        return std::make_unique<ConnectionRows>(std::move(connection), std::move(rows));
    }

    [[noreturn]] void raiseInvalidCall(const QString& detail) override {
        raiseInvalidProcedureCall(detail);
    }
};

}  // namespace

DeZuvarEDodOziv8::FinderContext& componentFinderContext() {
    static ComponentFinderContext context;
    return context;
}

}  // namespace xhook
