#include "gui/editors/ArtworkSheet.h"

#include "document/VelumarkDatabase.h"
#include "editing/ArtworkPhotos.h"
#include "editing/TextLimitFormatter.h"
#include "gui/editors/DateField.h"
#include "gui/editors/FieldGrid.h"
#include "gui/editors/HistoryWindow.h"
#include "gui/editors/LimitedLineEdit.h"
#include "gui/editors/LimitedTextEdit.h"
#include "gui/editors/PhotoSlots.h"
#include "gui/editors/SegmentedControl.h"
#include "gui/editors/SheetControls.h"
#include "gui/photos/PhotoGrid.h"
#include "gui/shell/CommandBoundary.h"
#include "store/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace velumark::gui {

using editing::ArtworkEditor;
using editing::DecimalFormatter;
using editing::TextLimitFormatter;

ArtworkSheet *ArtworkSheet::edit(QWidget *parent, VelumarkDatabase &document, Artwork &artwork)
{
    return openSheet<ArtworkSheet>(parent, document, &artwork,
                                   [&] { return std::make_unique<ArtworkEditor>(document, artwork); });
}

ArtworkSheet *ArtworkSheet::create(QWidget *parent, VelumarkDatabase &document)
{
    return openSheet<ArtworkSheet>(parent, document, nullptr,
                                   [&] { return std::make_unique<ArtworkEditor>(document); });
}

ArtworkSheet::ArtworkSheet(QWidget *parent, std::unique_ptr<ArtworkEditor> editor)
    : RecordSheet(*editor, QStringLiteral("ArtworkSheet"), parent), m_editor(editor.release()),
      m_unsaved(m_editor->isNew() ? std::make_unique<Artwork>() : nullptr),
      m_photoList(new editing::ArtworkPhotos(document(), m_unsaved ? *m_unsaved : *m_editor->artwork(), this))
{
    m_editor->setParent(this);
    const bool isNew = m_editor->isNew();
    setWindowTitle(isNew ? localized("New Artwork") : localized("Artwork Info"));
    setRecordName(isNew ? localized("the new artwork")
                        : localized("the artwork “%1”").arg(m_editor->values().title));
    tabs()->addTab(buildGeneralTab(), localized("General"));
    m_photosTab = tabs()->addTab(buildPhotosTab(), localized("All Photos"));
    m_notes = addNotesTab();
    m_historyButton = makeHistoryButton();
    m_historyButton->setVisible(!m_editor->isNew());
    connect(m_historyButton, &QPushButton::clicked, this, [this] {
        if (Artwork *artwork = m_editor->artwork())
            HistoryWindow::open(this, document(), artwork);
    });
    showValues();
    connectFields();
    finishLayout(m_historyButton);
}

ArtworkSheet::~ArtworkSheet() = default;

QLayout *ArtworkSheet::buildNameBox(QComboBox *&box, const QString &placeholder, const QString &toolTip,
                                    const QString &removeToolTip, bool artist)
{
    box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    box->lineEdit()->setPlaceholderText(placeholder);
    box->setToolTip(toolTip);
    box->setMinimumContentsLength(16);
    box->setObjectName(artist ? QStringLiteral("artist") : QStringLiteral("medium"));
    QToolButton *remove = SheetControls::iconButton(QStringLiteral("list-remove"),
                                                    QStringLiteral("list-remove"), removeToolTip);
    remove->setObjectName(artist ? QStringLiteral("removeArtist") : QStringLiteral("removeMedium"));
    connect(remove, &QToolButton::clicked, this, [this, artist] { removeName(artist); });
    return FieldGrid::row({box, remove});
}

