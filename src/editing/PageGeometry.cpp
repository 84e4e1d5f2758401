#include "editing/PageGeometry.h"

#include <QLocale>
#include <QPageSize>
#include <algorithm>

namespace velumark::editing {

QRectF PageGeometry::printRect() const
{
    const double left = margins.left() * 0.5;
    const double right = margins.right() * 0.5;
    const double top = margins.top() / 3.5;
    const double bottom = margins.bottom() / 3.5;
    return QRectF(imageable.x() + left, imageable.y() + top, std::max(0.0, imageable.width() - left - right),
                  std::max(0.0, imageable.height() - top - bottom));
}

PageGeometry PageGeometry::fromPageLayout(const QPageLayout &layout)
{
    QPageLayout inPoints = layout;
    inPoints.setUnits(QPageLayout::Point);
    PageGeometry page;
    const QRectF full = inPoints.fullRect();
    page.paper = full.size();
    page.imageable = full.marginsRemoved(inPoints.minimumMargins());
    page.margins = inPoints.margins();
    return page;
}

QPageLayout PageGeometry::defaultPageLayout()
{
    const bool inches = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(72, 90, 72, 90), QPageLayout::Point);
}

QPageLayout PageGeometry::forPrinting(QPageLayout pageSetup, QPageLayout::Orientation orientation)
{
    pageSetup.setOrientation(orientation);
    pageSetup.setMode(QPageLayout::FullPageMode);
    return pageSetup;
}

} // namespace velumark::editing
