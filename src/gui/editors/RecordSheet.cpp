#include "gui/editors/RecordSheet.h"

#include "document/VelumarkDatabase.h"
#include "editing/RecordEditor.h"
#include "editing/TextLimitFormatter.h"
#include "gui/editors/LimitedTextEdit.h"
#include "gui/printing/SheetPrinting.h"
#include "gui/shell/UserInteraction.h"
#include "store/Localization.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velumark::gui {

RecordSheet::RecordSheet(editing::RecordEditor &editor, const QString &kind, QWidget *parent)
    : QDialog(parent), m_editor(editor), m_keptSize(QStringLiteral("Sheets/%1/size").arg(kind)),
      m_tabs(new QTabWidget), m_buttons(new QDialogButtonBox)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    // Outside the button box, which would show it again.
    m_printButton = new QPushButton(localized("Print"));
    m_printButton->hide();
    SheetPrinting::wire(*this, *m_printButton);
    m_cancelButton = m_buttons->addButton(localized("Cancel"), QDialogButtonBox::RejectRole);
    m_okButton = m_buttons->addButton(editor.isNew() ? localized("Save") : localized("OK"),
                                      QDialogButtonBox::AcceptRole);
    for (QPushButton *button : {m_printButton, m_cancelButton})
        button->setAutoDefault(false);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &RecordSheet::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &RecordSheet::reject);
    connect(&editor, &editing::RecordEditor::recordGone, this, &RecordSheet::recordGone);
    for (const auto news : {&DocumentNotifier::operationStarted, &DocumentNotifier::operationEnded})
        connect(document().notifier(), news, this, &RecordSheet::updateOkButton);
    if (editor.record())
        OpenSheets::of(document()).add(editor.record(), this);
}

RecordSheet::~RecordSheet()
{
    // Here rather than on closing: a sheet also goes with the window it was opened over.
    m_keptSize.remember(*this);
}

VelumarkDatabase &RecordSheet::document() const
{
    return m_editor.document();
}

LimitedTextEdit *RecordSheet::addNotesTab()
{
    auto *notes = new LimitedTextEdit(editing::TextLimitFormatter::kMultiLineLimit);
    notes->setObjectName(QStringLiteral("notes"));
    notes->setAccessibleName(localized("Notes"));
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(notes);
    m_tabs->addTab(page, localized("Notes"));
    return notes;
}

QPushButton *RecordSheet::makeHistoryButton()
{
    auto *button = new QPushButton(localized("Submission History"));
    button->setObjectName(QStringLiteral("history"));
    button->setAutoDefault(false);
    button->hide();
    return button;
}

void RecordSheet::finishLayout(QWidget *extraButton)
{
    auto *buttonRow = new QHBoxLayout;
    if (extraButton)
        buttonRow->addWidget(extraButton);
    buttonRow->addStretch();
    buttonRow->addWidget(m_printButton);
    buttonRow->addWidget(m_buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttonRow);
    m_tabs->setCurrentIndex(0);
    m_keptSize.restore(*this);
    updateOkButton();
}

void RecordSheet::updateOkButton()
{
    const Result<> editable = document().checkEditable();
    m_okButton->setEnabled(canSave() && editable.ok() && !m_editor.isRecordGone());
    // Why a catalogue that cannot be changed does not take the edits.
    m_okButton->setToolTip(editable.ok() ? QString() : editable.message());
}

void RecordSheet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_focused) {
        m_focused = true;
        focusFirstField();
    }
}

void RecordSheet::accept()
{
    if (!m_okButton->isEnabled())
        return;
    runCommand(this, [this] {
        const Result<Record *> saved = save();
        if (!saved) {
            UserInteraction::instance().showAlert(
                this,
                {localized("Not Saved"), localized("The changes to %1 could not be saved.").arg(m_recordName),
                 saved.message(), UserInteraction::Severity::Warning});
            updateOkButton();
            return;
        }
        m_finishing = true;
        emit this->saved(saved.value());
        QDialog::accept();
    });
}

void RecordSheet::reject()
{
    m_finishing = true;
    runCommand(this, [this] { m_editor.cancel(); });
    QDialog::reject();
}

bool RecordSheet::mayDiscard()
{
    if (m_finishing || m_editor.isRecordGone() || !hasChanges())
        return true;
    UserInteraction::Question question;
    question.title = localized("Discard Changes?");
    question.text = localized("Do you want to discard the changes you made to %1?").arg(m_recordName);
    question.buttons = {{localized("Discard Changes"), UserInteraction::ButtonRole::Destructive},
                        {localized("Keep Editing"), UserInteraction::ButtonRole::Reject}};
    question.defaultButton = 1;
    return UserInteraction::instance().ask(this, question) == 0;
}

void RecordSheet::closeEvent(QCloseEvent *event)
{
    if (!mayDiscard()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void RecordSheet::recordGone()
{
    const QPointer<QWidget> below = parentWidget();
    reject();
    UserInteraction::instance().showAlert(
        below.data(),
        {localized("Sheet Closed"),
         localized("This sheet was closed because %1 is no longer in the catalogue. Nothing was saved.")
             .arg(m_recordName),
         QString(), UserInteraction::Severity::Information});
}

} // namespace velumark::gui
