#include "editing/PrintRenderer.h"

#include "editing/HeapRetention.h"
#include "editing/StatusMarks.h"
#include "interchange/ExportValues.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Clock.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/Submission.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace velumark::editing {

namespace {

// The row layout of the lists, in points from the left of the printed area (a portrait page;
// the columns from kSizeColumn on move right on wider paper).
constexpr double kPictureColumn = 60;
constexpr double kTextColumn = 70; // plus the picture's width
constexpr double kSizeColumn = 365;
constexpr double kStatusColumn = 445;
constexpr double kPortraitWidth = 540;
constexpr double kColumnGap = 8;
constexpr double kMarkSide = 15;

double pictureSide(PrintScreen screen)
{
    switch (screen) {
    case PrintScreen::Artworks:
        return 100;
    case PrintScreen::Submissions:
    case PrintScreen::ClientOutstanding:
        return 54;
    default:
        return 0;
    }
}

std::optional<SheetLines> sheetFor(const PrintOptions &options, const PrintFonts &fonts, double valueWidth)
{
    switch (options.screen) {
    case PrintScreen::ArtworkSheet:
        if (auto *artwork = dynamic_cast<Artwork *>(options.record))
            return SheetLines::forArtwork(*artwork, fonts, valueWidth);
        break;
    case PrintScreen::ClientSheet:
        if (auto *client = dynamic_cast<Client *>(options.record))
            return SheetLines::forClient(*client, fonts, valueWidth);
        break;
    case PrintScreen::SubmissionSheet:
        if (auto *submission = dynamic_cast<Submission *>(options.record))
            return SheetLines::forSubmission(*submission, fonts, valueWidth);
        break;
    default:
        break;
    }
    return std::nullopt;
}

// A single line: line breaks of the text become blanks.
QString oneLine(QString text)
{
    for (const QChar breaker :
         {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        text.replace(breaker, QLatin1Char(' '));
    return text;
}

} // namespace

PrintRenderer::PrintRenderer(VelumarkDatabase &document, const PrintOptions &options,
                             const PageGeometry &page)
    : m_options(options), m_page(page), m_header(m_fonts.header()), m_listMain(m_fonts.listMain()),
      m_listSmall(m_fonts.listSmall()), m_label(m_fonts.label()), m_value(m_fonts.value()),
      m_small(m_fonts.small()), m_rows(document, options),
      m_exported(localized("Exported from %1 v%2 on %3")
                     .arg(ExportValues::applicationName(), ExportValues::applicationVersion(),
                          mediumDateTimeString(Clock::now())))
{
    const QRectF printRect = page.printRect();
    if (isSheetScreen(options.screen)) {
        m_sheet = sheetFor(options, m_fonts, printRect.width() - SheetLines::kValueColumn);
        m_layout = std::make_unique<PrintLayout>(options.screen, printRect,
                                                 PrintLayout::sheetLineHeight(m_fonts.capHeight()),
                                                 m_sheet ? m_sheet->count() : 0);
    } else {
        m_layout = std::make_unique<PrintLayout>(options.screen, printRect,
                                                 PrintLayout::listLineHeight(options.screen), m_rows.count());
    }
}

PrintRenderer::~PrintRenderer() = default;

QString PrintRenderer::headerText(int page) const
{
    return localized("%1 - (%2/%3)").arg(m_exported, QString::number(page + 1), QString::number(pageCount()));
}

double PrintRenderer::extraWidth() const
{
    return std::max(0.0, m_layout->printRect().width() - kPortraitWidth);
}

QString PrintRenderer::drawText(QPainter &painter, const Font &font, const QPointF &topLeft, double width,
                                const QString &text)
{
    if (text.isEmpty() || width <= 0)
        return {};
    QString shown = oneLine(text);
    // Most texts are short enough to fit however wide their letters: no need to measure them.
    if (shown.size() * font.metrics.maxWidth() > width)
        shown = font.metrics.elidedText(shown, Qt::ElideRight, width);
    painter.setFont(font.font);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + font.metrics.ascent()), shown);
    return shown;
}

void PrintRenderer::drawPage(QPainter &painter, int page)
{
    drawPage(painter, page, Submission::textContext());
}

