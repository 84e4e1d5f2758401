#pragma once

#include "editing/ClientEditor.h"
#include "gui/editors/RecordSheet.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace velumark {
class Client;
}

namespace velumark::gui {

class DateField;
class LimitedLineEdit;
class LimitedTextEdit;
class SegmentedControl;

// The sheet of one client ("Client Info") or of a new one ("New Client"): company, type,
// commission and pay rate, deadline, response time with its unit, open or closed, contact,
// address, web and e-mail (with buttons that open them), phone, fax, and notes on their own tab.
class ClientSheet : public RecordSheet
{
    Q_OBJECT
public:
    // Opens the sheet of a stored client, or brings its open sheet forward; null when the client
    // cannot be read (the reason was shown).
    static ClientSheet *edit(QWidget *parent, VelumarkDatabase &document, Client &client);
    // Opens a sheet for a new client; saved() hands over the client once it is in the document.
    static ClientSheet *create(QWidget *parent, VelumarkDatabase &document);

    const editing::ClientEditor &editor() const { return *m_editor; }
    // "Submission History", shown for a stored client: opens its history window.
    QPushButton *historyButton() const { return m_historyButton; }

    std::unique_ptr<Record> shownRecord() const override;

protected:
    bool canSave() const override { return m_editor->canSave(); }
    bool hasChanges() const override { return m_editor->hasChanges(); }
    Result<Record *> save() override;
    void focusFirstField() override;

private:
    ClientSheet(QWidget *parent, std::unique_ptr<editing::ClientEditor> editor);
    friend class RecordSheet;

    QWidget *buildGeneralTab();
    void connectFields();
    void connectText(QLineEdit *field, QString editing::ClientValues::*value);
    void showValues();
    void updateControls();
    void openAddress(const QUrl &address);

    editing::ClientEditor *m_editor;
    LimitedLineEdit *m_company = nullptr;
    QComboBox *m_clientType = nullptr;
    QLineEdit *m_commission = nullptr;
    QLineEdit *m_payRate = nullptr;
    QCheckBox *m_deadlineOn = nullptr;
    DateField *m_deadline = nullptr;
    QLineEdit *m_responseTime = nullptr;
    QComboBox *m_responseTimeUnits = nullptr;
    SegmentedControl *m_status = nullptr;
    LimitedLineEdit *m_contact = nullptr;
    LimitedTextEdit *m_address = nullptr;
    LimitedLineEdit *m_web = nullptr;
    QToolButton *m_webButton = nullptr;
    LimitedLineEdit *m_email = nullptr;
    QToolButton *m_emailButton = nullptr;
    LimitedLineEdit *m_phone = nullptr;
    LimitedLineEdit *m_fax = nullptr;
    LimitedTextEdit *m_notes = nullptr;
    QPushButton *m_historyButton = nullptr;
};

} // namespace velumark::gui
