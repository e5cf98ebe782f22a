#pragma once

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

namespace xhook {

// A process-wide table of values by name, the names compared without regard to case. Hosts and
// tests may register from any thread, hence the lock. A value that converts to false (an empty
// std::function) stands for none: registering one removes the name.
template <typename Value>
class CaseFoldedRegistry {
  public:
    void set(const QString& name, Value value) {
        QMutexLocker lock(&mutex_);
        if (value)
            values_.insert(name.toCaseFolded(), std::move(value));
        else
            values_.remove(name.toCaseFolded());
    }

    // None when the name is not registered.
    Value find(const QString& name) const {
        QMutexLocker lock(&mutex_);
        return values_.value(name.toCaseFolded());
    }

  private:
    mutable QMutex mutex_;
    QHash<QString, Value> values_;
};

}  // namespace xhook
