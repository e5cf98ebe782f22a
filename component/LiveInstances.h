#pragma once

#include <mutex>
#include <unordered_set>

struct xhook_instance;

namespace xhook {

// The instances that the C surface has handed out and not yet released, for the process: a host
// names an instance by its pointer, and a pointer that is not in the table (never given, or
// released already) is refused rather than used. An instance is known by its address, so a
// pointer released and then handed out again by a later xhook_create names that new instance.
class LiveInstances {
  public:
    static LiveInstances& ofProcess();

    void add(const xhook_instance* instance);
    bool contains(const xhook_instance* instance) const;
    // Takes the instance out of the table; false when it was not there.
    bool remove(const xhook_instance* instance);

  private:
    mutable std::mutex mutex_;
    std::unordered_set<const xhook_instance*> live_;
};

}  // namespace xhook
