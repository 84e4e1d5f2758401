#pragma once

#include "store/Sqlite.h"

#include <QDateTime>
#include <QString>
#include <atomic>
#include <cmath>

namespace velumark {

// The lifecycle every stored record shares: construction from a row (eager fields), lazy
// loading (hydrate), change tracking, saving, releasing the lazy fields (dehydrate), discarding
// changes (unload) and deletion. Failures raise DatabaseError while abortOnError is on and
// return status 1 while it is off. A missing row is no failure: the record takes its fallbacks.
class Record
{
public:
    virtual ~Record() = default;
    Record(const Record &) = delete;
    Record &operator=(const Record &) = delete;

    qint64 primaryKey() const { return m_primaryKey; }
    bool isHydrated() const { return m_hydrated; }
    bool isDirty() const { return m_dirty; }
    bool abortOnError() const { return m_abortOnError; }
    void setAbortOnError(bool on) { m_abortOnError = on; }
    SqliteConnection *database() const { return m_database; }
    // Counts the changes to the fields held in memory (edits and reads from the row), so that
    // texts derived from them can tell whether they are still current.
    quint64 revision() const { return m_revision; }
    // Counts the same for every record of the process together: while it stays the same, no
    // record anywhere has changed a field.
    static quint64 changeCount() { return s_changeCount.load(std::memory_order_relaxed); }

    // The connection to work on after the document reopened its file.
    void reopen(SqliteConnection *database) { m_database = database; }

    // Inserts a new row, takes its key, then saves every field. Status 0 or 1.
    int insertIntoDatabase(SqliteConnection *database);
    // Loads the lazy fields once. A pending change to an eager field stays dirty.
    virtual int hydrate();
    // Writes every column when something changed. A dirty record whose lazy fields are not
    // loaded loads them first, so that a save never blanks a column it did not read.
    int save();
    // Saves, then drops the lazy fields.
    virtual int dehydrate();
    // Forgets unsaved changes (the eager fields are read again from the row), then dehydrates.
    int unload();
    // Deletes the row; a record never stored does nothing. The record keeps its key.
    virtual int deleteFromDatabase();

    // For the document's flush: write a changed record without forgetting that it changed, and,
    // once the transaction has committed, mark it saved and drop its lazy fields.
    int writeChanges();
    void commitWritten();

protected:
    Record() = default;

    struct Statements
    {
        const char *eager;  // by key
        const char *lazy;   // by key; null when the class has no lazy fields
        const char *insert; // the minimal insert
        const char *update; // every column, then the key
        const char *remove; // by key
        const char *saveMessage;
    };
    virtual const Statements &statements() const = 0;
    // The class name, for failure reports.
    virtual QString className() const = 0;

    virtual void readEager(const SqliteStatement &row) = 0;
    virtual void applyEagerFallbacks() = 0;
    virtual void readLazy(const SqliteStatement &) {}
    virtual void applyLazyFallbacks() {}
    virtual void releaseLazyFields() {}
    virtual void bindInsert(SqliteStatement &statement) const = 0;
    // Binds every column from parameter 1 on and returns how many; the key goes after them.
    virtual int bindUpdate(SqliteStatement &statement) const = 0;
    // Loads whatever the full update writes but a light record does not hold; status.
    virtual int loadFieldsForSave();
    // Runs after the eager fields were set from a row or from the fallbacks.
    virtual void eagerFieldsLoaded() {}

    // For constructors of derived classes: loads the eager fields of the row. Result byte:
    // 0 loaded (or fallbacks for a missing row), 1 failed with abortOnError off.
    int loadEagerFields(qint64 key, SqliteConnection *database, bool abortOnError);
    // Re-reads the eager fields of the stored row; status.
    int readEagerRow(const char *method);
    // Reads the lazy fields (or their fallbacks) without touching `dirty`; status.
    int readLazyRow(const char *method);

    // Raises the message (its '%s' filled with SQLite's text) or returns 1.
    int failure(const char *method, const char *messageFormat);

    // Change tracking: store and mark dirty only on a real change.
    template <typename T> void assign(T &field, const T &value)
    {
        if (!sameValue(field, value)) {
            field = value;
            m_dirty = true;
            ++m_revision;
            noteChange();
        }
    }

    // For lazy fields: on a light record the stored lazy fields are loaded first, so that the
    // change is kept and the save that follows writes the other lazy columns as stored.
    template <typename T> void assignLazy(T &field, const T &value)
    {
        if (!m_hydrated && m_primaryKey != -1 && readLazyRow("hydrate") == 0)
            m_hydrated = true;
        assign(field, value);
    }

    static void noteChange() { s_changeCount.fetch_add(1, std::memory_order_relaxed); }

    static bool sameValue(const QString &a, const QString &b) { return a.isNull() == b.isNull() && a == b; }
    static bool sameValue(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }
    template <typename T> static bool sameValue(const T &a, const T &b) { return a == b; }

    static const char *const kPrepareMessage;
    static const char *const kInsertMessage;
    static const char *const kDeleteMessage;

    qint64 m_primaryKey = -1;
    SqliteConnection *m_database = nullptr;
    bool m_hydrated = false;
    bool m_dirty = false;
    bool m_abortOnError = true;
    quint64 m_revision = 0;

private:
    static std::atomic<quint64> s_changeCount;
};

} // namespace velumark
