#include "support/PrintedPdf.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace velumark::test {

QString PrintedPdf::run(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": "
                                     << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PrintedPdf::pageCount() const
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(run(QStringLiteral("pdfinfo"), {m_path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QSizeF PrintedPdf::pageSize() const
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
            .match(run(QStringLiteral("pdfinfo"), {m_path}));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

QString PrintedPdf::text(int page) const
{
    QStringList arguments;
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << m_path << QStringLiteral("-"));
}

std::vector<QSize> PrintedPdf::imageSizes() const
{
    const QStringList lines =
        run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), m_path}).split(QLatin1Char('\n'));
    std::vector<QSize> sizes;
    for (const QString &line : lines) {
        // page num type width height ...
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 4 && fields.at(2) == QLatin1String("image"))
            sizes.emplace_back(fields.at(3).toInt(), fields.at(4).toInt());
    }
    return sizes;
}

std::vector<PrintedPdf::Word> PrintedPdf::words(int page) const
{
    const QString xhtml = run(QStringLiteral("pdftotext"),
                              {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                               QStringLiteral("-l"), QString::number(page), m_path, QStringLiteral("-")});
    std::vector<Word> found;
    QXmlStreamReader reader(xhtml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("word")) {
            const auto attributes = reader.attributes();
            const double xMin = attributes.value(QStringLiteral("xMin")).toDouble();
            const double yMin = attributes.value(QStringLiteral("yMin")).toDouble();
            const double xMax = attributes.value(QStringLiteral("xMax")).toDouble();
            const double yMax = attributes.value(QStringLiteral("yMax")).toDouble();
            found.push_back({reader.readElementText(), QRectF(QPointF(xMin, yMin), QPointF(xMax, yMax))});
        }
    }
    return found;
}

} // namespace velumark::test
