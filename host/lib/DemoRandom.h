#pragma once

#include <QtGlobal>

namespace xhook::host {

// A small deterministic generator (splitmix64): the same seed gives the same sequence on every
// platform and build, which the demo data relies on.
class DemoRandom {
  public:
    explicit DemoRandom(quint64 seed) : state_(seed) {}

    quint64 next() {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A whole number from `low` to `high`, both included (low <= high).
    int between(int low, int high) {
        const quint64 span = quint64(qint64(high) - qint64(low) + 1);
        return int(qint64(low) + qint64(next() % span));
    }

    bool chance(int percent) { return between(1, 100) <= percent; }

  private:
    quint64 state_;
};

}  // namespace xhook::host
