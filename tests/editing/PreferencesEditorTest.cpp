#include "editing/PreferencesEditor.h"

#include "store/AppPreferences.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velumark::editing {
namespace {

using Edit = PreferencesEditor::DurationEdit;

class PreferencesEditorTest : public ::testing::Test
{
protected:
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("preferences.ini")); }
    qint64 stored(const char *key) const
    {
        return QSettings(settingsFile(), QSettings::IniFormat).value(QString::fromLatin1(key)).toLongLong();
    }

    QTemporaryDir m_folder;
    AppPreferences m_preferences{settingsFile()};
    PreferencesEditor m_editor{m_preferences};
};

TEST_F(PreferencesEditorTest, DurationFieldTakesDigitsOnlyAndTheUnitWordsFollowTheNumber)
{
    // Untouched preferences: one week, shown with the singular words.
    EXPECT_EQ(m_editor.durationText(), QStringLiteral("1"));
    EXPECT_EQ(m_editor.unitIndex(), 1);
    EXPECT_EQ(m_editor.unitStrings().value(m_editor.unitIndex()), QStringLiteral("week"));

    EXPECT_EQ(m_editor.editDuration(QStringLiteral("12")), Edit::Accepted);
    EXPECT_EQ(m_editor.unitStrings().value(m_editor.unitIndex()), QStringLiteral("weeks"));
    EXPECT_EQ(m_editor.editDuration(QStringLiteral("1")), Edit::Accepted);
    EXPECT_FALSE(m_editor.pluralUnits());
    EXPECT_EQ(m_editor.editDuration(QString()), Edit::Accepted);
    EXPECT_TRUE(m_editor.pluralUnits());
    EXPECT_EQ(m_preferences.deadlineDuration(), 0);

    // A letter after a digit is refused and the field shows the last accepted number again.
    EXPECT_EQ(m_editor.editDuration(QStringLiteral("3")), Edit::Accepted);
    EXPECT_EQ(m_editor.editDuration(QStringLiteral("3a")), Edit::Rejected);
    EXPECT_EQ(m_editor.durationText(), QStringLiteral("3"));
    EXPECT_EQ(m_preferences.deadlineDuration(), 3);
    EXPECT_EQ(m_editor.editDuration(QStringLiteral("30")), Edit::Accepted);
    // Pasted text with a letter inside, and a number beyond what can be stored, are refused too.
    EXPECT_EQ(m_editor.editDuration(QStringLiteral("1a2")), Edit::Rejected);
    EXPECT_EQ(m_editor.editDuration(QStringLiteral("1000")), Edit::Rejected);
    EXPECT_EQ(m_editor.durationText(), QStringLiteral("30"));
    EXPECT_EQ(m_preferences.deadlineDuration(), 30);
}

TEST_F(PreferencesEditorTest, ControlsWriteAtOnceAndAreAnnouncedOnceWhenTheWindowCloses)
{
    QSignalSpy sortOrder(&m_preferences, &AppPreferences::sortArtworksByArtistChanged);
    QSignalSpy deadline(&m_preferences, &AppPreferences::deadlineHighlightingChanged);
    m_editor.load();
    m_editor.setUnitIndex(2);
    m_editor.setClearAfterDeadline(false);
    EXPECT_EQ(stored(AppPreferences::kNearDeadlineDurationUnitsKey), 3);
    EXPECT_EQ(stored(AppPreferences::kClearAfterDeadlineKey), 1);

    m_editor.editDuration(QStringLiteral("5"));
    EXPECT_EQ(stored(AppPreferences::kNearDeadlineDurationKey), 2); // still the old duration + 1
    EXPECT_EQ(deadline.count(), 0);
    m_editor.finish();
    EXPECT_EQ(stored(AppPreferences::kNearDeadlineDurationKey), 6);
    EXPECT_EQ(deadline.count(), 1);
    EXPECT_EQ(sortOrder.count(), 0);

    // Only the sort option: announced once, nothing about deadlines.
    m_editor.load();
    m_editor.setSortArtworksByArtist(true);
    m_editor.finish();
    EXPECT_EQ(sortOrder.count(), 1);
    EXPECT_TRUE(sortOrder.last().at(0).toBool());
    EXPECT_EQ(deadline.count(), 1);
    EXPECT_TRUE(QSettings(settingsFile(), QSettings::IniFormat)
                    .value(QString::fromLatin1(AppPreferences::kSortArtworkByArtistKey))
                    .toBool());

    // A refused edit changes nothing; outside the window a change is announced at once.
    m_editor.load();
    m_editor.editDuration(QStringLiteral("x"));
    m_editor.finish();
    EXPECT_EQ(deadline.count(), 1);
    m_preferences.setClearAfterDeadline(true);
    EXPECT_EQ(deadline.count(), 2);
}

} // namespace
} // namespace velumark::editing
