#include "BenchCatalogues.h"

#include "BenchSupport.h"
#include "document/DemoCatalogue.h"
#include "document/VelumarkDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <random>

namespace velumark::bench {

namespace {
// Bumped whenever the sample generator changes what it makes, so that old caches are not used.
constexpr int kGeneration = 1;
} // namespace

CatalogueSize smallSize()
{
    return {QStringLiteral("small"), 5000, 1250, 25000, 5000};
}

CatalogueSize largeSize()
{
    return {QStringLiteral("large"), 20000, 5000, 100000, 20000};
}

QString preparedCatalogue(const QString &dataFolder, const CatalogueSize &size, bool withPhotos)
{
    const QString name = QStringLiteral("%1%2-g%3.vdb")
                             .arg(size.name, withPhotos ? QString() : QStringLiteral("-nophotos"))
                             .arg(kGeneration);
    const QString path = QDir(dataFolder).filePath(name);
    if (QFileInfo::exists(QDir(path).filePath(QStringLiteral("velumark.db"))))
        return path;
    // Made under another name and renamed when complete: an interrupted run leaves no catalogue
    // that looks ready.
    const QString making = path + QStringLiteral(".making");
    removePath(making);
    note(QStringLiteral("Making the %1 catalogue %2 (once; kept for later runs)...").arg(size.name, path));
    {
        VelumarkDatabase document;
        if (const Result<> opened = document.readFromURL(making); !opened)
            qFatal("Cannot create %s: %s", qPrintable(making), qPrintable(opened.message()));
        DemoCatalogue::Options options;
        options.artworks = size.artworks;
        options.clients = size.clients;
        options.submissions = size.submissions;
        options.photos = withPhotos ? size.photos : 0;
        options.seed = 1;
        int lastTenth = -1;
        Result<> filled = DemoCatalogue(options).fill(document, [&](double percent) {
            const int tenth = static_cast<int>(percent / 10);
            if (tenth != lastTenth)
                note(QStringLiteral("  %1%").arg(tenth * 10));
            lastTenth = tenth;
        });
        if (filled)
            filled = document.close();
        if (!filled)
            qFatal("Cannot fill %s: %s", qPrintable(making), qPrintable(filled.message()));
    }
    if (!QDir().rename(making, path))
        qFatal("Cannot rename %s", qPrintable(making));
    return path;
}

QString preparedCameraPicture(const QString &dataFolder, int width, int height)
{
    const QString path = QDir(dataFolder).filePath(QStringLiteral("camera-%1x%2.jpg").arg(width).arg(height));
    if (QFileInfo::exists(path))
        return path;
    QImage picture(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, height);
        sky.setColorAt(0, QColor(90, 140, 210));
        sky.setColorAt(1, QColor(200, 170, 120));
        painter.fillRect(picture.rect(), sky);
        painter.setPen(Qt::NoPen);
        std::mt19937 random(static_cast<unsigned>(width * 31 + height));
        for (int i = 0; i < 40; ++i) {
            painter.setBrush(QColor::fromHsv(static_cast<int>(random() % 360), 160, 170, 180));
            painter.drawEllipse(static_cast<int>(random() % static_cast<unsigned>(width)),
                                static_cast<int>(random() % static_cast<unsigned>(height)), width / 6,
                                height / 5);
        }
    }
    // Sensor grain: a camera picture holds far more detail than flat paint.
    std::mt19937 grain(7);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = static_cast<int>(grain() % 25) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + n, 255), qBound(0, qGreen(p) + n, 255),
                           qBound(0, qBlue(p) + n, 255));
        }
    }
    const QString making = path + QStringLiteral(".making.jpg");
    if (!picture.save(making, "JPEG", 92) || !QDir().rename(making, path))
        qFatal("Cannot write %s", qPrintable(path));
    return path;
}

QString scratchPackage(const QString &catalogue, const QString &target)
{
    removePath(target);
    if (!QDir().mkpath(target) || !QFile::copy(QDir(catalogue).filePath(QStringLiteral("velumark.db")),
                                               QDir(target).filePath(QStringLiteral("velumark.db"))))
        qFatal("Cannot copy %s to %s", qPrintable(catalogue), qPrintable(target));
    return target;
}

} // namespace velumark::bench
