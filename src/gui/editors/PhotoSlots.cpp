#include "gui/editors/PhotoSlots.h"

#include "store/Localization.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>

namespace velumark::gui {

PhotoSlots::PhotoSlots(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < editing::ArtworkEditor::kPhotoSlots; ++i) {
        auto *label = new QLabel;
        label->setFixedSize(kSlotSide, kSlotSide);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setBackgroundRole(QPalette::Base);
        label->setAutoFillBackground(true);
        label->setAccessibleName(localized("Photo %1").arg(i + 1));
        layout->addWidget(label);
        m_slots.push_back(label);
    }
    layout->addStretch();
}

void PhotoSlots::showPhotos(const std::vector<editing::ArtworkEditor::PhotoSlot> &photos)
{
    const int inner = kSlotSide - 6;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        QLabel *label = m_slots[i];
        if (i < photos.size() && !photos[i].thumbnail.isNull()) {
            const qreal scale = label->devicePixelRatioF();
            QPixmap pixmap = QPixmap::fromImage(photos[i].thumbnail.scaled(
                QSize(inner, inner) * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            pixmap.setDevicePixelRatio(scale);
            label->setPixmap(pixmap);
        } else {
            label->clear();
        }
        const QString caption = i < photos.size() ? photos[i].caption : QString();
        label->setToolTip(caption);
        label->setAccessibleDescription(caption);
    }
}

} // namespace velumark::gui
