#pragma once

#include "editing/SubmissionEditor.h"
#include "gui/editors/RecordSheet.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace velumark {
class Artwork;
class Client;
class Submission;
} // namespace velumark

namespace velumark::gui {

class DateField;
class SegmentedControl;

// The sheet of one submission ("Submission Info") or of a new one ("New Submission"): artwork
// and client (each with a button that adds a new one on the spot), type, send date, response due
// date, the response with its date, state and income, exhibited, release signed, and notes on
// their own tab. Opened from a history, the history's artwork or client is fixed.
class SubmissionSheet : public RecordSheet
{
    Q_OBJECT
public:
    using Origin = editing::SubmissionEditor::Origin;

    // Opens the sheet of a stored submission, or brings its open sheet forward; null when the
    // submission cannot be read (the reason was shown).
    static SubmissionSheet *edit(QWidget *parent, VelumarkDatabase &document, Submission &submission,
                                 Origin origin = Origin::SubmissionList);
    // Opens a sheet for a new submission, of the history's artwork or client when given.
    static SubmissionSheet *create(QWidget *parent, VelumarkDatabase &document,
                                   Origin origin = Origin::SubmissionList, Artwork *artwork = nullptr,
                                   Client *client = nullptr);

    const editing::SubmissionEditor &editor() const { return *m_editor; }

    std::unique_ptr<Record> shownRecord() const override;

protected:
    bool canSave() const override { return m_editor->canSave(); }
    bool hasChanges() const override { return m_editor->hasChanges(); }
    Result<Record *> save() override;
    void focusFirstField() override;

private:
    friend class RecordSheet;
    SubmissionSheet(QWidget *parent, std::unique_ptr<editing::SubmissionEditor> editor);

    QWidget *buildGeneralTab();
    QLayout *buildChoice(QComboBox *&box, QToolButton *&add, const QString &name, const QString &addToolTip);
    void connectFields();
    void showValues();
    void showChoices();
    void showDates();
    void showResponse();
    void addArtwork();
    void addClient();

    editing::SubmissionEditor *m_editor;
    QComboBox *m_artwork = nullptr;
    QToolButton *m_addArtwork = nullptr;
    QComboBox *m_client = nullptr;
    QToolButton *m_addClient = nullptr;
    QComboBox *m_type = nullptr;
    DateField *m_sendDate = nullptr;
    QCheckBox *m_dueDateOn = nullptr;
    DateField *m_dueDate = nullptr;
    SegmentedControl *m_response = nullptr;
    QLabel *m_responseDateLabel = nullptr;
    DateField *m_responseDate = nullptr;
    QLabel *m_stateLabel = nullptr;
    QComboBox *m_state = nullptr;
    QLabel *m_incomeLabel = nullptr;
    QLineEdit *m_income = nullptr;
    SegmentedControl *m_exhibited = nullptr;
    SegmentedControl *m_releaseSigned = nullptr;
    class LimitedTextEdit *m_notes = nullptr;
};

} // namespace velumark::gui
