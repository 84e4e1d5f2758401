#include "editing/PreferencesEditor.h"

#include "store/AppPreferences.h"
#include "store/VelumarkStrings.h"

#include <algorithm>

namespace velumark::editing {

namespace {
constexpr qint64 kLargestDuration = 999;

bool isAllDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}
} // namespace

PreferencesEditor::PreferencesEditor(AppPreferences &preferences)
    : m_preferences(preferences), m_durationText(QString::number(preferences.deadlineDuration())),
      m_pluralUnits(preferences.deadlineDuration() != 1)
{}

void PreferencesEditor::load()
{
    m_durationText = QString::number(m_preferences.deadlineDuration());
    m_pluralUnits = m_preferences.deadlineDuration() != 1;
    m_preferences.holdAnnouncements();
}

bool PreferencesEditor::sortArtworksByArtist() const
{
    return m_preferences.sortArtworksByArtist();
}

bool PreferencesEditor::clearAfterDeadline() const
{
    return m_preferences.clearAfterDeadline();
}

int PreferencesEditor::unitIndex() const
{
    return int(m_preferences.deadlineUnits()) - 1;
}

QStringList PreferencesEditor::unitStrings() const
{
    return m_pluralUnits ? VelumarkStrings::pluralResponseTimeStrings()
                         : VelumarkStrings::responseTimeStrings();
}

void PreferencesEditor::setSortArtworksByArtist(bool on)
{
    m_preferences.setSortArtworksByArtist(on);
}

void PreferencesEditor::setClearAfterDeadline(bool on)
{
    m_preferences.setClearAfterDeadline(on);
}

void PreferencesEditor::setUnitIndex(int index)
{
    m_preferences.setDeadlineUnits(index + 1);
}

PreferencesEditor::DurationEdit PreferencesEditor::editDuration(const QString &text)
{
    // Every character must be a digit, not only the last typed one: a pasted "12ab3" would
    // otherwise show one number and store another.
    const qint64 duration = text.isEmpty() ? 0 : text.toLongLong();
    if (!isAllDigits(text) || duration > kLargestDuration) {
        m_durationText = QString::number(m_preferences.deadlineDuration());
        return DurationEdit::Rejected;
    }
    m_preferences.setDeadlineDuration(duration);
    m_durationText = text;
    m_pluralUnits = duration != 1;
    return DurationEdit::Accepted;
}

Result<> PreferencesEditor::lastWrite() const
{
    return m_preferences.lastWrite();
}

void PreferencesEditor::finish()
{
    m_preferences.storeDeadlineDuration();
    m_preferences.releaseAnnouncements();
}

} // namespace velumark::editing
