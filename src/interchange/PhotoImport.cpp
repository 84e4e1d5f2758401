#include "interchange/PhotoImport.h"

#include "document/VelumarkDatabase.h"
#include "interchange/OperationFolder.h"
#include "store/DatabaseError.h"
#include "store/Image.h"
#include "store/Leftovers.h"
#include "store/Localization.h"

#include <QDir>
#include <QMutexLocker>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace velumark {

PhotoImport::PhotoImport(VelumarkDatabase &document, qint64 artworkKey, QStringList files, qint64 firstTag,
                         QObject *parent)
    : LongOperation(parent), m_document(document), m_artworkKey(artworkKey), m_files(std::move(files)),
      m_nextTag(firstTag)
{}

PhotoImport::~PhotoImport()
{
    stopWorker();
}

Result<> PhotoImport::prepare()
{
    if (m_files.isEmpty())
        return Failure{localized("There are no pictures to add.")};
    if (const Result<> editable = m_document.checkEditable(); !editable)
        return editable;
    Result<OperationClaim> claim = m_document.beginOperation();
    if (!claim)
        return Failure{claim.message()};
    m_claim = std::move(claim).value();
    m_packagePath = m_document.packageFilename();
    // What an import killed before it ended staged in the package.
    Leftovers::removeStaleStaging(m_packagePath);
    m_pictures = std::vector<Picture>(size_t(m_files.size()));
    m_nextToInsert = 0;
    m_skipped.clear();
    m_added.clear();
    m_writeFailure.clear();
    m_insertFailure.clear();
    return {};
}

Result<> PhotoImport::run()
{
    // One picture per core: each one is decoded, scaled and encoded by one thread.
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    QSemaphore staged;
    const size_t count = m_pictures.size();
    std::vector<QFuture<void>> work;
    work.reserve(count);
    for (size_t index = 0; index < count; ++index) {
        work.push_back(QtConcurrent::run(&pool, [this, index, &staged] {
            stage(index);
            staged.release();
        }));
    }
    for (size_t done = 1; done <= count; ++done) {
        staged.acquire();
        reportProgress(100.0 * double(done) / double(count));
    }
    pool.waitForDone();
    if (isAborted())
        return stopped();
    return {};
}

void PhotoImport::stage(size_t index)
{
    StagedPhoto::Problem problem = StagedPhoto::Problem::None;
    QString message;
    StagedPhoto photo;
    try {
        photo =
            StagedPhoto::make(m_files.at(qsizetype(index)), m_packagePath, abortFlag(), &problem, &message);
    } catch (const std::exception &failure) {
        // Out of memory for one picture: the others may still fit.
        problem = StagedPhoto::Problem::BadInput;
        message = QStringLiteral("%1: %2").arg(m_files.at(qsizetype(index)),
                                               QString::fromLocal8Bit(failure.what()));
    }
    if (problem == StagedPhoto::Problem::WriteFailed)
        stopAfterFailure();
    {
        QMutexLocker lock(&m_mutex);
        Picture &picture = m_pictures[index];
        picture.photo = std::move(photo);
        picture.problem = problem;
        picture.message = message;
        picture.state = picture.photo.isStaged() ? Picture::State::Ready : Picture::State::Skipped;
        if (problem == StagedPhoto::Problem::WriteFailed && m_writeFailure.isEmpty())
            m_writeFailure = message;
    }
    crashPoint("photo-staged");
    QMetaObject::invokeMethod(this, &PhotoImport::insertReady, Qt::QueuedConnection);
}

void PhotoImport::insertReady()
{
    // One photo per turn of the event loop, so that the window is never held for several inserts.
    if (insertNext())
        QMetaObject::invokeMethod(this, &PhotoImport::insertReady, Qt::QueuedConnection);
}

bool PhotoImport::insertNext()
{
    for (;;) {
        QMutexLocker lock(&m_mutex);
        if (m_nextToInsert >= m_pictures.size())
            return false;
        Picture &picture = m_pictures[m_nextToInsert];
        if (picture.state == Picture::State::Pending)
            return false;
        ++m_nextToInsert;
        if (picture.state == Picture::State::Done)
            continue;
        const Picture::State state = std::exchange(picture.state, Picture::State::Done);
        if (picture.problem == StagedPhoto::Problem::BadInput)
            m_skipped.append(picture.message);
        // Once the import is cancelled or failed, nothing more is added.
        if (state != Picture::State::Ready || isAborted() || !m_insertFailure.isEmpty()) {
            picture.photo.discard();
            continue;
        }
        const QString &source = m_files.at(qsizetype(m_nextToInsert - 1));
        lock.unlock();
        insert(picture, source);
        return true;
    }
}

void PhotoImport::insert(Picture &picture, const QString &source)
{
    auto image = std::make_unique<Image>();
    image->setLinkedType(Image::kOwnerArtwork);
    image->setLinkedKey(m_artworkKey);
    image->setTagValue(m_nextTag);
    try {
        Image *added = m_document.addStagedImage(std::move(image), picture.photo);
        ++m_nextTag;
        m_added.push_back(added);
        crashPoint("photo-added");
        emit imageAdded(added);
    } catch (const DatabaseError &failure) {
        picture.photo.discard();
        m_insertFailure = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(source), failure.message());
        stopAfterFailure();
    }
}

Result<> PhotoImport::finish(Result<> outcome)
{
    // The pictures staged after the last queued call, or all of them when the worker was stopped.
    while (insertNext()) {
    }
    {
        QMutexLocker lock(&m_mutex);
        for (Picture &picture : m_pictures)
            picture.photo.discard();
        if (!m_writeFailure.isEmpty() && m_insertFailure.isEmpty())
            m_insertFailure = m_writeFailure;
    }
    m_claim.release();
    if (!m_insertFailure.isEmpty())
        return Failure{m_insertFailure};
    if (!outcome)
        return outcome;
    QStringList lines{localized("%1 of %2 files added.").arg(m_added.size()).arg(m_files.size())};
    for (const QString &skipped : std::as_const(m_skipped))
        lines.append(localized("Skipped %1").arg(skipped));
    setNote(lines.join(QLatin1Char('\n')));
    return {};
}

} // namespace velumark
