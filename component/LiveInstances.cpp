#include "component/LiveInstances.h"

namespace xhook {

// Never destroyed: a host may release an instance while the process ends.
LiveInstances& LiveInstances::ofProcess() {
    static LiveInstances* table = new LiveInstances;
    return *table;
}

void LiveInstances::add(const xhook_instance* instance) {
    const std::lock_guard lock(mutex_);
    live_.insert(instance);
}

bool LiveInstances::contains(const xhook_instance* instance) const {
    const std::lock_guard lock(mutex_);
    return live_.contains(instance);
}

bool LiveInstances::remove(const xhook_instance* instance) {
    const std::lock_guard lock(mutex_);
    return live_.erase(instance) == 1;
}

}  // namespace xhook
