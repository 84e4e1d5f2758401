#include "gui/window/VLTableCell.h"

#include "document/ThumbnailCache.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/window/ListModel.h"
#include "gui/window/ListPictures.h"
#include "store/DatabaseError.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>

namespace velumark::gui {

namespace {

// The arrangement of a cell, in pixels from its left and from the top of its content.
constexpr int kTextGap = 20; // between the thumbnail column and the texts
constexpr int kMainTop = 10;
constexpr int kMainHeight = 17;
constexpr int kMainRightMargin = 10;
constexpr int kSubTop = 32;
constexpr int kMoreSubTop = 54;
constexpr int kLast1Top = 76;
constexpr int kLast2Top = 94;
constexpr int kBottomMargin = 5;
constexpr int kSmallRightMargin = 100; // the small lines' width without a right column is w - 100
constexpr int kExtraColumnLeft = 440;
constexpr int kExtraColumnRightMargin = 10;
constexpr int kIconTop = 74;
constexpr int kIconGap = 8;
constexpr int kBandTitleLeft = 10;
constexpr int kBandTitleTop = 2;
constexpr int kBandTitleRightMargin = 25;
constexpr int kBandTitleHeight = 21;
// The small lines' size against the title's.
constexpr qreal kSmallFontScale = 0.85;
// How far the secondary text and the separator move from the base colour towards the text colour.
constexpr qreal kSmallTextShade = 0.62;
constexpr qreal kSeparatorShade = 0.14;
constexpr qreal kPlaceholderShade = 0.06;

QColor mixed(const QColor &from, const QColor &to, qreal amount)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * amount,
                            from.greenF() + (to.greenF() - from.greenF()) * amount,
                            from.blueF() + (to.blueF() - from.blueF()) * amount);
}

int rounded(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

// Where the parts of one cell go, and in which colours.
struct VLTableCell::Frame
{
    QRect cell;
    int normalHeight; // the row without band, at most the cell's height
    int contentTop;   // below the band
    int imageSide;
    int textLeft;
    int smallWidth;
    QColor mainColour;
    QColor smallColour;
    QColor placeholderColour; // the photo square of a row without photo
    const Fonts &fonts;
    qreal pixelRatio;
};

VLTableCell::Fonts::Fonts(const QFont &viewFont)
    : key(viewFont), main(viewFont), small(smallFont(viewFont)), bold(ListPictures::boldFont(viewFont)),
      mainMetrics(main), smallMetrics(small), boldMetrics(bold)
{}

VLTableCell::VLTableCell(VelumarkDatabase &document, ListPictures &pictures, QObject *parent)
    : QStyledItemDelegate(parent), m_document(document), m_pictures(pictures)
{}

QFont VLTableCell::smallFont(const QFont &font)
{
    QFont small = font;
    if (font.pointSizeF() > 0)
        small.setPointSizeF(font.pointSizeF() * kSmallFontScale);
    else
        small.setPixelSize(qMax(1, rounded(font.pixelSize() * kSmallFontScale)));
    return small;
}

const VLTableCell::Fonts &VLTableCell::fontsFor(const QFont &viewFont) const
{
    if (!m_fonts || m_fonts->key != viewFont)
        m_fonts.emplace(viewFont);
    return *m_fonts;
}

QRect VLTableCell::thumbnailRect(const QRect &cell, const CellContent &content)
{
    return content.image ? photoColumnSquare(cell, content) : QRect();
}

QRect VLTableCell::photoColumnSquare(const QRect &cell, const CellContent &content)
{
    const int side = rounded(content.imageDimension);
    if (side <= 0)
        return {};
    const int normal = rounded(content.normalCellHeight);
    const int contentTop = cell.top() + qMax(0, cell.height() - normal);
    return QRect(cell.left() + kThumbnailLeft, contentTop + (normal - side) / 2, side, side);
}

void VLTableCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const ListModel *>(index.model());
    if (!model)
        return;
    const CellContent cell = model->cellAt(index);
    const QRect &r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                               : QPalette::Inactive;
    const QPalette &palette = option.palette;
    const QColor base = palette.color(group, QPalette::Base);
    const QColor text = palette.color(group, QPalette::Text);
    const int normal = qMin(rounded(cell.normalCellHeight), r.height());
    const int side = rounded(cell.imageDimension);
    const Frame frame{r,
                      normal,
                      r.top() + qMax(0, r.height() - rounded(cell.normalCellHeight)),
                      side,
                      r.left() + side + kTextGap,
                      cell.mainExtraColumn.isEmpty() ? r.width() - kSmallRightMargin
                                                     : kExtraColumnLeft - (side + kTextGap) - kTextGap,
                      selected ? palette.color(group, QPalette::HighlightedText) : text,
                      selected ? palette.color(group, QPalette::HighlightedText)
                               : mixed(base, text, kSmallTextShade),
                      selected ? mixed(palette.color(group, QPalette::Highlight),
                                       palette.color(group, QPalette::HighlightedText), kPlaceholderShade)
                               : mixed(base, text, kPlaceholderShade),
                      fontsFor(option.font),
                      painter->device()->devicePixelRatioF()};

    painter->save();
    if (selected) {
        painter->fillRect(r, palette.brush(group, QPalette::Highlight));
    } else {
        painter->fillRect(r, base);
        if (!cell.backgroundImage.isEmpty())
            painter->drawPixmap(r, m_pictures.strip(cell.backgroundImage, r.height(), frame.pixelRatio));
    }
    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), mixed(base, text, kSeparatorShade));
    if (cell.isSectionHeading && frame.contentTop > r.top()) {
        const QRect band(r.left(), r.top(), r.width(), frame.contentTop - r.top());
        const QRect title(r.left() + kBandTitleLeft, r.top() + kBandTitleTop,
                          r.width() - kBandTitleRightMargin, kBandTitleHeight);
        m_pictures.paintBand(*painter, band, title, cell.sectionHeading, frame.fonts.bold,
                             frame.fonts.boldMetrics);
    }
    paintTexts(*painter, frame, cell);
    paintThumbnail(*painter, frame, cell);
    paintStatusIcons(*painter, frame, cell);
    painter->restore();
}

