#pragma once

#include <QDialog>

class QAction;
class QTextEdit;

namespace velumark {
class Image;
}

namespace velumark::editing {
class ArtworkPhotos;
class PhotoBrowser;
} // namespace velumark::editing

namespace velumark::gui {

class RoundedRectView;
class VLImageView;

// One photo in a window of its own, scaled to the window, with its caption on a panel over it.
// The caption is shown (half-transparent panel), hidden, or being edited (opaque panel): a click on
// the photo shows or hides it and ends editing; the Caption button starts and ends editing.
// Previous and next wrap at the ends (also the arrow keys; Home and End go to the first and the
// last photo; the full-screen key toggles full screen). The caption is stored when the viewer moves
// on or closes; at most 20 photos stay loaded.
class PhotoViewer : public QDialog
{
    Q_OBJECT
public:
    enum class CaptionState
    {
        Hidden,
        Shown,
        Editing
    };

    PhotoViewer(editing::ArtworkPhotos &photos, Image *first, const QString &title, QWidget *parent);
    ~PhotoViewer() override;

    Image *current() const;
    const editing::PhotoBrowser &browser() const { return *m_browser; }
    CaptionState captionState() const { return m_state; }
    QTextEdit *captionView() const { return m_caption; }
    VLImageView *imageView() const { return m_image; }

    void handleImageClick();
    void handleCaptionButton();
    void handlePreviousPhotoButton();
    void handleNextPhotoButton();

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void present(Image *image);
    void setCaptionState(CaptionState state);
    void placeCaption();
    QString captionText() const;
    template <typename Step> void navigate(Step step);

    editing::ArtworkPhotos &m_photos;
    std::unique_ptr<editing::PhotoBrowser> m_browser;
    VLImageView *m_image;
    RoundedRectView *m_panel;
    QTextEdit *m_caption;
    CaptionState m_state = CaptionState::Hidden;
    bool m_closed = false;
};

} // namespace velumark::gui
