#pragma once

#include "gui/editors/KeptWindowSize.h"
#include "gui/editors/OpenSheets.h"
#include "gui/shell/CommandBoundary.h"
#include "store/Result.h"

#include <QDialog>
#include <memory>

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace velumark {
class Record;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::editing {
class RecordEditor;
}

namespace velumark::gui {

// What the artwork, client and submission sheets share: a window-modal dialog over the window it
// was opened from, with "General" and "Notes" tabs, Print (the values shown, saved or not),
// Cancel and OK ("Save" for a new record). OK (or Return) saves and closes; a failed save says
// why and keeps the sheet with what was entered. Cancel (or Esc) closes without writing; closing
// the window asks first when something was changed. A record removed meanwhile closes its sheet
// with a message. The size of each kind of sheet is kept between openings.
class RecordSheet : public QDialog
{
    Q_OBJECT
public:
    ~RecordSheet() override;

    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    // Shown over a catalogue window.
    QPushButton *printButton() const { return m_printButton; }
    // The record as the sheet shows it now, saved or not, never stored: what Print prints.
    virtual std::unique_ptr<Record> shownRecord() const = 0;
    QTabWidget *tabs() const { return m_tabs; }
    VelumarkDatabase &document() const;

    void accept() override;
    void reject() override;

signals:
    // The record was written (a new one is in the document now).
    void saved(velumark::Record *record);

protected:
    // Opens a sheet (window-modal over the parent) with the editor `makeEditor` gives, or brings
    // the open sheet of the record forward. Null when the editor could not be made (the reason
    // was shown). Sheets make RecordSheet their friend for this.
    template <typename Sheet, typename MakeEditor>
    static Sheet *openSheet(QWidget *parent, VelumarkDatabase &document, const Record *record,
                            MakeEditor makeEditor)
    {
        if (auto *open = qobject_cast<Sheet *>(OpenSheets::of(document).windowFor(record))) {
            OpenSheets::of(document).bringForward(record);
            return open;
        }
        Sheet *sheet = nullptr;
        runCommand(parent, [&] { sheet = new Sheet(parent, makeEditor()); });
        if (sheet)
            sheet->open();
        return sheet;
    }

    // What an editor's save gives, as the sheet hands it on.
    template <typename T> static Result<Record *> savedRecord(const Result<T *> &saved)
    {
        if (!saved)
            return Failure{saved.message()};
        return static_cast<Record *>(saved.value());
    }

    // kind: what the sheet edits ("ArtworkSheet"), naming the size kept for its sheets.
    RecordSheet(editing::RecordEditor &editor, const QString &kind, QWidget *parent);

    // The "Notes" tab with its text.
    class LimitedTextEdit *addNotesTab();
    // "Submission History" (hidden; the artwork and client sheets show it for a stored record).
    QPushButton *makeHistoryButton();
    // Lays out the tabs and the buttons under them; `extraButton` (the history) sits with them.
    void finishLayout(QWidget *extraButton = nullptr);
    // OK follows whether the record can be saved now; the sheets call it after every change.
    void updateOkButton();
    // What the record is called in messages ("the artwork “Dunes”").
    void setRecordName(const QString &name) { m_recordName = name; }
    virtual bool canSave() const = 0;
    virtual bool hasChanges() const = 0;
    // Saves through the editor; the saved record, or why not.
    virtual Result<Record *> save() = 0;
    // Opened: the first field takes the keyboard.
    virtual void focusFirstField() = 0;

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void recordGone();
    bool mayDiscard();

    editing::RecordEditor &m_editor;
    KeptWindowSize m_keptSize;
    QString m_recordName;
    QTabWidget *m_tabs;
    QDialogButtonBox *m_buttons;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    QPushButton *m_printButton;
    bool m_focused = false;
    // The sheet is closing through OK, Cancel or the loss of its record: nothing more to ask.
    bool m_finishing = false;
};

} // namespace velumark::gui
