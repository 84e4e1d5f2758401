#pragma once

#include "editing/ArtworkEditor.h"

#include <QWidget>
#include <vector>

class QToolButton;

namespace velumark::gui {

// The five photo slots of the artwork sheet: the thumbnails of the first five photos, each with
// its caption as tool tip. A click on a slot asks for its photo (slotClicked); a slot without a
// photo shows the add-photo picture.
class PhotoSlots : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSlotSide = 72;

    explicit PhotoSlots(QWidget *parent = nullptr);

    void showPhotos(const std::vector<editing::ArtworkEditor::PhotoSlot> &photos);
    QToolButton *slotButton(int slot) const { return m_slots.at(size_t(slot)); }

signals:
    void slotClicked(int slot);

private:
    std::vector<QToolButton *> m_slots;
};

} // namespace velumark::gui
