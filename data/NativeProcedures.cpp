#include "data/NativeProcedures.h"

#include "foundation/CaseFoldedRegistry.h"

namespace xhook::data {

namespace {

struct Registered {
    NativeProcedure procedure;
    QList<DeclaredParameter> parameters;
    explicit operator bool() const { return bool(procedure); }
};

CaseFoldedRegistry<Registered>& registry() {
    static CaseFoldedRegistry<Registered> procedures;
    return procedures;
}

}  // namespace

void registerNativeProcedure(const QString& name, NativeProcedure procedure,
                             QList<DeclaredParameter> parameters) {
    registry().set(name, {std::move(procedure), std::move(parameters)});
}

void unregisterNativeProcedure(const QString& name) {
    registry().set(name, {});
}

NativeProcedure findNativeProcedure(const QString& name) {
    return registry().find(name).procedure;
}

std::optional<QList<DeclaredParameter>> nativeProcedureParameters(const QString& name) {
    const Registered registered = registry().find(name);
    if (!registered) return std::nullopt;
    return registered.parameters;
}

}  // namespace xhook::data
