#include "store/AppPreferences.h"

#include "store/Localization.h"

#include <QDir>
#include <QSettings>
#include <mutex>
#include <utility>

namespace velumark {

namespace {

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

std::mutex preferencesMutex;
std::unique_ptr<AppPreferences> sharedPreferences;

} // namespace

AppPreferences &getPreferences()
{
    const std::lock_guard lock(preferencesMutex);
    if (!sharedPreferences)
        sharedPreferences = std::make_unique<AppPreferences>();
    return *sharedPreferences;
}

void setPreferences(std::unique_ptr<AppPreferences> preferences)
{
    const std::lock_guard lock(preferencesMutex);
    sharedPreferences = std::move(preferences);
}

AppPreferences::AppPreferences() : m_settings(std::make_unique<QSettings>())
{
    load();
}

AppPreferences::AppPreferences(const QString &settingsFile)
    : m_settings(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat))
{
    load();
}

AppPreferences::~AppPreferences() = default;

void AppPreferences::load()
{
    QSettings &s = *m_settings;
    m_sortArtworksByArtist = s.value(key(kSortArtworkByArtistKey), false).toBool();

    // The duration is stored plus one, so that 0 means "never set".
    bool ok = false;
    qint64 duration = s.value(key(kNearDeadlineDurationKey), 0).toLongLong(&ok);
    if (!ok || duration < 1 || duration > 1000) {
        duration = 2;
        s.setValue(key(kNearDeadlineDurationKey), duration);
    }
    m_deadlineDuration = duration - 1;

    qint64 units = s.value(key(kNearDeadlineDurationUnitsKey), 0).toLongLong(&ok);
    if (!ok || units < 1 || units > 4) {
        units = 2;
        s.setValue(key(kNearDeadlineDurationUnitsKey), units);
    }
    m_deadlineUnits = units;

    // 1 = off, 2 = on, 0 = never set.
    qint64 clear = s.value(key(kClearAfterDeadlineKey), 0).toLongLong(&ok);
    if (!ok || clear < 1 || clear > 2) {
        clear = 2;
        s.setValue(key(kClearAfterDeadlineKey), clear);
    }
    m_clearAfterDeadline = clear == 2;
    write();
}

void AppPreferences::setSortArtworksByArtist(bool on)
{
    const bool changed = m_sortArtworksByArtist.exchange(on) != on;
    m_settings->setValue(key(kSortArtworkByArtistKey), on);
    write();
    if (changed)
        announceSortOrder();
}

void AppPreferences::setClearAfterDeadline(bool on)
{
    const bool changed = m_clearAfterDeadline.exchange(on) != on;
    m_settings->setValue(key(kClearAfterDeadlineKey), on ? 2 : 1);
    write();
    if (changed)
        announceDeadlineHighlighting();
}

bool AppPreferences::setDeadlineUnits(qint64 units)
{
    if (units < 1 || units > 4)
        return false;
    const bool changed = m_deadlineUnits.exchange(units) != units;
    m_settings->setValue(key(kNearDeadlineDurationUnitsKey), units);
    write();
    if (changed)
        announceDeadlineHighlighting();
    return true;
}

bool AppPreferences::setDeadlineDuration(qint64 duration)
{
    if (duration < 0 || duration > 999)
        return false;
    if (m_deadlineDuration.exchange(duration) != duration)
        announceDeadlineHighlighting();
    return true;
}

void AppPreferences::storeDeadlineDuration()
{
    m_settings->setValue(key(kNearDeadlineDurationKey), m_deadlineDuration + 1);
    write();
}

void AppPreferences::announceSortOrder()
{
    if (m_holding)
        m_sortOrderPending = true;
    else
        emit sortArtworksByArtistChanged(m_sortArtworksByArtist);
}

void AppPreferences::announceDeadlineHighlighting()
{
    if (m_holding)
        m_deadlinePending = true;
    else
        emit deadlineHighlightingChanged();
}

void AppPreferences::releaseAnnouncements()
{
    m_holding = false;
    if (std::exchange(m_sortOrderPending, false))
        announceSortOrder();
    if (std::exchange(m_deadlinePending, false))
        announceDeadlineHighlighting();
}

void AppPreferences::write()
{
    m_settings->sync();
    m_lastWriteFailed = m_settings->status() != QSettings::NoError;
}

Result<> AppPreferences::lastWrite() const
{
    if (!m_lastWriteFailed)
        return {};
    return Failure{localized("The preferences could not be written to %1.")
                       .arg(QDir::toNativeSeparators(m_settings->fileName()))};
}

} // namespace velumark