QWidget *ArtworkSheet::buildGeneralTab()
{
    auto *page = new QWidget;
    auto *grid = new FieldGrid(page);

    m_title = new LimitedLineEdit(TextLimitFormatter::kLineLimit);
    m_title->setObjectName(QStringLiteral("title"));
    grid->addWide(localized("Title"), m_title);

    m_photos = new PhotoSlots;
    m_addPhotoButton = SheetControls::iconButton(QStringLiteral("list-add"), QStringLiteral("list-add"),
                                                 localized("Add photos"));
    m_addPhotoButton->setObjectName(QStringLiteral("addPhotos"));
    grid->addWide(localized("Photos"), FieldGrid::row({m_photos, m_addPhotoButton}, true), m_photos);

    QLayout *artist = buildNameBox(
        m_artist, localized("artist name"),
        localized("New artists are automatically added to the list when saving the Artwork Info"),
        localized("Remove the currently selected artist from the list"), true);
    grid->addHalf(0, localized("Artist"), artist, m_artist);
    m_saleLoan = new SegmentedControl({localized("No"), localized("Yes")});
    m_saleLoan->setObjectName(QStringLiteral("saleLoan"));
    grid->addHalf(1, localized("For Sale/Loan?"), m_saleLoan);
    grid->nextRow();

    QLayout *medium = buildNameBox(
        m_medium, localized("medium type"),
        localized("New mediums are automatically added to the list when saving the Artwork Info"),
        localized("Remove the currently selected medium from the list"), false);
    grid->addHalf(0, localized("Medium"), medium, m_medium);
    m_price = SheetControls::numberField(DecimalFormatter::Style::money());
    m_price->setObjectName(QStringLiteral("price"));
    grid->addHalf(1, localized("Price"), m_price);
    grid->nextRow();

    m_size = new LimitedLineEdit(TextLimitFormatter::kLineLimit);
    m_size->setObjectName(QStringLiteral("size"));
    grid->addHalf(0, localized("Size"), m_size);
    m_materialCost = SheetControls::numberField(DecimalFormatter::Style::money());
    m_materialCost->setObjectName(QStringLiteral("materialCost"));
    grid->addHalf(1, localized("Material Cost"), m_materialCost);
    grid->nextRow();

    m_created = new QCheckBox;
    m_created->setObjectName(QStringLiteral("created"));
    m_createdDate = new DateField;
    m_createdDate->setObjectName(QStringLiteral("createdDate"));
    m_createdDate->setAccessibleName(localized("Creation date"));
    grid->addHalf(0, localized("Created"), FieldGrid::row({m_created, m_createdDate}, true), m_created);
    m_totalIncome = new QLabel;
    m_totalIncome->setObjectName(QStringLiteral("totalIncome"));
    m_totalIncome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addHalf(1, localized("Total Income"), m_totalIncome);
    grid->nextRow();

    m_effort = SheetControls::numberField(DecimalFormatter::Style::effort());
    m_effort->setObjectName(QStringLiteral("effort"));
    m_effortUnits = new QComboBox;
    m_effortUnits->setObjectName(QStringLiteral("effortUnits"));
    m_effortUnits->setAccessibleName(localized("Effort units"));
    grid->addHalf(0, localized("Effort"), FieldGrid::row({m_effort, m_effortUnits}, true), m_effort);
    grid->nextRow();

    m_location = new LimitedTextEdit(TextLimitFormatter::kMultiLineLimit);
    m_location->setObjectName(QStringLiteral("location"));
    m_location->setFixedHeight(m_location->fontMetrics().lineSpacing() * 4 + 12);
    grid->addWide(localized("Location"), m_location);
    grid->setRowStretch(grid->rowCount(), 1);
    return page;
}

QWidget *ArtworkSheet::buildPhotosTab()
{
    m_grid = new PhotoGrid(*m_photoList);
    m_grid->setTitleProvider([this] { return m_title->text(); });
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_grid);
    using editing::ArtworkPhotos;
    for (const auto news : {&ArtworkPhotos::inserted, &ArtworkPhotos::removed, &ArtworkPhotos::reordered,
                            &ArtworkPhotos::reset})
        connect(m_photoList, news, this, [this] {
            showSlots();
            updateOkButton();
        });
    connect(m_photoList, &ArtworkPhotos::captionChanged, this, &ArtworkSheet::showSlots);
    connect(m_grid, &PhotoGrid::importingChanged, this, &ArtworkSheet::importingChanged);
    connect(m_photos, &PhotoSlots::slotClicked, this, &ArtworkSheet::openSlot);
    connect(m_addPhotoButton, &QToolButton::clicked, m_grid, &PhotoGrid::addPhotos);
    return page;
}

void ArtworkSheet::showPhotosTab()
{
    tabs()->setCurrentIndex(m_photosTab);
}

void ArtworkSheet::showSlots()
{
    m_photos->showPhotos(ArtworkEditor::photoSlots(m_photoList->images()));
}

void ArtworkSheet::openSlot(int slot)
{
    if (Image *photo = m_photoList->imageInSlot(slot))
        m_grid->openViewer(photo);
    else
        m_grid->addPhotos();
}

void ArtworkSheet::importingChanged(bool importing)
{
    // The sheet's photo lists are the import's until it ends.
    cancelButton()->setEnabled(!importing);
    updateOkButton();
}

