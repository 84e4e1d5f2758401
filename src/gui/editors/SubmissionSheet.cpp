#include "gui/editors/SubmissionSheet.h"

#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/ClientSheet.h"
#include "gui/editors/DateField.h"
#include "gui/editors/FieldGrid.h"
#include "gui/editors/LimitedTextEdit.h"
#include "gui/editors/SegmentedControl.h"
#include "gui/editors/SheetControls.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>

namespace velumark::gui {

using editing::DecimalFormatter;
using editing::SubmissionEditor;
using editing::SubmissionValues;

namespace {

// Fills a choice with records by their names and shows the chosen one (none: no choice shown).
template <typename T>
void showRecords(QComboBox *box, const std::vector<T *> &records, const T *chosen,
                 const QString &(T::*name)() const)
{
    const QSignalBlocker quiet(box);
    box->clear();
    for (T *record : records)
        box->addItem((record->*name)(), QVariant::fromValue(quintptr(record)));
    box->setCurrentIndex(int(std::find(records.begin(), records.end(), chosen) - records.begin()));
    if (box->currentIndex() >= int(records.size()))
        box->setCurrentIndex(-1);
}

template <typename T> T *recordAt(const QComboBox *box, int index)
{
    return reinterpret_cast<T *>(box->itemData(index).value<quintptr>());
}

} // namespace

SubmissionSheet *SubmissionSheet::edit(QWidget *parent, VelumarkDatabase &document, Submission &submission,
                                       Origin origin)
{
    return openSheet<SubmissionSheet>(parent, document, &submission, [&] {
        return std::make_unique<SubmissionEditor>(document, submission, origin);
    });
}

SubmissionSheet *SubmissionSheet::create(QWidget *parent, VelumarkDatabase &document, Origin origin,
                                         Artwork *artwork, Client *client)
{
    return openSheet<SubmissionSheet>(parent, document, nullptr, [&] {
        return std::make_unique<SubmissionEditor>(document, origin, artwork, client);
    });
}

SubmissionSheet::SubmissionSheet(QWidget *parent, std::unique_ptr<SubmissionEditor> editor)
    : RecordSheet(*editor, QStringLiteral("SubmissionSheet"), parent), m_editor(editor.release())
{
    m_editor->setParent(this);
    const bool isNew = m_editor->isNew();
    setWindowTitle(isNew ? localized("New Submission") : localized("Submission Info"));
    const Artwork *artwork = m_editor->values().artwork;
    setRecordName(isNew || !artwork ? localized("the submission")
                                    : localized("the submission of “%1”").arg(artwork->title()));
    tabs()->addTab(buildGeneralTab(), localized("General"));
    m_notes = addNotesTab();
    showValues();
    connectFields();
    connect(m_editor, &SubmissionEditor::choicesChanged, this, [this] {
        showChoices();
        updateOkButton();
    });
    finishLayout();
}

QLayout *SubmissionSheet::buildChoice(QComboBox *&box, QToolButton *&add, const QString &name,
                                      const QString &addToolTip)
{
    box = new QComboBox;
    box->setObjectName(name);
    box->setMinimumContentsLength(24);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    add = SheetControls::iconButton(QStringLiteral("list-add"), QStringLiteral("list-add"), addToolTip);
    add->setObjectName(name == QLatin1String("artwork") ? QStringLiteral("addArtwork")
                                                        : QStringLiteral("addClient"));
    return FieldGrid::row({box, add}, true);
}

QWidget *SubmissionSheet::buildGeneralTab()
{
    auto *page = new QWidget;
    auto *grid = new FieldGrid(page);

    QLayout *artwork =
        buildChoice(m_artwork, m_addArtwork, QStringLiteral("artwork"), localized("Add a new artwork"));
    grid->addWide(localized("Artwork"), artwork, m_artwork);
    m_artwork->setPlaceholderText(localized("Choose an artwork"));
    QLayout *client =
        buildChoice(m_client, m_addClient, QStringLiteral("client"), localized("Add a new client"));
    grid->addWide(localized("Client"), client, m_client);
    m_client->setPlaceholderText(localized("Choose a client"));

    m_type = new QComboBox;
    m_type->setObjectName(QStringLiteral("type"));
    m_type->addItems(VelumarkStrings::typeStrings());
    grid->addHalf(0, localized("Submission Type"), FieldGrid::row({m_type}, true), m_type);
    grid->nextRow();

    m_sendDate = new DateField;
    m_sendDate->setObjectName(QStringLiteral("sendDate"));
    grid->addHalf(0, localized("Send Date"), FieldGrid::row({m_sendDate}, true), m_sendDate);
    m_dueDateOn = new QCheckBox;
    m_dueDateOn->setObjectName(QStringLiteral("dueDateOn"));
    m_dueDate = new DateField;
    m_dueDate->setObjectName(QStringLiteral("dueDate"));
    m_dueDate->setAccessibleName(localized("Response due date"));
    grid->addHalf(1, localized("Response Due"), FieldGrid::row({m_dueDateOn, m_dueDate}, true), m_dueDateOn);
    grid->nextRow();

    m_response = new SegmentedControl({localized("No"), localized("Yes"), localized("Withdrawn")});
    m_response->setObjectName(QStringLiteral("response"));
    grid->addHalf(0, localized("Response?"), m_response);
    m_responseDate = new DateField;
    m_responseDate->setObjectName(QStringLiteral("responseDate"));
    m_responseDateLabel =
        grid->addHalf(1, localized("Response Date"), FieldGrid::row({m_responseDate}, true), m_responseDate);
    grid->nextRow();

    m_state = new QComboBox;
    m_state->setObjectName(QStringLiteral("state"));
    m_state->addItems(VelumarkStrings::stateStrings());
    m_stateLabel = grid->addHalf(0, localized("State"), FieldGrid::row({m_state}, true), m_state);
    m_income = SheetControls::numberField(DecimalFormatter::Style::money());
    m_income->setObjectName(QStringLiteral("income"));
    m_incomeLabel = grid->addHalf(1, localized("Income"), FieldGrid::row({m_income}, true), m_income);
    grid->nextRow();

    m_exhibited = new SegmentedControl({localized("No"), localized("Yes")});
    m_exhibited->setObjectName(QStringLiteral("exhibited"));
    grid->addHalf(0, localized("Exhibited?"), m_exhibited);
    m_releaseSigned = new SegmentedControl({localized("No"), localized("Yes")});
    m_releaseSigned->setObjectName(QStringLiteral("releaseSigned"));
    grid->addHalf(1, localized("Release Signed?"), m_releaseSigned);
    grid->nextRow();
    grid->setRowStretch(grid->rowCount(), 1);
    return page;
}

void SubmissionSheet::showValues()
{
    const SubmissionValues &values = m_editor->values();
    showChoices();
    m_artwork->setEnabled(m_editor->artworkChoiceEnabled());
    m_addArtwork->setEnabled(m_editor->artworkChoiceEnabled());
    m_client->setEnabled(m_editor->clientChoiceEnabled());
    m_addClient->setEnabled(m_editor->clientChoiceEnabled());
    m_type->setCurrentIndex(values.type);
    showDates();
    showResponse();
    m_state->setCurrentIndex(values.state);
    SheetControls::showText(m_income, values.income);
    m_exhibited->setSelectedSegment(values.exhibited ? 1 : 0);
    m_releaseSigned->setSelectedSegment(values.releaseSigned ? 1 : 0);
    m_notes->setPlainText(values.notes);
}

void SubmissionSheet::showChoices()
{
    showRecords(m_artwork, m_editor->artworkChoices(), m_editor->values().artwork, &Artwork::title);
    showRecords(m_client, m_editor->clientChoices(), m_editor->values().client, &Client::company);
}

void SubmissionSheet::showDates()
{
    const SubmissionValues &values = m_editor->values();
    m_sendDate->showDate(values.sendDate);
    {
        const QSignalBlocker quiet(m_dueDateOn);
        m_dueDateOn->setChecked(values.dueDateOn);
    }
    m_dueDate->showDate(values.dueDate);
    m_dueDate->setBlank(!values.dueDateOn);
}

void SubmissionSheet::showResponse()
{
    const SubmissionValues &values = m_editor->values();
    m_response->setSelectedSegment(values.response);
    m_responseDateLabel->setText(m_editor->responseDateLabel());
    m_responseDate->setAccessibleName(m_editor->responseDateLabel());
    m_responseDate->showDate(values.responseDate);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_responseDateLabel, m_responseDate})
        widget->setVisible(m_editor->responseDateShown());
    for (QWidget *widget : std::initializer_list<QWidget *>{m_stateLabel, m_state, m_incomeLabel, m_income})
        widget->setVisible(m_editor->outcomeShown());
}

