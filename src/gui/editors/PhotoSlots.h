#pragma once

#include "editing/ArtworkEditor.h"

#include <QWidget>
#include <vector>

class QLabel;

namespace velumark::gui {

// The five photo slots of the artwork sheet: the thumbnails of the artwork's first five photos,
// each with its caption as tool tip; slots without a photo stay empty.
class PhotoSlots : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSlotSide = 72;

    explicit PhotoSlots(QWidget *parent = nullptr);

    void showPhotos(const std::vector<editing::ArtworkEditor::PhotoSlot> &photos);
    QLabel *slotLabel(int slot) const { return m_slots.at(size_t(slot)); }

private:
    std::vector<QLabel *> m_slots;
};

} // namespace velumark::gui
