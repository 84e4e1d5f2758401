#include "gui/editors/SheetScreenshots.h"

#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/ClientSheet.h"
#include "gui/editors/HistoryWindow.h"
#include "gui/editors/SubmissionSheet.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/ScreenshotTaker.h"
#include "gui/shell/VelumarkAppDelegate.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"

#include <QPointer>
#include <algorithm>
#include <functional>
#include <memory>

namespace velumark::gui {

namespace {

// A sheet over the main window, opened by `open` with its document; put away with Cancel.
ScreenshotTaker::Subject sheetSubject(VelumarkAppDelegate &delegate,
                                      std::function<RecordSheet *(DocumentWindow *, VelumarkDatabase &)> open)
{
    auto sheet = std::make_shared<QPointer<RecordSheet>>();
    return {[&delegate, sheet, open]() -> QWidget * {
                DocumentWindow *window = delegate.documents().mainWindow();
                return window ? (*sheet = open(window, window->document().database())).data() : nullptr;
            },
            [sheet] {
                if (*sheet)
                    (*sheet)->reject();
            }};
}

// The history window of the client with the most submissions.
ScreenshotTaker::Subject historySubject(VelumarkAppDelegate &delegate)
{
    auto history = std::make_shared<QPointer<HistoryWindow>>();
    return {[&delegate, history]() -> QWidget * {
                DocumentWindow *window = delegate.documents().mainWindow();
                if (!window)
                    return nullptr;
                VelumarkDatabase &document = window->document().database();
                const auto busiest = std::max_element(
                    document.clients().begin(), document.clients().end(), [](const auto &a, const auto &b) {
                        return a->submissions().size() < b->submissions().size();
                    });
                if (busiest == document.clients().end())
                    return nullptr;
                return (*history = HistoryWindow::open(window, document, nullptr, busiest->get())).data();
            },
            [history] {
                if (*history)
                    (*history)->close();
            }};
}

} // namespace

void addSheetScreenshots(ScreenshotTaker &taker, VelumarkAppDelegate &delegate)
{
    taker.addSubject(QStringLiteral("client-history"), historySubject(delegate));
    taker.addSubject(
        QStringLiteral("artwork-sheet"),
        sheetSubject(delegate, [](DocumentWindow *window, VelumarkDatabase &document) -> RecordSheet * {
            return document.artworks().empty()
                       ? nullptr
                       : ArtworkSheet::edit(window, document, *document.artworks().front());
        }));
    taker.addSubject(
        QStringLiteral("new-artwork-sheet"),
        sheetSubject(delegate, [](DocumentWindow *window, VelumarkDatabase &document) -> RecordSheet * {
            return ArtworkSheet::create(window, document);
        }));
    taker.addSubject(
        QStringLiteral("client-sheet"),
        sheetSubject(delegate, [](DocumentWindow *window, VelumarkDatabase &document) -> RecordSheet * {
            return document.clients().empty()
                       ? nullptr
                       : ClientSheet::edit(window, document, *document.clients().front());
        }));
    taker.addSubject(
        QStringLiteral("new-client-sheet"),
        sheetSubject(delegate, [](DocumentWindow *window, VelumarkDatabase &document) -> RecordSheet * {
            return ClientSheet::create(window, document);
        }));
    taker.addSubject(
        QStringLiteral("submission-sheet"),
        sheetSubject(delegate, [](DocumentWindow *window, VelumarkDatabase &document) -> RecordSheet * {
            return document.submissions().empty()
                       ? nullptr
                       : SubmissionSheet::edit(window, document, *document.submissions().front());
        }));
    taker.addSubject(
        QStringLiteral("new-submission-sheet"),
        sheetSubject(delegate, [](DocumentWindow *window, VelumarkDatabase &document) -> RecordSheet * {
            return SubmissionSheet::create(window, document);
        }));
}

} // namespace velumark::gui