void PrintRenderer::drawPage(QPainter &painter, int page, const Submission::TextContext &texts)
{
    if (page < 0 || page >= pageCount())
        return;
    painter.save();
    const QPaintDevice *device = painter.device();
    painter.scale(device->logicalDpiX() / 72.0, device->logicalDpiY() / 72.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::black);
    drawHeader(painter, page);
    if (m_options.screen == PrintScreen::ClientOutstanding)
        drawOutstandingTitle(painter);
    if (!m_sheet)
        readPicturesAhead(page);
    const PrintLayout::Span items = m_layout->itemsOfPage(page);
    for (qsizetype i = 0; i < items.count; ++i) {
        const int place = static_cast<int>(i);
        if (m_sheet)
            drawSheetLine(painter, items.first + i, m_layout->itemFrame(place), m_layout->placesFrom(place));
        else
            drawListRow(painter, m_rows.row(items.first + i, texts), items.first + i,
                        m_layout->itemFrame(place));
    }
    painter.restore();
}

Result<> PrintRenderer::drawPages(QPainter &painter, QPagedPaintDevice &device, const QPageRanges &pages,
                                  const std::function<bool(int, int)> &carryOn)
{
    std::vector<int> chosen;
    for (int page = 1; page <= pageCount(); ++page) {
        if (pages.isEmpty() || pages.contains(page))
            chosen.push_back(page);
    }
    if (chosen.empty())
        return Failure{localized("The printout has no page in the range chosen.")};
    const int total = static_cast<int>(chosen.size());
    // Every row's overdue mark and day counts are taken against the same today, worked out once.
    const Clock::TodayScope today;
    const Submission::TextContext texts = Submission::textContext();
    HeapRetention heap;
    for (int done = 0; done < total; ++done) {
        if (carryOn && !carryOn(done, total))
            return Failure{localized("Printing was cancelled.")};
        if (done > 0 && !device.newPage())
            return Failure{localized("The printer did not accept another page.")};
        drawPage(painter, chosen[static_cast<size_t>(done)] - 1, texts);
        heap.pageDrawn();
    }
    return {};
}

void PrintRenderer::readPicturesAhead(int page)
{
    const double side = pictureSide(m_options.screen);
    if (side <= 0)
        return;
    // This page's pictures and the next one's, read while this one is drawn.
    m_pictureRows.clear();
    for (const int shown : {page, page + 1}) {
        const PrintLayout::Span items =
            shown < pageCount() ? m_layout->itemsOfPage(shown) : PrintLayout::Span{};
        for (qsizetype i = 0; i < items.count; ++i)
            m_pictureRows.push_back(m_rows.image(items.first + i));
    }
    m_pictures.readAheadSquareThumbnails(m_pictureRows, side);
}

void PrintRenderer::drawHeader(QPainter &painter, int page) const
{
    const QRectF &area = m_layout->printRect();
    drawText(painter, m_header, area.topLeft(), area.width(), headerText(page));
}

void PrintRenderer::drawListRow(QPainter &painter, const PrintRow &row, qsizetype index, const QRectF &frame)
{
    const double x = frame.x();
    const double y = frame.y();
    drawText(painter, m_listMain, {x, y + 10}, kPictureColumn - kColumnGap, QString::number(index + 1));
    if (m_options.screen == PrintScreen::ClientOutstanding) {
        drawOutstandingRow(painter, row, frame);
        return;
    }
    const double side = pictureSide(m_options.screen);
    if (side > 0)
        drawThumbnail(painter, row.image, QRectF(x + kPictureColumn, y + 10, side, side));
    const double textX = x + kTextColumn + side;
    if (m_options.screen == PrintScreen::Artworks) {
        drawArtworkRow(painter, row, frame, textX);
        return;
    }
    // The first line ends before the status column.
    const double statusX = x + kStatusColumn + extraWidth();
    drawText(painter, m_listMain, {textX, y + 10}, statusX - kColumnGap - textX, row.line1);
    drawText(painter, m_listSmall, {textX, y + 32}, 280 - side + extraWidth(), row.line2);
    drawText(painter, m_listSmall, {textX, y + 54}, 250 - side + extraWidth(), row.line3);
    drawText(painter, m_listMain, {statusX, y + 10}, frame.right() - statusX, row.status);
    drawText(painter, m_listSmall, {statusX, y + 32}, frame.right() - statusX, row.subStatus);
}

void PrintRenderer::drawArtworkRow(QPainter &painter, const PrintRow &row, const QRectF &frame, double textX)
{
    const double y = frame.y();
    const double side = pictureSide(PrintScreen::Artworks);
    drawText(painter, m_listMain, {textX, y + 10}, frame.right() - textX, row.line1);
    drawText(painter, m_listSmall, {textX, y + 32}, 280 - side + extraWidth(), row.line2);
    drawText(painter, m_listSmall, {textX, y + 54}, 250 - side + extraWidth(), row.line3);
    const QString client =
        drawText(painter, m_listSmall, {textX, y + 76}, 250 - side + extraWidth(), row.line4);
    QRectF mark(textX + m_listSmall.metrics.horizontalAdvance(client) + kColumnGap, y + 74, kMarkSide,
                kMarkSide);
    if (StatusMarks::draw(painter, mark, row.statusImage))
        mark.translate(kMarkSide + kColumnGap, 0);
    StatusMarks::draw(painter, mark, row.statusImage2);
    const double sizeX = frame.x() + kSizeColumn + extraWidth();
    drawText(painter, m_listSmall, {sizeX, y + 32}, frame.right() - sizeX, row.sizeText);
    drawText(painter, m_listSmall, {sizeX, y + 54}, frame.right() - sizeX, row.createdText);
}