void SubmissionSheet::connectFields()
{
    SubmissionValues &values = m_editor->values();
    connect(m_artwork, &QComboBox::activated, this, [this](int index) {
        m_editor->chooseArtwork(recordAt<Artwork>(m_artwork, index));
        updateOkButton();
    });
    connect(m_client, &QComboBox::activated, this, [this](int index) {
        m_editor->chooseClient(recordAt<Client>(m_client, index));
        updateOkButton();
    });
    connect(m_addArtwork, &QToolButton::clicked, this, &SubmissionSheet::addArtwork);
    connect(m_addClient, &QToolButton::clicked, this, &SubmissionSheet::addClient);
    connect(m_type, &QComboBox::activated, this, [this, &values](int index) {
        values.type = index;
        updateOkButton();
    });
    connect(m_sendDate, &QDateEdit::dateChanged, this, [this](const QDate &day) {
        m_editor->setSendDate(day);
        showDates();
        updateOkButton();
    });
    connect(m_dueDateOn, &QCheckBox::toggled, this, [this](bool on) {
        m_editor->setDueDateOn(on);
        showDates();
        updateOkButton();
    });
    connect(m_dueDate, &QDateEdit::dateChanged, this, [this](const QDate &day) {
        m_editor->setDueDate(day);
        updateOkButton();
    });
    connect(m_response, &SegmentedControl::segmentSelected, this, [this](int segment) {
        m_editor->setResponse(segment);
        showResponse();
        updateOkButton();
    });
    connect(m_responseDate, &QDateEdit::dateChanged, this, [this](const QDate &day) {
        m_editor->setResponseDate(day);
        updateOkButton();
    });
    connect(m_state, &QComboBox::activated, this, [this, &values](int index) {
        values.state = index;
        updateOkButton();
    });
    connect(m_income, &QLineEdit::textChanged, this, [this, &values](const QString &text) {
        values.income = text;
        updateOkButton();
    });
    for (SegmentedControl *flag : {m_exhibited, m_releaseSigned})
        connect(flag, &SegmentedControl::segmentSelected, this, [this, &values, flag](int segment) {
            (flag == m_exhibited ? values.exhibited : values.releaseSigned) = segment == 1;
            updateOkButton();
        });
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this, &values] {
        values.notes = m_notes->toPlainText();
        updateOkButton();
    });
}

void SubmissionSheet::addArtwork()
{
    if (ArtworkSheet *sheet = ArtworkSheet::create(this, document()))
        connect(sheet, &RecordSheet::saved, this, [this](Record *artwork) {
            m_editor->artworkAdded(static_cast<Artwork *>(artwork));
            showChoices();
            updateOkButton();
        });
}

void SubmissionSheet::addClient()
{
    if (ClientSheet *sheet = ClientSheet::create(this, document()))
        connect(sheet, &RecordSheet::saved, this, [this](Record *client) {
            m_editor->clientAdded(static_cast<Client *>(client));
            showChoices();
            updateOkButton();
        });
}

std::unique_ptr<Record> SubmissionSheet::shownRecord() const
{
    return m_editor->shownSubmission();
}

Result<Record *> SubmissionSheet::save()
{
    return savedRecord(m_editor->save());
}

void SubmissionSheet::focusFirstField()
{
    (m_artwork->isEnabled() ? m_artwork : m_client)->setFocus();
}

} // namespace velumark::gui
