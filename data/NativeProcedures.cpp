#include "data/NativeProcedures.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace xhook::data {

namespace {

// The process-wide registry, keyed by the lower-case name.
struct Registry {
    QMutex mutex;
    QHash<QString, NativeProcedure> procedures;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

void registerNativeProcedure(const QString& name, NativeProcedure procedure) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    r.procedures.insert(name.toLower(), std::move(procedure));
}

void unregisterNativeProcedure(const QString& name) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    r.procedures.remove(name.toLower());
}

NativeProcedure findNativeProcedure(const QString& name) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    return r.procedures.value(name.toLower());
}

}  // namespace xhook::data
