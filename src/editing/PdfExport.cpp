#include "editing/PdfExport.h"

#include "editing/PageGeometry.h"
#include "editing/PrintRenderer.h"
#include "interchange/ExportValues.h"
#include "store/Localization.h"
#include "store/WriteBehind.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace velumark::editing {

Result<> PdfExport::write(VelumarkDatabase &document, const PrintOptions &options,
                          const QPageLayout &pageSetup, const QString &path,
                          const std::function<bool(int, int)> &carryOn, const QPageRanges &pages)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{
            localized("The PDF file %1 could not be written: %2").arg(shownPath, file.errorString())};
    const QPageLayout layout = PageGeometry::forPrinting(pageSetup, options.orientation);
    QPdfWriter writer(&file);
    writer.setCreator(ExportValues::applicationName() + QLatin1Char(' ') +
                      ExportValues::applicationVersion());
    writer.setPageLayout(layout);
    PrintRenderer renderer(document, options, PageGeometry::fromPageLayout(layout));
    QPainter painter;
    if (!painter.begin(&writer))
        return Failure{localized("The PDF file %1 could not be started.").arg(shownPath)};
    WriteBehind writeBehind(file);
    Result<> drawn = renderer.drawPages(painter, writer, pages, [&](int done, int total) {
        writeBehind.writeOut();
        return !carryOn || carryOn(done, total);
    });
    painter.end();
    if (!drawn) {
        file.cancelWriting();
        return drawn;
    }
    if (!file.commit())
        return Failure{
            localized("The PDF file %1 could not be written: %2").arg(shownPath, file.errorString())};
    return {};
}

} // namespace velumark::editing
