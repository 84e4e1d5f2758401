#include "gui/photos/PhotoViewer.h"

#include "editing/ArtworkPhotos.h"
#include "editing/PhotoBrowser.h"
#include "gui/photos/RoundedRectView.h"
#include "gui/photos/VLImageView.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/Icons.h"
#include "store/Image.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace velumark::gui {

namespace {

constexpr int kCaptionPointSize = 18;
constexpr int kCaptionMargin = 16;
constexpr int kCaptionLines = 4;

} // namespace

PhotoViewer::PhotoViewer(editing::ArtworkPhotos &photos, Image *first, const QString &title, QWidget *parent)
    : QDialog(parent), m_photos(photos), m_image(new VLImageView(this)),
      m_panel(new RoundedRectView(m_image)), m_caption(new QTextEdit(m_panel))
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *toolbar = new QToolBar(this);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->addAction(Icons::themed(QStringLiteral("go-previous"), QStringLiteral("go-previous")),
                       tr("Previous"), this, &PhotoViewer::handlePreviousPhotoButton);
    toolbar->addAction(Icons::themed(QStringLiteral("insert-text"), QStringLiteral("caption")), tr("Caption"),
                       this, &PhotoViewer::handleCaptionButton);
    toolbar->addAction(Icons::themed(QStringLiteral("go-next"), QStringLiteral("go-next")), tr("Next"), this,
                       &PhotoViewer::handleNextPhotoButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(m_image, 1);

    QFont font = m_caption->font();
    font.setPointSize(kCaptionPointSize);
    m_caption->setFont(font);
    m_caption->setFrameShape(QFrame::NoFrame);
    m_caption->setAcceptRichText(false);
    m_caption->viewport()->setAutoFillBackground(false);
    m_caption->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto *panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    panelLayout->addWidget(m_caption);
    connect(m_image, &VLImageView::clicked, this, &PhotoViewer::handleImageClick);

    m_browser = std::make_unique<editing::PhotoBrowser>(photos);
    connect(m_browser.get(), &editing::PhotoBrowser::currentChanged, this, &PhotoViewer::present);
    runCommand(this, [&] { m_browser->start(first); });
    // The window takes the photo's size, within the screen.
    const QSize photo = m_image->image().isNull() ? QSize(640, 480) : m_image->image().size();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableSize() * 0.85 : QSize(1280, 960);
    resize(photo.scaled(room.boundedTo(photo.expandedTo(QSize(320, 240))), Qt::KeepAspectRatio) +
           QSize(0, toolbar->sizeHint().height()));
}

PhotoViewer::~PhotoViewer() = default;

Image *PhotoViewer::current() const
{
    return m_browser->current();
}

void PhotoViewer::present(Image *image)
{
    if (!image)
        return;
    m_image->setImage(image->photo());
    m_caption->setPlainText(image->caption());
    m_caption->setAlignment(Qt::AlignCenter);
    setCaptionState(image->caption().isEmpty() ? CaptionState::Hidden : CaptionState::Shown);
}

void PhotoViewer::setCaptionState(CaptionState state)
{
    m_state = state;
    m_panel->setVisible(state != CaptionState::Hidden);
    m_caption->setReadOnly(state != CaptionState::Editing);
    // The panel of the palette's base colour (light or dark, always under legible text): half
    // transparent while the caption is only shown, opaque while it is edited.
    QColor color = palette().color(QPalette::Base);
    color.setAlphaF(state == CaptionState::Editing ? 1.0 : 0.5);
    m_panel->setColor(color);
    if (state == CaptionState::Editing) {
        m_caption->setFocus();
        m_caption->moveCursor(QTextCursor::End);
    } else {
        setFocus();
    }
    placeCaption();
}

void PhotoViewer::placeCaption()
{
    // The panel fits the caption laid out at the panel's width, up to four lines (then it scrolls).
    const int width = qMax(0, m_image->width() - 2 * kCaptionMargin);
    const QMargins margins = m_panel->layout()->contentsMargins();
    const int frames = 2 * m_caption->frameWidth();
    QTextDocument *text = m_caption->document();
    text->setTextWidth(qMax(0, width - margins.left() - margins.right() - frames));
    const int most = kCaptionLines * m_caption->fontMetrics().lineSpacing() + int(2 * text->documentMargin());
    const int height =
        qMin(int(std::ceil(text->size().height())), most) + margins.top() + margins.bottom() + frames;
    m_panel->setGeometry(kCaptionMargin, qMax(0, m_image->height() - height - kCaptionMargin), width, height);
}

void PhotoViewer::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeCaption();
}

QString PhotoViewer::captionText() const
{
    return m_caption->toPlainText();
}

void PhotoViewer::handleImageClick()
{
    if (m_state == CaptionState::Hidden && captionText().isEmpty())
        return;
    setCaptionState(m_state == CaptionState::Shown ? CaptionState::Hidden : CaptionState::Shown);
}

void PhotoViewer::handleCaptionButton()
{
    setCaptionState(m_state == CaptionState::Editing ? CaptionState::Shown : CaptionState::Editing);
}

template <typename Step> void PhotoViewer::navigate(Step step)
{
    runCommand(this, [&] { (m_browser.get()->*step)(captionText()); });
}

void PhotoViewer::handlePreviousPhotoButton()
{
    navigate(&editing::PhotoBrowser::showPrevious);
}

void PhotoViewer::handleNextPhotoButton()
{
    navigate(&editing::PhotoBrowser::showNext);
}

void PhotoViewer::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::FullScreen) || (event->key() == Qt::Key_F11 && !event->modifiers())) {
        setWindowState(windowState() ^ Qt::WindowFullScreen);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        handlePreviousPhotoButton();
        return;
    case Qt::Key_Right:
        handleNextPhotoButton();
        return;
    case Qt::Key_Home:
        navigate(&editing::PhotoBrowser::showFirst);
        return;
    case Qt::Key_End:
        navigate(&editing::PhotoBrowser::showLast);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void PhotoViewer::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        runCommand(this, [&] { m_browser->close(captionText()); });
    }
    QDialog::done(result);
}

} // namespace velumark::gui
