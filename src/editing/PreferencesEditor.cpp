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

PreferencesEditor::PreferencesEditor(AppPreferences &preferences) : m_preferences(preferences)
{
    load();
}

void PreferencesEditor::load()
{
    m_durationText = QString::number(m_preferences.deadlineDuration());
    m_pluralUnits = m_preferences.deadlineDuration() != 1;
    m_sortChanged = false;
    m_deadlineChanged = false;
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
    m_sortChanged = true;
}

void PreferencesEditor::setClearAfterDeadline(bool on)
{
    m_preferences.setClearAfterDeadline(on);
    m_deadlineChanged = true;
}

void PreferencesEditor::setUnitIndex(int index)
{
    if (m_preferences.setDeadlineUnits(index + 1))
        m_deadlineChanged = true;
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
    m_deadlineChanged = true;
    return DurationEdit::Accepted;
}

Result<> PreferencesEditor::lastWrite() const
{
    return m_preferences.lastWrite();
}

PreferencesEditor::Changes PreferencesEditor::finish()
{
    m_preferences.storeDeadlineDuration();
    const Changes changes{m_sortChanged, m_deadlineChanged};
    m_sortChanged = false;
    m_deadlineChanged = false;
    return changes;
}

} // namespace velumark::editing