void VLTableCell::paintTexts(QPainter &painter, const Frame &frame, const CellContent &cell) const
{
    const QRect &r = frame.cell;
    const int top = frame.contentTop;
    auto line = [&](const QString &text, int left, int y, int width, int height, bool main) {
        if (text.isEmpty() || width <= 0 || height <= 0)
            return;
        const QFontMetrics &metrics = main ? frame.fonts.mainMetrics : frame.fonts.smallMetrics;
        painter.setFont(main ? frame.fonts.main : frame.fonts.small);
        painter.setPen(main ? frame.mainColour : frame.smallColour);
        painter.drawText(QRect(left, y, width, height),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                         metrics.elidedText(text, Qt::ElideRight, width));
    };
    const int left = frame.textLeft;
    const int n = frame.normalHeight;
    const int w2 = frame.smallWidth;
    line(cell.mainText, left, top + kMainTop, r.width() - (frame.imageSide + kTextGap) - kMainRightMargin,
         kMainHeight, true);
    line(cell.subText, left, top + kSubTop, w2, kMainHeight, false);
    line(cell.moreSubText, left, top + kMoreSubTop, w2, n - kMoreSubTop - kBottomMargin, false);
    line(cell.last1SubText, left, top + kLast1Top, w2, n - kLast1Top - kBottomMargin, false);
    line(cell.last2SubText, left, top + kLast2Top, w2, n - kLast2Top - kBottomMargin, false);
    const int extraLeft = r.left() + kExtraColumnLeft;
    const int extraWidth = r.width() - kExtraColumnLeft - kExtraColumnRightMargin;
    line(cell.mainExtraColumn, extraLeft, top + kSubTop, extraWidth, kMainHeight, false);
    line(cell.subExtraColumn, extraLeft, top + kMoreSubTop, extraWidth, n - kMoreSubTop - kBottomMargin,
         false);
}

void VLTableCell::paintThumbnail(QPainter &painter, const Frame &frame, const CellContent &cell) const
{
    const QRect square = photoColumnSquare(frame.cell, cell);
    if (square.isEmpty())
        return;
    if (!cell.image) {
        // Keeps the column of photos even where one is missing.
        painter.fillRect(square, frame.placeholderColour);
        return;
    }
    QImage picture;
    try {
        picture = m_document.thumbnailCache().squareThumbnail(*cell.image,
                                                              rounded(square.width() * frame.pixelRatio));
    } catch (const DatabaseError &failure) {
        // Painting goes on without the photo; the window says why once.
        emit const_cast<VLTableCell *>(this)->pictureFailed(failure.describe());
        return;
    }
    if (picture.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(square, picture);
}

void VLTableCell::paintStatusIcons(QPainter &painter, const Frame &frame, const CellContent &cell) const
{
    if (cell.statusImage.isEmpty())
        return;
    int lastWidth = 0;
    if (!cell.last1SubText.isEmpty())
        lastWidth =
            qBound(0, frame.fonts.smallMetrics.horizontalAdvance(cell.last1SubText), frame.smallWidth);
    int left = frame.textLeft + lastWidth + kIconGap;
    const int top = frame.contentTop + kIconTop;
    for (const QString *name : {&cell.statusImage, &cell.statusImage2}) {
        if (name->isEmpty())
            continue;
        const QPixmap &icon = m_pictures.statusIcon(*name, frame.pixelRatio);
        painter.drawPixmap(QRect(left, top, ListPictures::kStatusIconSide, ListPictures::kStatusIconSide),
                           icon);
        left += ListPictures::kStatusIconSide + kIconGap;
    }
}

QSize VLTableCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(option.rect.width(), index.data(Qt::SizeHintRole).toSize().height());
}

bool VLTableCell::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                            const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const CellContent cell = index.data(ListModel::CellRole).value<CellContent>();
    if (!thumbnailRect(option.rect, cell).contains(event->pos())) {
        QToolTip::hideText();
        return true;
    }
    QString caption;
    runCommand(view, [&] { caption = index.data(ListModel::CaptionRole).toString(); });
    QToolTip::showText(event->globalPos(), caption, view->viewport(), option.rect);
    return true;
}

} // namespace velumark::gui
