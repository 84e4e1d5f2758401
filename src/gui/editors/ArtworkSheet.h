#pragma once

#include "editing/ArtworkEditor.h"
#include "gui/editors/RecordSheet.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace velumark {
class Artwork;
}

namespace velumark::editing {
class ArtworkPhotos;
}

namespace velumark::gui {

class DateField;
class LimitedLineEdit;
class LimitedTextEdit;
class PhotoGrid;
class PhotoSlots;
class SegmentedControl;

// The sheet of one artwork ("Artwork Info") or of a new one ("New Artwork"): title, the first
// five photos, artist and medium (typed names join their lists on save; the "−" buttons take a
// name out), for sale or loan, price, total income, size, creation date, effort with its unit,
// material cost, location, notes on their own tab, and every photo in a grid on a third. Photos
// added in the sheet are stored at once and taken back by Cancel; photos deleted go on OK. OK and
// Cancel wait while photos are being added.
class ArtworkSheet : public RecordSheet
{
    Q_OBJECT
public:
    // Opens the sheet of a stored artwork over the parent window, or brings its open sheet
    // forward. Null when the artwork cannot be read (the reason was shown).
    static ArtworkSheet *edit(QWidget *parent, VelumarkDatabase &document, Artwork &artwork);
    // Opens a sheet for a new artwork; saved() hands over the artwork once it is in the document.
    static ArtworkSheet *create(QWidget *parent, VelumarkDatabase &document);

    ~ArtworkSheet() override;

    const editing::ArtworkEditor &editor() const { return *m_editor; }
    QToolButton *addPhotoButton() const { return m_addPhotoButton; }
    PhotoSlots *photoSlots() const { return m_photos; }
    PhotoGrid *photoGrid() const { return m_grid; }
    void showPhotosTab();

    void reject() override;
    // "Submission History", shown for a stored artwork: opens its history window.
    QPushButton *historyButton() const { return m_historyButton; }

    std::unique_ptr<Record> shownRecord() const override;

protected:
    bool canSave() const override;
    bool hasChanges() const override;
    Result<Record *> save() override;
    void focusFirstField() override;

private:
    friend class RecordSheet;
    ArtworkSheet(QWidget *parent, std::unique_ptr<editing::ArtworkEditor> editor);

    QWidget *buildGeneralTab();
    QWidget *buildPhotosTab();
    void showSlots();
    void openSlot(int slot);
    void importingChanged(bool importing);
    QLayout *buildNameBox(QComboBox *&box, const QString &placeholder, const QString &toolTip,
                          const QString &removeToolTip, bool artist);
    void connectFields();
    void showValues();
    void fillNames();
    void removeName(bool artist);
    void updateEffortUnits();

    editing::ArtworkEditor *m_editor;
    // What a new artwork's photos belong to until the artwork is saved.
    std::unique_ptr<Artwork> m_unsaved;
    editing::ArtworkPhotos *m_photoList;
    PhotoGrid *m_grid = nullptr;
    int m_photosTab = -1;
    LimitedLineEdit *m_title = nullptr;
    PhotoSlots *m_photos = nullptr;
    QToolButton *m_addPhotoButton = nullptr;
    QComboBox *m_artist = nullptr;
    QComboBox *m_medium = nullptr;
    SegmentedControl *m_saleLoan = nullptr;
    QLineEdit *m_price = nullptr;
    QLabel *m_totalIncome = nullptr;
    LimitedLineEdit *m_size = nullptr;
    QCheckBox *m_created = nullptr;
    DateField *m_createdDate = nullptr;
    QLineEdit *m_effort = nullptr;
    QComboBox *m_effortUnits = nullptr;
    QLineEdit *m_materialCost = nullptr;
    LimitedTextEdit *m_location = nullptr;
    LimitedTextEdit *m_notes = nullptr;
    QPushButton *m_historyButton = nullptr;
};

} // namespace velumark::gui
