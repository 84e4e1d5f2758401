#include "gui/editors/ClientSheet.h"

#include "document/VelumarkDatabase.h"
#include "editing/TextLimitFormatter.h"
#include "gui/editors/DateField.h"
#include "gui/editors/FieldGrid.h"
#include "gui/editors/HistoryWindow.h"
#include "gui/editors/LimitedLineEdit.h"
#include "gui/editors/LimitedTextEdit.h"
#include "gui/editors/SegmentedControl.h"
#include "gui/editors/SheetControls.h"
#include "gui/shell/UserInteraction.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace velumark::gui {

using editing::ClientEditor;
using editing::ClientValues;
using editing::DecimalFormatter;
using editing::TextLimitFormatter;

ClientSheet *ClientSheet::edit(QWidget *parent, VelumarkDatabase &document, Client &client)
{
    return openSheet<ClientSheet>(parent, document, &client,
                                  [&] { return std::make_unique<ClientEditor>(document, client); });
}

ClientSheet *ClientSheet::create(QWidget *parent, VelumarkDatabase &document)
{
    return openSheet<ClientSheet>(parent, document, nullptr,
                                  [&] { return std::make_unique<ClientEditor>(document); });
}

ClientSheet::ClientSheet(QWidget *parent, std::unique_ptr<ClientEditor> editor)
    : RecordSheet(*editor, QStringLiteral("ClientSheet"), parent), m_editor(editor.release())
{
    m_editor->setParent(this);
    const bool isNew = m_editor->isNew();
    setWindowTitle(isNew ? localized("New Client") : localized("Client Info"));
    setRecordName(isNew ? localized("the new client")
                        : localized("the client “%1”").arg(m_editor->values().company));
    tabs()->addTab(buildGeneralTab(), localized("General"));
    m_notes = addNotesTab();
    m_historyButton = makeHistoryButton();
    m_historyButton->setVisible(!m_editor->isNew());
    connect(m_historyButton, &QPushButton::clicked, this, [this] {
        if (Client *client = m_editor->client())
            HistoryWindow::open(this, document(), nullptr, client);
    });
    showValues();
    connectFields();
    finishLayout(m_historyButton);
}

