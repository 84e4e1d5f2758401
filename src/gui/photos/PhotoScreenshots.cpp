#include "gui/photos/PhotoScreenshots.h"

#include "document/VelumarkDatabase.h"
#include "editing/ArtworkPhotos.h"
#include "gui/photos/PhotoGrid.h"
#include "gui/photos/PhotoViewer.h"
#include "gui/shell/ScreenshotTaker.h"

#include <QDialog>
#include <QPointer>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

// A window holding the grid over the working photos of one artwork; nothing is committed.
class GridWindow : public QDialog
{
public:
    GridWindow(VelumarkDatabase &document, Artwork &artwork, QWidget *parent)
        : QDialog(parent), m_photos(document, artwork), m_grid(new PhotoGrid(m_photos, this))
    {
        setWindowTitle(artwork.title());
        m_grid->setTitleProvider([title = artwork.title()] { return title; });
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(m_grid);
        resize(720, 520);
    }
    PhotoViewer *openViewer()
    {
        m_grid->openViewer(m_photos.imageInSlot(0));
        return m_grid->viewer();
    }

private:
    editing::ArtworkPhotos m_photos;
    PhotoGrid *m_grid;
};

Artwork *mostPhotographed(VelumarkDatabase &document)
{
    Artwork *most = nullptr;
    for (const auto &artwork : document.artworks()) {
        if (!most || artwork->images().size() > most->images().size())
            most = artwork.get();
    }
    return most && !most->images().empty() ? most : nullptr;
}

} // namespace

void addPhotoScreenshotSubjects(ScreenshotTaker &taker, std::function<QWidget *()> parent,
                                std::function<VelumarkDatabase *()> document)
{
    auto window = std::make_shared<QPointer<GridWindow>>();
    const auto openGrid = [window, parent, document]() -> GridWindow * {
        QWidget *over = parent();
        VelumarkDatabase *catalogue = document();
        Artwork *artwork = catalogue ? mostPhotographed(*catalogue) : nullptr;
        if (!over || !artwork)
            return nullptr;
        *window = new GridWindow(*catalogue, *artwork, over);
        (*window)->setAttribute(Qt::WA_DeleteOnClose);
        (*window)->show();
        return *window;
    };
    const auto closeGrid = [window] {
        if (*window)
            (*window)->close();
    };
    taker.addSubject(QStringLiteral("photo-grid"), {openGrid, closeGrid});
    taker.addSubject(QStringLiteral("photo-viewer"), {[openGrid]() -> QWidget * {
                                                          GridWindow *grid = openGrid();
                                                          return grid ? grid->openViewer() : nullptr;
                                                      },
                                                      closeGrid});
}

} // namespace velumark::gui
