#include "gui/editors/PhotoSlots.h"

#include "gui/shell/Icons.h"
#include "store/Localization.h"

#include <QHBoxLayout>
#include <QPixmap>
#include <QToolButton>

namespace velumark::gui {

namespace {

constexpr int kInner = PhotoSlots::kSlotSide - 8;

} // namespace

PhotoSlots::PhotoSlots(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < editing::ArtworkEditor::kPhotoSlots; ++i) {
        auto *button = new QToolButton;
        button->setFixedSize(kSlotSide, kSlotSide);
        button->setIconSize(QSize(kInner, kInner));
        button->setAutoRaise(false);
        button->setObjectName(QStringLiteral("photoSlot%1").arg(i + 1));
        button->setAccessibleName(localized("Photo %1").arg(i + 1));
        connect(button, &QToolButton::clicked, this, [this, i] { emit slotClicked(i); });
        layout->addWidget(button);
        m_slots.push_back(button);
    }
    layout->addStretch();
}

void PhotoSlots::showPhotos(const std::vector<editing::ArtworkEditor::PhotoSlot> &photos)
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        QToolButton *button = m_slots[i];
        const bool filled = i < photos.size() && !photos[i].thumbnail.isNull();
        if (filled) {
            const qreal scale = button->devicePixelRatioF();
            QPixmap pixmap = QPixmap::fromImage(photos[i].thumbnail.scaled(
                QSize(kInner, kInner) * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            pixmap.setDevicePixelRatio(scale);
            button->setIcon(QIcon(pixmap));
        } else {
            button->setIcon(Icons::themed(QStringLiteral("insert-image"), QStringLiteral("photo-add")));
        }
        // An empty slot draws its picture small, as a button; a photo fills the slot.
        button->setIconSize(filled ? QSize(kInner, kInner) : QSize(kInner / 3, kInner / 3));
        const QString caption = i < photos.size() ? photos[i].caption : QString();
        button->setToolTip(filled ? caption : localized("Add photos"));
        button->setAccessibleDescription(caption);
    }
}

} // namespace velumark::gui