namespace {

LimitedLineEdit *lineField(const char *name)
{
    auto *field = new LimitedLineEdit(TextLimitFormatter::kLineLimit);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

} // namespace

QWidget *ClientSheet::buildGeneralTab()
{
    auto *page = new QWidget;
    auto *grid = new FieldGrid(page);

    m_company = lineField("company");
    grid->addHalf(0, localized("Company"), m_company);
    m_clientType = new QComboBox;
    m_clientType->setObjectName(QStringLiteral("clientType"));
    m_clientType->addItems(VelumarkStrings::clientStrings());
    grid->addHalf(1, localized("Client Type"), m_clientType);
    grid->nextRow();

    m_commission = SheetControls::numberField(DecimalFormatter::Style::money());
    m_commission->setObjectName(QStringLiteral("commission"));
    grid->addHalf(0, localized("Commission %"), FieldGrid::row({m_commission}, true), m_commission);
    m_payRate = SheetControls::numberField(DecimalFormatter::Style::money());
    m_payRate->setObjectName(QStringLiteral("payRate"));
    grid->addHalf(1, localized("Pay Rate"), FieldGrid::row({m_payRate}, true), m_payRate);
    grid->nextRow();

    m_deadlineOn = new QCheckBox;
    m_deadlineOn->setObjectName(QStringLiteral("deadlineOn"));
    m_deadline = new DateField;
    m_deadline->setObjectName(QStringLiteral("deadline"));
    m_deadline->setAccessibleName(localized("Deadline date"));
    grid->addHalf(0, localized("Deadline"), FieldGrid::row({m_deadlineOn, m_deadline}, true), m_deadlineOn);
    m_responseTime = SheetControls::numberField(DecimalFormatter::Style::responseTime());
    m_responseTime->setObjectName(QStringLiteral("responseTime"));
    m_responseTimeUnits = new QComboBox;
    m_responseTimeUnits->setObjectName(QStringLiteral("responseTimeUnits"));
    m_responseTimeUnits->setAccessibleName(localized("Response time units"));
    grid->addHalf(1, localized("Response Time"), FieldGrid::row({m_responseTime, m_responseTimeUnits}, true),
                  m_responseTime);
    grid->nextRow();

    m_status = new SegmentedControl({localized("Open"), localized("Closed")});
    m_status->setObjectName(QStringLiteral("status"));
    grid->addHalf(0, localized("Status"), m_status);
    grid->nextRow();

    m_contact = lineField("contact");
    grid->addWide(localized("Contact"), m_contact);
    m_address = new LimitedTextEdit(TextLimitFormatter::kMultiLineLimit);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setFixedHeight(m_address->fontMetrics().lineSpacing() * 4 + 12);
    grid->addWide(localized("Address"), m_address);

    m_web = lineField("web");
    m_webButton = SheetControls::iconButton(QStringLiteral("internet-web-browser"),
                                            QStringLiteral("web-browser"), localized("Open the web address"));
    m_webButton->setObjectName(QStringLiteral("openWeb"));
    grid->addWide(localized("Web"), FieldGrid::row({m_web, m_webButton}), m_web);
    m_email = lineField("email");
    m_emailButton = SheetControls::iconButton(QStringLiteral("mail-message-new"), QStringLiteral("mail-send"),
                                              localized("Write an e-mail"));
    m_emailButton->setObjectName(QStringLiteral("writeEmail"));
    grid->addWide(localized("Email"), FieldGrid::row({m_email, m_emailButton}), m_email);

    m_phone = lineField("phone");
    grid->addHalf(0, localized("Phone"), m_phone);
    m_fax = lineField("fax");
    grid->addHalf(1, localized("Fax"), m_fax);
    grid->nextRow();
    grid->setRowStretch(grid->rowCount(), 1);
    return page;
}

void ClientSheet::showValues()
{
    const ClientValues &values = m_editor->values();
    m_company->showText(values.company);
    m_clientType->setCurrentIndex(values.clientType);
    SheetControls::showText(m_commission, values.commission);
    SheetControls::showText(m_payRate, values.payRate);
    m_deadlineOn->setChecked(values.deadlineOn);
    m_deadline->showDate(values.deadline);
    m_deadline->setBlank(!values.deadlineOn);
    SheetControls::showText(m_responseTime, values.responseTime);
    SheetControls::setChoices(m_responseTimeUnits, m_editor->responseTimeUnitNames());
    m_responseTimeUnits->setCurrentIndex(values.responseTimeUnits);
    m_status->setSelectedSegment(values.open ? 0 : 1);
    m_contact->showText(values.contact);
    m_address->setPlainText(values.address);
    m_web->showText(values.web);
    m_email->showText(values.email);
    m_phone->showText(values.phone);
    m_fax->showText(values.fax);
    m_notes->setPlainText(values.notes);
    updateControls();
}

void ClientSheet::connectText(QLineEdit *field, QString ClientValues::*value)
{
    connect(field, &QLineEdit::textChanged, this, [this, value](const QString &text) {
        m_editor->values().*value = text;
        updateControls();
    });
}

void ClientSheet::connectFields()
{
    ClientValues &values = m_editor->values();
    connectText(m_company, &ClientValues::company);
    connectText(m_commission, &ClientValues::commission);
    connectText(m_payRate, &ClientValues::payRate);
    connectText(m_responseTime, &ClientValues::responseTime);
    connectText(m_contact, &ClientValues::contact);
    connectText(m_web, &ClientValues::web);
    connectText(m_email, &ClientValues::email);
    connectText(m_phone, &ClientValues::phone);
    connectText(m_fax, &ClientValues::fax);
    connect(m_clientType, &QComboBox::activated, this, [this, &values](int index) {
        values.clientType = index;
        updateControls();
    });
    connect(m_deadlineOn, &QCheckBox::toggled, this, [this, &values](bool on) {
        values.deadlineOn = on;
        m_deadline->setBlank(!on);
        updateControls();
    });
    connect(m_deadline, &QDateEdit::dateChanged, this, [this, &values](const QDate &day) {
        values.deadline = day;
        updateControls();
    });
    connect(m_responseTimeUnits, &QComboBox::activated, this, [this, &values](int index) {
        values.responseTimeUnits = index;
        updateControls();
    });
    connect(m_status, &SegmentedControl::segmentSelected, this, [this, &values](int segment) {
        values.open = segment == 0;
        updateControls();
    });
    for (LimitedTextEdit *text : {m_address, m_notes})
        connect(text, &QPlainTextEdit::textChanged, this, [this, &values, text] {
            (text == m_address ? values.address : values.notes) = text->toPlainText();
            updateControls();
        });
    connect(m_webButton, &QToolButton::clicked, this,
            [this] { openAddress(ClientEditor::webAddress(m_editor->values().web)); });
    connect(m_emailButton, &QToolButton::clicked, this,
            [this] { openAddress(ClientEditor::mailAddress(m_editor->values().email)); });
}

void ClientSheet::updateControls()
{
    SheetControls::setChoices(m_responseTimeUnits, m_editor->responseTimeUnitNames());
    m_webButton->setEnabled(!m_editor->values().web.isEmpty());
    m_emailButton->setEnabled(!m_editor->values().email.isEmpty());
    updateOkButton();
}

void ClientSheet::openAddress(const QUrl &address)
{
    // A text that makes no address opens nothing, but not in silence.
    if (address.isEmpty() || !UserInteraction::instance().openAddress(address))
        UserInteraction::instance().beep();
}

std::unique_ptr<Record> ClientSheet::shownRecord() const
{
    return m_editor->shownClient();
}

Result<Record *> ClientSheet::save()
{
    return savedRecord(m_editor->save());
}

void ClientSheet::focusFirstField()
{
    m_company->setFocus();
}

} // namespace velumark::gui
