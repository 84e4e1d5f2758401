#pragma once

#include <QDateTime>
#include <QString>

class QIODevice;
#include <memory>

namespace velumark {

class AppPreferences;

// The shared object of the application: preferences, "now", day rounding and calendar
// arithmetic, and small file operations. The interchange hand-over lives with the interchange
// code (InterchangeHandOver), which is layered above the document.
class VelumarkUtility
{
public:
    static VelumarkUtility &sharedManager();

    // The preferences object; made from the application's settings on first use.
    AppPreferences &getPreferences();
    // Replaces the preferences object (a front end with its own settings file, or a test).
    void setPreferences(std::unique_ptr<AppPreferences> preferences);

    // "Now": the real clock, or a fixed instant set by tests. Safe from any thread.
    static QDateTime now();
    static void setFixedNow(const QDateTime &instant);
    static void clearFixedNow();

    // The start of today: roundDate(now()). While a TodayScope lives on the calling thread, the
    // answer is the one it took when it began (as a UTC instant), so that an operation asking for
    // every record at once converts the time only once.
    static QDateTime today();
    class TodayScope
    {
    public:
        TodayScope();
        ~TodayScope();
        TodayScope(const TodayScope &) = delete;
        TodayScope &operator=(const TodayScope &) = delete;

    private:
        bool m_outermost;
    };

    // Start of the date's day (local midnight; the first valid instant on a day whose midnight
    // falls in a daylight-saving gap). Null for a null date.
    static QDateTime roundDate(const QDateTime &date);
    // The date moved back or forward by amount units of 1 day, 2 week, 3 month or 4 year, in the
    // local calendar (the day is clamped at month ends). Unit 0 gives a null date; any other unit
    // gives the date unchanged. A result beyond the calendar is null.
    static QDateTime subtractInterval(qint64 amount, const QDateTime &date, qint64 units);
    static QDateTime addInterval(qint64 amount, const QDateTime &date, qint64 units);

    // Whole calendar days from one date to a later one, truncated; 0 when `to` is not after
    // `from` or either is null.
    static qint64 wholeDaysBetween(const QDateTime &from, const QDateTime &to);

    // An instant taken apart in local time once, so that wholeDaysBetween can be answered for many
    // pairs without converting each again. `usable` is false for a null date or one whose local
    // date cannot be had; wholeDaysBetween on such a value must use the dates themselves.
    struct LocalDay
    {
        bool usable = false;
        qint64 msecs = 0;     // since 1970, UTC
        qint64 julianDay = 0; // of the local date
        int msecsOfDay = 0;   // of the local time
    };
    static LocalDay localDay(const QDateTime &date);
    // The same answer as wholeDaysBetween on the two dates; both must be usable.
    static qint64 wholeDaysBetween(const LocalDay &from, const LocalDay &to);

    // True when nothing is at the path afterwards.
    static bool removeFileIfExists(const QString &path);
    // Writes all the bytes; what the device takes only in part is written again, so that a refused
    // write fails with the system's reason (a full disk), which a short count alone does not give.
    static bool writeAll(QIODevice &device, const char *data, qint64 size);
    // Copies a file to a new one (replacing what is there); false with the reason, naming neither
    // file, and without a partial copy.
    static bool copyFile(const QString &source, const QString &destination, QString *reason);
    // Remove whatever is at the destination, then copy or move; true when done.
    static bool copyFileFrom(const QString &source, const QString &destination);
    static bool moveFileFrom(const QString &source, const QString &destination);
    // Renames, but never over something that exists at the destination (even when it appears at
    // the last moment); false with the system's reason.
    static bool renameWithoutReplacing(const QString &from, const QString &to, QString *reason);
    // Exchanges what two paths name, in one step; false with the system's reason where that
    // failed (`unsupported` tells that the file system cannot do it at all).
    static bool exchangePaths(const QString &a, const QString &b, QString *reason,
                              bool *unsupported = nullptr);

    // Why a path cannot be read as a regular file, in plain words (it does not exist, it is a
    // folder, it is a device or a pipe, or the system's reason); empty when it can.
    static QString whyNotReadableFile(const QString &path);

    // The application's folder inside the user's cache folder, created when missing; empty when
    // it cannot be made.
    static QString cacheFolder();
    // The application-data folder "Velumark" where untitled documents live, created when missing.
    static QString applicationDataFolder();

private:
    VelumarkUtility();
    ~VelumarkUtility();

    std::unique_ptr<AppPreferences> m_preferences;
};

} // namespace velumark
