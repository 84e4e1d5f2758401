#include "gui/shell/PreferencesDialog.h"

#include "gui/shell/CommandBoundary.h"
#include "gui/shell/UserInteraction.h"
#include "store/Localization.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace velumark::gui {

PreferencesDialog::PreferencesDialog(AppPreferences &preferences, QWidget *parent)
    : QDialog(parent), m_editor(preferences)
{
    setWindowTitle(localized("Preferences"));
    setWindowModality(Qt::ApplicationModal);
    buildControls();
    connect(this, &QDialog::finished, this, &PreferencesDialog::windowClosed);
}

void PreferencesDialog::buildControls()
{
    auto *sortGroup = new QGroupBox(localized("Sort options"));
    m_sortArtistBox = new QCheckBox(localized("Sort artworks by artist"));
    auto *sortLayout = new QVBoxLayout(sortGroup);
    sortLayout->addWidget(m_sortArtistBox);

    auto *deadlineGroup = new QGroupBox(localized("Client Deadline Highlighting"));
    m_clearDeadlinesBox = new QCheckBox(localized("Clear past deadlines"));
    m_durationField = new QLineEdit;
    m_durationField->setAlignment(Qt::AlignRight);
    m_durationField->setFixedWidth(m_durationField->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                                   12);
    m_durationField->setAccessibleName(localized("Highlight duration"));
    m_unitsBox = new QComboBox;
    m_unitsBox->setAccessibleName(localized("Highlight units"));
    auto *highlightRow = new QHBoxLayout;
    highlightRow->addWidget(new QLabel(localized("Highlight")));
    highlightRow->addWidget(m_durationField);
    highlightRow->addWidget(m_unitsBox);
    highlightRow->addWidget(new QLabel(localized("before deadlines")));
    highlightRow->addStretch();
    auto *deadlineLayout = new QVBoxLayout(deadlineGroup);
    deadlineLayout->addWidget(m_clearDeadlinesBox);
    deadlineLayout->addLayout(highlightRow);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sortGroup);
    layout->addWidget(deadlineGroup);
    layout->addStretch();
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_sortArtistBox, &QCheckBox::toggled, this, [this](bool on) {
        m_editor.setSortArtworksByArtist(on);
        reportWriteFailure();
    });
    connect(m_clearDeadlinesBox, &QCheckBox::toggled, this, [this](bool on) {
        m_editor.setClearAfterDeadline(on);
        reportWriteFailure();
    });
    connect(m_unitsBox, &QComboBox::activated, this, [this](int index) {
        m_editor.setUnitIndex(index);
        reportWriteFailure();
    });
    connect(m_durationField, &QLineEdit::textEdited, this, &PreferencesDialog::durationEdited);
}

void PreferencesDialog::present()
{
    m_editor.load();
    m_writeFailureReported = false;
    showValues();
    open();
    raise();
    activateWindow();
}

void PreferencesDialog::showValues()
{
    const QSignalBlocker sortBlocker(m_sortArtistBox);
    const QSignalBlocker clearBlocker(m_clearDeadlinesBox);
    m_sortArtistBox->setChecked(m_editor.sortArtworksByArtist());
    m_clearDeadlinesBox->setChecked(m_editor.clearAfterDeadline());
    m_durationField->setText(m_editor.durationText());
    fillUnits();
}

void PreferencesDialog::fillUnits()
{
    const QSignalBlocker blocker(m_unitsBox);
    m_unitsBox->clear();
    m_unitsBox->addItems(m_editor.unitStrings());
    m_unitsBox->setCurrentIndex(m_editor.unitIndex());
}

void PreferencesDialog::durationEdited(const QString &text)
{
    const bool wasPlural = m_editor.pluralUnits();
    if (m_editor.editDuration(text) == editing::PreferencesEditor::DurationEdit::Rejected) {
        m_durationField->setText(m_editor.durationText());
        UserInteraction::instance().beep();
    }
    // The words follow the number ("1 week", "2 weeks"); the chosen unit stays.
    if (m_editor.pluralUnits() != wasPlural)
        fillUnits();
}

void PreferencesDialog::windowClosed()
{
    // The open documents follow the changes now; a failure there is shown, not thrown.
    runCommand(QApplication::activeWindow(), [this] { m_editor.finish(); });
    reportWriteFailure();
}

void PreferencesDialog::reportWriteFailure()
{
    // Once while the window is shown: every further change fails the same way.
    const Result<> written = m_editor.lastWrite();
    if (written || m_writeFailureReported)
        return;
    m_writeFailureReported = true;
    QWidget *parent = isVisible() ? this : parentWidget();
    UserInteraction::instance().showAlert(
        parent,
        {localized("The preferences could not be saved."),
         localized("The changes apply to the open catalogues until Velumark quits."), written.message()});
}

} // namespace velumark::gui
