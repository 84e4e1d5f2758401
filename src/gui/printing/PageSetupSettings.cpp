#include "gui/printing/PageSetupSettings.h"

#include "editing/PageGeometry.h"

#include <QSettings>
#include <cmath>

namespace velumark::gui {

namespace {

const QString kPaper = QStringLiteral("pageSetup/paper");
const QString kPaperSize = QStringLiteral("pageSetup/paperSize");
const QString kOrientation = QStringLiteral("pageSetup/orientation");
const QString kMargins = QStringLiteral("pageSetup/margins");

// Sizes in points, positive and finite, at most a few metres.
bool usable(double points, double limit)
{
    return std::isfinite(points) && points >= 0 && points <= limit;
}

std::optional<QPageSize> paperFrom(const QSettings &settings)
{
    const QString key = settings.value(kPaper).toString();
    for (int id = 0; id < QPageSize::LastPageSize + 1; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (size != QPageSize::Custom && QPageSize::key(size) == key)
            return QPageSize(size);
    }
    const QSizeF custom = settings.value(kPaperSize).toSizeF();
    if (key == QLatin1String("Custom") && custom.width() >= 72 && custom.height() >= 72 &&
        usable(custom.width(), 14400) && usable(custom.height(), 14400))
        return QPageSize(custom, QPageSize::Point, QString(), QPageSize::ExactMatch);
    return std::nullopt;
}

} // namespace

QPageLayout PageSetupSettings::load(QSettings &settings)
{
    QPageLayout layout = editing::PageGeometry::defaultPageLayout();
    const std::optional<QPageSize> paper = paperFrom(settings);
    if (!paper)
        return layout;
    const QVariantList margins = settings.value(kMargins).toList();
    if (margins.size() != 4)
        return layout;
    const QSizeF paperPoints = paper->size(QPageSize::Point);
    double sides[4];
    for (int i = 0; i < 4; ++i) {
        sides[i] = margins.at(i).toDouble();
        if (!usable(sides[i], std::min(paperPoints.width(), paperPoints.height()) / 2))
            return layout;
    }
    const auto orientation = settings.value(kOrientation).toString() == QLatin1String("landscape")
                                 ? QPageLayout::Landscape
                                 : QPageLayout::Portrait;
    return QPageLayout(*paper, orientation, QMarginsF(sides[0], sides[1], sides[2], sides[3]),
                       QPageLayout::Point);
}

void PageSetupSettings::save(QSettings &settings, const QPageLayout &layout)
{
    QPageLayout inPoints = layout;
    inPoints.setUnits(QPageLayout::Point);
    const QPageSize paper = inPoints.pageSize();
    settings.setValue(kPaper, paper.id() == QPageSize::Custom ? QStringLiteral("Custom")
                                                              : QPageSize::key(paper.id()));
    settings.setValue(kPaperSize, paper.size(QPageSize::Point));
    settings.setValue(kOrientation, inPoints.orientation() == QPageLayout::Landscape
                                        ? QStringLiteral("landscape")
                                        : QStringLiteral("portrait"));
    const QMarginsF margins = inPoints.margins();
    settings.setValue(kMargins,
                      QVariantList{margins.left(), margins.top(), margins.right(), margins.bottom()});
}

} // namespace velumark::gui