void ArtworkSheet::showValues()
{
    const editing::ArtworkValues &values = m_editor->values();
    m_title->showText(values.title);
    showSlots();
    fillNames();
    m_saleLoan->setSelectedSegment(values.forSaleOrLoan ? 1 : 0);
    SheetControls::showText(m_price, values.price);
    m_totalIncome->setText(m_editor->totalIncomeText());
    m_size->showText(values.size);
    m_created->setChecked(values.created);
    m_createdDate->showDate(values.createdDate);
    m_createdDate->setBlank(!values.created);
    SheetControls::showText(m_effort, values.effort);
    updateEffortUnits();
    m_effortUnits->setCurrentIndex(values.effortUnits);
    SheetControls::showText(m_materialCost, values.materialCost);
    m_location->setPlainText(values.location);
    m_notes->setPlainText(values.notes);
}

void ArtworkSheet::fillNames()
{
    for (const bool artist : {true, false}) {
        QComboBox *box = artist ? m_artist : m_medium;
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(artist ? m_editor->artistNames() : m_editor->mediumNames());
        const QString &name = artist ? m_editor->values().artist : m_editor->values().medium;
        box->setCurrentIndex(box->findText(name));
        box->setEditText(name);
    }
}

void ArtworkSheet::connectFields()
{
    editing::ArtworkValues &values = m_editor->values();
    connect(m_title, &QLineEdit::textChanged, this, [this, &values](const QString &text) {
        values.title = text;
        updateOkButton();
    });
    connect(m_artist, &QComboBox::currentTextChanged, this, [this, &values](const QString &text) {
        values.artist = text;
        updateOkButton();
    });
    connect(m_medium, &QComboBox::currentTextChanged, this, [this, &values](const QString &text) {
        values.medium = text;
        updateOkButton();
    });
    connect(m_saleLoan, &SegmentedControl::segmentSelected, this, [this, &values](int segment) {
        values.forSaleOrLoan = segment == 1;
        updateOkButton();
    });
    for (const auto &[field, value] : {std::pair{m_price, &values.price}, std::pair{m_effort, &values.effort},
                                       std::pair{m_materialCost, &values.materialCost}})
        connect(field, &QLineEdit::textChanged, this, [this, value = value](const QString &text) {
            *value = text;
            updateEffortUnits();
            updateOkButton();
        });
    connect(m_size, &QLineEdit::textChanged, this, [this, &values](const QString &text) {
        values.size = text;
        updateOkButton();
    });
    connect(m_created, &QCheckBox::toggled, this, [this, &values](bool on) {
        values.created = on;
        m_createdDate->setBlank(!on);
        updateOkButton();
    });
    connect(m_createdDate, &QDateEdit::dateChanged, this, [this, &values](const QDate &day) {
        values.createdDate = day;
        updateOkButton();
    });
    connect(m_effortUnits, &QComboBox::activated, this, [this, &values](int index) {
        values.effortUnits = index;
        updateOkButton();
    });
    connect(m_location, &QPlainTextEdit::textChanged, this, [this, &values] {
        values.location = m_location->toPlainText();
        updateOkButton();
    });
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this, &values] {
        values.notes = m_notes->toPlainText();
        updateOkButton();
    });
}

void ArtworkSheet::updateEffortUnits()
{
    SheetControls::setChoices(m_effortUnits, m_editor->effortUnitNames());
}

void ArtworkSheet::removeName(bool artist)
{
    QComboBox *box = artist ? m_artist : m_medium;
    const QString name = box->currentText();
    const Result<> removed = artist ? m_editor->removeArtist(name) : m_editor->removeMedium(name);
    if (!removed)
        showCommandFailure(this, removed.message());
    (artist ? m_editor->values().artist : m_editor->values().medium).clear();
    fillNames();
    updateOkButton();
}

std::unique_ptr<Record> ArtworkSheet::shownRecord() const
{
    return m_editor->shownArtwork();
}

bool ArtworkSheet::canSave() const
{
    return m_editor->canSave() && !m_photoList->isImporting();
}

bool ArtworkSheet::hasChanges() const
{
    return m_editor->hasChanges() || m_photoList->hasChanges();
}

Result<Record *> ArtworkSheet::save()
{
    const Result<Artwork *> saved = m_editor->save();
    // The photos follow once the artwork's own fields are stored; a failure of theirs reaches the
    // command boundary of OK.
    if (saved && m_unsaved)
        m_photoList->commitTo(*saved.value());
    else if (saved)
        m_photoList->commit();
    return savedRecord(saved);
}

void ArtworkSheet::reject()
{
    if (m_photoList->isImporting())
        return;
    runCommand(this, [this] { m_photoList->rollback(); });
    RecordSheet::reject();
}

void ArtworkSheet::focusFirstField()
{
    m_title->setFocus();
}

} // namespace velumark::gui
