#include "support/TestEnvironment.h"

#include "store/AppPreferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <unicode/locid.h>

namespace velumark::test {

namespace {
QTemporaryDir &privateHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/velumark-test-home-XXXXXX"));
    return home;
}
} // namespace

void configureProcess()
{
    if (!std::getenv("TZ"))
        setenv("TZ", "Europe/Berlin", 1);
    tzset();
    const QByteArray home = privateHome().path().toUtf8();
    setenv("XDG_CONFIG_HOME", (home + "/config").constData(), 1);
    setenv("XDG_CACHE_HOME", (home + "/cache").constData(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").constData(), 1);
}

void configureApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationName(QStringLiteral("Velumark"));
    setLocale(QStringLiteral("en_US"));
    setPreferences(
        std::make_unique<AppPreferences>(privateHome().filePath(QStringLiteral("preferences.ini"))));
}

void setLocale(const QString &name)
{
    QLocale::setDefault(QLocale(name));
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(name.toUtf8().constData()), status);
}

} // namespace velumark::test
