#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QListView;
class QMimeData;
class QPushButton;
class QSlider;

namespace velumark {
class Image;
}

namespace velumark::editing {
class ArtworkPhotos;
}

namespace velumark::gui {

class PhotoImportSession;
class PhotoListModel;
class PhotoViewer;

// The grid of an artwork's photos (the working list of its sheet): square thumbnails with the
// captions as tool tips, a zoom slider, photos added through a file chooser, by dropping files or
// pictures from other applications, or by pasting; deleted with the button or the Delete key;
// reordered by dragging; dragged out to a file manager as their full-size files; opened in the
// viewer by a double-click. Pictures are added by the photo import on its worker, behind a
// window-modal progress window.
class PhotoGrid : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDefaultZoom = 46; // percent of the largest thumbnail

    PhotoGrid(editing::ArtworkPhotos &photos, QWidget *parent = nullptr);
    ~PhotoGrid() override;

    // The viewer's window title (the artwork's title as typed in the sheet).
    void setTitleProvider(std::function<QString()> title) { m_title = std::move(title); }

    QListView *view() const { return m_view; }
    QSlider *zoomSlider() const { return m_zoom; }
    PhotoViewer *viewer() const;
    bool isImporting() const;

    void addPhotos();
    void importFiles(const QStringList &files, const QStringList &leftOut = {});
    void importDropped(const QMimeData &mime);
    void paste();
    void deleteSelected();
    void useAsFirstPhoto();
    void openViewer(Image *image);

signals:
    void importingChanged(bool importing);
    // A caption was edited in the viewer.
    void captionsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showContextMenu(const QPoint &position);
    void zoomTo(int percent);
    std::vector<Image *> selectedImages() const;

    editing::ArtworkPhotos &m_photos;
    PhotoListModel *m_model;
    QListView *m_view;
    QSlider *m_zoom;
    QPushButton *m_delete;
    QPointer<PhotoViewer> m_viewer;
    std::function<QString()> m_title;
    PhotoImportSession *m_import;
};

} // namespace velumark::gui
