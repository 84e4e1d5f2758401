#pragma once

#include "store/Result.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class QSettings;

namespace velumark {

// The four user preferences, read from and written to the user's settings store.
// Invalid or missing stored values are replaced by their defaults, which are written back.
// Values are safe to read from any thread; the setters and the signals belong to the thread the
// object lives in (the main thread). Each setter that changes a value announces it, so that
// whatever depends on a preference (the open documents) follows it.
class AppPreferences : public QObject
{
    Q_OBJECT
public:
    // The settings store of the application.
    AppPreferences();
    // A settings file of its own (tests, or a front end that keeps its own file).
    explicit AppPreferences(const QString &settingsFile);
    ~AppPreferences() override;

    bool sortArtworksByArtist() const { return m_sortArtworksByArtist; }
    bool clearAfterDeadline() const { return m_clearAfterDeadline; }
    qint64 deadlineUnits() const { return m_deadlineUnits; }       // 1 day, 2 week, 3 month, 4 year
    qint64 deadlineDuration() const { return m_deadlineDuration; } // number of units, 0..999

    // Each setter applies at once and writes its key. An out-of-range value is refused (false).
    void setSortArtworksByArtist(bool on);
    void setClearAfterDeadline(bool on);
    bool setDeadlineUnits(qint64 units);
    // The duration is kept in memory while it is edited and written by storeDeadlineDuration().
    bool setDeadlineDuration(qint64 duration);
    void storeDeadlineDuration();

    // While the preferences window is open, changes apply at once but are announced only when it
    // closes (release), each kind once, so that the documents re-sort and refresh once.
    void holdAnnouncements() { m_holding = true; }
    void releaseAnnouncements();

    // Whether the last write reached the settings file; a failure says where it could not go.
    // Values that could not be written still apply until the application quits.
    Result<> lastWrite() const;

    static constexpr const char *kSortArtworkByArtistKey = "sortArtworkByArtist";
    static constexpr const char *kNearDeadlineDurationKey = "nearDeadlineDuration";
    static constexpr const char *kNearDeadlineDurationUnitsKey = "nearDeadlineDurationUnits";
    static constexpr const char *kClearAfterDeadlineKey = "clearAfterDeadline";

signals:
    // The order of the artworks (and their sections by artist) follows this one.
    void sortArtworksByArtistChanged(bool on);
    // Which clients are highlighted as near their deadline: the units, the duration or whether
    // past deadlines are cleared changed.
    void deadlineHighlightingChanged();

private:
    void load();
    void write();
    void announceSortOrder();
    void announceDeadlineHighlighting();

    std::unique_ptr<QSettings> m_settings;
    std::atomic<bool> m_sortArtworksByArtist{false};
    std::atomic<bool> m_clearAfterDeadline{true};
    std::atomic<qint64> m_deadlineUnits{2};
    std::atomic<qint64> m_deadlineDuration{1};
    bool m_lastWriteFailed = false;
    bool m_holding = false;
    bool m_sortOrderPending = false;
    bool m_deadlinePending = false;
};

// The preferences of the application, made from its settings on first use.
AppPreferences &getPreferences();
// Replaces the preferences object (a front end with its own settings file, or a test); whatever
// followed the old object's signals must connect to the new one.
void setPreferences(std::unique_ptr<AppPreferences> preferences);

} // namespace velumark
