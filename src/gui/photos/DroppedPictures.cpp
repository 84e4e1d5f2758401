#include "gui/photos/DroppedPictures.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>
#include <algorithm>

namespace velumark::gui {

DroppedPictures::DroppedPictures() = default;
DroppedPictures::~DroppedPictures() = default;

DroppedPictures::Files DroppedPictures::filesFrom(const QMimeData &data)
{
    Files result;
    if (data.hasUrls()) {
        for (const QUrl &url : data.urls()) {
            if (url.isLocalFile())
                result.files.append(url.toLocalFile());
            else
                result.leftOut.append(
                    QCoreApplication::translate("Velumark", "%1: it is not a file on this computer")
                        .arg(url.toDisplayString()));
        }
        return result;
    }
    const QImage picture = qvariant_cast<QImage>(data.imageData());
    if (picture.isNull())
        return result;
    if (!m_folder)
        m_folder = std::make_unique<QTemporaryDir>();
    const QString file =
        m_folder->filePath(QCoreApplication::translate("Velumark", "Pasted picture %1.png").arg(++m_written));
    if (m_folder->isValid() && picture.save(file, "PNG"))
        result.files.append(file);
    else
        result.leftOut.append(QCoreApplication::translate("Velumark", "A picture could not be kept: %1")
                                  .arg(m_folder->errorString()));
    return result;
}

bool DroppedPictures::carriesPictures(const QMimeData &data)
{
    if (data.hasImage())
        return true;
    const QMimeDatabase types;
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), [&types](const QUrl &url) {
        return url.isLocalFile() && types.mimeTypeForFile(url.toLocalFile(), QMimeDatabase::MatchExtension)
                                        .name()
                                        .startsWith(QLatin1String("image/"));
    });
}

QStringList DroppedPictures::nameFilters()
{
    QStringList patterns;
    const QMimeDatabase types;
    for (const QByteArray &name : QImageReader::supportedMimeTypes()) {
        for (const QString &pattern : types.mimeTypeForName(QString::fromLatin1(name)).globPatterns()) {
            if (!patterns.contains(pattern))
                patterns.append(pattern);
        }
    }
    return {QCoreApplication::translate("Velumark", "Pictures (%1)").arg(patterns.join(QLatin1Char(' '))),
            QCoreApplication::translate("Velumark", "All Files (*)")};
}

} // namespace velumark::gui
