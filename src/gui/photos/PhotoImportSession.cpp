#include "gui/photos/PhotoImportSession.h"

#include "editing/ArtworkPhotos.h"
#include "gui/photos/ImportProgressWindow.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/UserInteraction.h"
#include "interchange/OperationTexts.h"

#include <QWidget>
#include <utility>

namespace velumark::gui {

PhotoImportSession::PhotoImportSession(editing::ArtworkPhotos &photos, QWidget &owner, QObject *parent)
    : QObject(parent), m_photos(photos), m_owner(owner)
{
    connect(&photos, &editing::ArtworkPhotos::importFinished, this, &PhotoImportSession::report);
}

bool PhotoImportSession::isImporting() const
{
    return m_photos.isImporting();
}

void PhotoImportSession::importFiles(const QStringList &files, const QStringList &leftOut)
{
    if (files.isEmpty()) {
        // Nothing to import: only what was left out is told (not what an earlier import skipped).
        tell(OperationResult::Done, {}, leftOut, int(leftOut.size()));
        return;
    }
    auto *progress =
        new ImportProgressWindow(tr("Adding %n photo(s)...", nullptr, int(files.size())), m_owner.window());
    progress->setAttribute(Qt::WA_DeleteOnClose);
    const Result<> started = m_photos.importFiles(files, progress);
    if (!started) {
        delete progress;
        showCommandFailure(&m_owner, started.message());
        emit finished(OperationResult::Failed);
        return;
    }
    m_leftOut = leftOut;
    m_fileCount = int(files.size() + leftOut.size());
    connect(progress, &ImportProgressWindow::cancelled, this, [this] { m_photos.cancelImport(); });
    progress->open();
    emit importingChanged(true);
}

void PhotoImportSession::importDropped(const QMimeData &mime)
{
    const DroppedPictures::Files dropped = m_dropped.filesFrom(mime);
    importFiles(dropped.files, dropped.leftOut);
}

void PhotoImportSession::report(OperationResult result, const QString &message)
{
    emit importingChanged(false);
    tell(result, message, std::exchange(m_leftOut, {}) + m_photos.lastSkipped(), m_fileCount);
}

void PhotoImportSession::tell(OperationResult result, const QString &message, const QStringList &skipped,
                              int fileCount)
{
    QWidget *window = m_owner.window();
    if (result == OperationResult::Failed) {
        UserInteraction::instance().showAlert(window,
                                              {tr("WARNING"), OperationTexts::photoImport().failedText,
                                               message, UserInteraction::Severity::Warning});
    } else if (!skipped.isEmpty()) {
        UserInteraction::instance().showAlert(
            window,
            {tr("Some Files Were Not Added"),
             tr("%1 of %2 files are not pictures that can be added.").arg(skipped.size()).arg(fileCount),
             skipped.join(QLatin1Char('\n')), UserInteraction::Severity::Information});
    }
    emit finished(result);
}

} // namespace velumark::gui
