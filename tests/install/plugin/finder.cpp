// A document finder that shows nothing: it counts, through the component's context, the
// documents that the filter leaves, prints what it was given and what it counted, and chooses
// none.

#include <DeZuvarEDodOziv8/DocumentFinder.h>

#include <cstdio>

namespace {

class CountingFinder : public DeZuvarEDodOziv8::DocumentFinder {
  public:
    explicit CountingFinder(DeZuvarEDodOziv8::FinderContext& context) : context_(context) {}

    QString Find(QString& accessCode, QString& filter) override {
        const auto rows =
            context_.query("select count(*) from vGproductOutBill where 1=1" + filter);
        const qlonglong documents = rows->next() ? rows->value(0).toLongLong() : -1;
        std::printf("finder: access code %s, %lld documents\n", accessCode.toUtf8().constData(),
                    documents);
        std::fflush(stdout);
        return {};
    }

    QString SelectedIds() override { return {}; }

  private:
    DeZuvarEDodOziv8::FinderContext& context_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) DeZuvarEDodOziv8::DocumentFinder*
xhookCreateDocumentFinder(DeZuvarEDodOziv8::FinderContext* context) {
    return new CountingFinder(*context);
}
