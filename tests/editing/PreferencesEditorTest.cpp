#include "editing/PreferencesEditor.h"

#include "store/AppPreferences.h"

#include <QSettings>
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

TEST_F(PreferencesEditorTest, ControlsWriteAtOnceAndTheDurationWhenTheWindowCloses)
{
    m_editor.setUnitIndex(2);
    m_editor.setClearAfterDeadline(false);
    EXPECT_EQ(stored(AppPreferences::kNearDeadlineDurationUnitsKey), 3);
    EXPECT_EQ(stored(AppPreferences::kClearAfterDeadlineKey), 1);

    m_editor.editDuration(QStringLiteral("5"));
    EXPECT_EQ(stored(AppPreferences::kNearDeadlineDurationKey), 2); // still the old duration + 1
    auto changes = m_editor.finish();
    EXPECT_EQ(stored(AppPreferences::kNearDeadlineDurationKey), 6);
    EXPECT_TRUE(changes.deadline);
    EXPECT_FALSE(changes.sortOrder);

    // Only the sort option: the documents re-sort, nothing about deadlines changed; and what
    // finish() reported is forgotten.
    m_editor.setSortArtworksByArtist(true);
    changes = m_editor.finish();
    EXPECT_TRUE(changes.sortOrder);
    EXPECT_FALSE(changes.deadline);
    EXPECT_TRUE(QSettings(settingsFile(), QSettings::IniFormat)
                    .value(QString::fromLatin1(AppPreferences::kSortArtworkByArtistKey))
                    .toBool());
    changes = m_editor.finish();
    EXPECT_FALSE(changes.sortOrder || changes.deadline);

    // A refused edit changes nothing the documents need to know.
    m_editor.editDuration(QStringLiteral("x"));
    EXPECT_FALSE(m_editor.finish().deadline);
}

} // namespace
} // namespace velumark::editing
