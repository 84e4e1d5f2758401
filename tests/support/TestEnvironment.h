#pragma once

#include <QString>

namespace velumark::test {

// Before the application object exists: time zone (unless the caller set one), private
// settings, cache and data folders, so that no test touches the user's own.
void configureProcess();
// After: application identity, English (US) locale for Qt and ICU, fresh preferences.
void configureApplication();

// Sets the default locale of Qt and ICU, e.g. "en_US" or "de_DE".
void setLocale(const QString &name);

} // namespace velumark::test
