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

namespace velumark::gui {

class DateField;
class LimitedLineEdit;
class LimitedTextEdit;
class PhotoSlots;
class SegmentedControl;

// The sheet of one artwork ("Artwork Info") or of a new one ("New Artwork"): title, the first
// five photos, artist and medium (typed names join their lists on save; the "−" buttons take a
// name out), for sale or loan, price, total income, size, creation date, effort with its unit,
// material cost, location, and notes on their own tab.
class ArtworkSheet : public RecordSheet
{
    Q_OBJECT
public:
    // Opens the sheet of a stored artwork over the parent window, or brings its open sheet
    // forward. Null when the artwork cannot be read (the reason was shown).
    static ArtworkSheet *edit(QWidget *parent, VelumarkDatabase &document, Artwork &artwork);
    // Opens a sheet for a new artwork; saved() hands over the artwork once it is in the document.
    static ArtworkSheet *create(QWidget *parent, VelumarkDatabase &document);

    const editing::ArtworkEditor &editor() const { return *m_editor; }
    // For the photos to wire: hidden until then.
    QToolButton *addPhotoButton() const { return m_addPhotoButton; }
    // "Submission History", shown for a stored artwork: opens its history window.
    QPushButton *historyButton() const { return m_historyButton; }

    std::unique_ptr<Record> shownRecord() const override;

protected:
    bool canSave() const override { return m_editor->canSave(); }
    bool hasChanges() const override { return m_editor->hasChanges(); }
    Result<Record *> save() override;
    void focusFirstField() override;

private:
    friend class RecordSheet;
    ArtworkSheet(QWidget *parent, std::unique_ptr<editing::ArtworkEditor> editor);

    QWidget *buildGeneralTab();
    QLayout *buildNameBox(QComboBox *&box, const QString &placeholder, const QString &toolTip,
                          const QString &removeToolTip, bool artist);
    void connectFields();
    void showValues();
    void fillNames();
    void removeName(bool artist);
    void updateEffortUnits();

    editing::ArtworkEditor *m_editor;
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
