#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

namespace velumark::test {

// What poppler's tools read from a PDF file: pages, text and images, never its pixels.
class PrintedPdf
{
public:
    explicit PrintedPdf(QString path) : m_path(std::move(path)) {}

    int pageCount() const;
    // pdfinfo's "Page size" in points.
    QSizeF pageSize() const;
    // The text of one page (1-based), or of all pages.
    QString text(int page = 0) const;
    // Images drawn (not their masks), in pixels.
    std::vector<QSize> imageSizes() const;
    int imageCount() const { return static_cast<int>(imageSizes().size()); }

    struct Word
    {
        QString text;
        QRectF box; // points, y downwards
    };
    std::vector<Word> words(int page) const;

private:
    QString run(const QString &program, const QStringList &arguments) const;

    QString m_path;
};

} // namespace velumark::test
