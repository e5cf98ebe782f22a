#pragma once

#include <QLocale>

namespace xhook::test {

// Makes `locale` the user's locale (QLocale's default) until the end of the scope.
class ScopedDefaultLocale {
  public:
    explicit ScopedDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedDefaultLocale() { QLocale::setDefault(saved_); }
    ScopedDefaultLocale(const ScopedDefaultLocale&) = delete;
    ScopedDefaultLocale& operator=(const ScopedDefaultLocale&) = delete;

  private:
    QLocale saved_;
};

}  // namespace xhook::test