void PrintRenderer::drawOutstandingTitle(QPainter &painter) const
{
    const Client *client = m_rows.client();
    if (!client)
        return;
    const QRectF &area = m_layout->printRect();
    const QString title = localized("Out at %1 (%2 waiting for a response)")
                              .arg(client->company(), QString::number(m_rows.count()));
    drawText(painter, m_label, {area.x(), area.y() + 18}, area.width(), title);
}

void PrintRenderer::drawOutstandingRow(QPainter &painter, const PrintRow &row, const QRectF &frame)
{
    const double x = frame.x();
    const double y = frame.y();
    const double side = pictureSide(PrintScreen::ClientOutstanding);
    drawThumbnail(painter, row.image, QRectF(x + kPictureColumn, y + 8, side, side));
    const double textX = x + kTextColumn + side;
    const double datesX = x + kSizeColumn + extraWidth();
    const double textWidth = datesX - kColumnGap - textX;
    drawText(painter, m_listMain, {textX, y + 10}, textWidth, row.line1);
    drawText(painter, m_listSmall, {textX, y + 30}, textWidth, row.line2);
    drawText(painter, m_listSmall, {textX, y + 46}, textWidth, row.line3);
    drawText(painter, m_listMain, {datesX, y + 10}, frame.right() - datesX, row.status);
    drawText(painter, m_listMain, {datesX, y + 28}, frame.right() - datesX, row.subStatus);
    if (row.overdue)
        drawText(painter, m_label, {datesX, y + 46}, frame.right() - datesX, localized("Overdue"));
}

void PrintRenderer::drawThumbnail(QPainter &painter, Image *image, const QRectF &box)
{
    if (!image)
        return;
    const QImage picture = m_pictures.squareThumbnail(*image, box.width());
    if (!picture.isNull())
        painter.drawImage(box, picture);
}

void PrintRenderer::drawSheetLine(QPainter &painter, qsizetype number, const QRectF &frame, int placesLeft)
{
    const SheetLine &line = m_sheet->line(number);
    const double valueX = frame.x() + SheetLines::kValueColumn;
    const double valueWidth = frame.width() - SheetLines::kValueColumn;
    // A label without a value may run on into the value column.
    const bool labelAlone = line.kind == SheetLine::Kind::Field && line.value.isEmpty();
    drawText(painter, m_label, frame.topLeft(),
             labelAlone ? frame.width() : SheetLines::kValueColumn - kColumnGap, line.label);
    switch (line.kind) {
    case SheetLine::Kind::Field:
    case SheetLine::Kind::HistoryEntry:
        drawText(painter, m_value, {valueX, frame.y()}, valueWidth, line.value);
        break;
    case SheetLine::Kind::HistoryDetail:
        drawText(painter, m_small, {valueX, frame.y()}, valueWidth, line.value);
        break;
    case SheetLine::Kind::WrappedLine:
        painter.setFont(m_value.font);
        line.text->drawLine(painter, line.textLine, {valueX, frame.y()});
        break;
    case SheetLine::Kind::Photos:
        drawPhotos(painter, frame, placesLeft);
        break;
    case SheetLine::Kind::Blank:
        break;
    }
}

void PrintRenderer::drawPhotos(QPainter &painter, const QRectF &frame, int placesLeft)
{
    constexpr double kPhotoSide = 64;
    constexpr double kPhotoStep = 74;
    // The photos take their line and the blank ones below it, never more than the page has left.
    const double band = std::min(SheetLines::kPhotoLines, placesLeft) * frame.height() - 2;
    const double side = std::min(kPhotoSide, band);
    if (side <= 0)
        return;
    double x = frame.x() + SheetLines::kValueColumn;
    for (Image *image : m_sheet->photos()) {
        if (x + side > frame.right())
            break;
        const QImage picture = m_pictures.thumbnail(*image, side);
        if (!picture.isNull()) {
            const QSizeF size = QSizeF(picture.size()).scaled(side, side, Qt::KeepAspectRatio);
            painter.drawImage(QRectF(QPointF(x, frame.y()), size), picture);
        }
        x += kPhotoStep;
    }
}

} // namespace velumark::editing
