#include "data/NativeProcedures.h"

#include "foundation/CaseFoldedRegistry.h"

namespace xhook::data {

namespace {

CaseFoldedRegistry<NativeProcedure>& registry() {
    static CaseFoldedRegistry<NativeProcedure> procedures;
    return procedures;
}

}  // namespace

void registerNativeProcedure(const QString& name, NativeProcedure procedure) {
    registry().set(name, std::move(procedure));
}

void unregisterNativeProcedure(const QString& name) {
    registry().set(name, nullptr);
}

NativeProcedure findNativeProcedure(const QString& name) {
    return registry().find(name);
}

}  // namespace xhook::data
