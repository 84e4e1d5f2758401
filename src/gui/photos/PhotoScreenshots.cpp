#include "gui/photos/PhotoScreenshots.h"

#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/PhotoSlots.h"
#include "gui/photos/PhotoGrid.h"
#include "gui/photos/PhotoViewer.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/ScreenshotTaker.h"
#include "gui/shell/VelumarkAppDelegate.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"

#include <QPointer>
#include <QToolButton>
#include <memory>

namespace velumark::gui {

namespace {

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

void addPhotoScreenshots(ScreenshotTaker &taker, VelumarkAppDelegate &delegate)
{
    auto sheet = std::make_shared<QPointer<ArtworkSheet>>();
    const auto openSheet = [&delegate, sheet]() -> ArtworkSheet * {
        DocumentWindow *window = delegate.documents().mainWindow();
        VelumarkDatabase *document = window ? &window->document().database() : nullptr;
        Artwork *artwork = document ? mostPhotographed(*document) : nullptr;
        *sheet = artwork ? ArtworkSheet::edit(window, *document, *artwork) : nullptr;
        return *sheet;
    };
    const auto closeSheet = [sheet] {
        if (*sheet)
            (*sheet)->reject();
    };
    taker.addSubject(QStringLiteral("photo-grid"), {[openSheet]() -> QWidget * {
                                                        ArtworkSheet *opened = openSheet();
                                                        if (opened)
                                                            opened->showPhotosTab();
                                                        return opened;
                                                    },
                                                    closeSheet});
    taker.addSubject(QStringLiteral("photo-viewer"), {[openSheet]() -> QWidget * {
                                                          ArtworkSheet *opened = openSheet();
                                                          if (!opened)
                                                              return nullptr;
                                                          opened->photoSlots()->slotButton(0)->click();
                                                          return opened->photoGrid()->viewer();
                                                      },
                                                      [sheet, closeSheet] {
                                                          if (*sheet && (*sheet)->photoGrid()->viewer())
                                                              (*sheet)->photoGrid()->viewer()->close();
                                                          closeSheet();
                                                      }});
}

} // namespace velumark::gui
