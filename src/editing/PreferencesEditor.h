#pragma once

#include "store/Result.h"

#include <QString>
#include <QStringList>

namespace velumark {
class AppPreferences;
}

namespace velumark::editing {

// What the preferences window edits: each control applies to the preferences at once, the
// duration is written when the window closes, and the preferences announce the changes then (the
// open documents follow them).
class PreferencesEditor
{
public:
    explicit PreferencesEditor(AppPreferences &preferences);

    // Takes the stored values again and holds the announcements (the window is shown).
    void load();

    bool sortArtworksByArtist() const;
    bool clearAfterDeadline() const;
    QString durationText() const { return m_durationText; }
    // Index into unitStrings(): unit 1 (day) is index 0.
    int unitIndex() const;
    // The singular unit words for a duration of exactly 1, the plural ones otherwise.
    QStringList unitStrings() const;
    bool pluralUnits() const { return m_pluralUnits; }

    void setSortArtworksByArtist(bool on);
    void setClearAfterDeadline(bool on);
    void setUnitIndex(int index);

    enum class DurationEdit
    {
        Accepted,
        // Not a number of units: durationText() holds the last accepted text again; the window
        // puts it back and beeps.
        Rejected
    };
    // The duration field's text after an edit. An empty field means a duration of 0.
    DurationEdit editDuration(const QString &text);

    // Whether the last change reached the settings file.
    Result<> lastWrite() const;

    // The window closes: writes the duration and announces what changed.
    void finish();

private:
    AppPreferences &m_preferences;
    QString m_durationText;
    bool m_pluralUnits = true;
};

} // namespace velumark::editing
