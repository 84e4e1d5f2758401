#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/RecordOrders.h"
#include "document/SortedInsert.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "store/Clock.h"
#include "store/DatabaseError.h"
#include "store/Localization.h"

#include <unordered_set>

namespace velumark {

namespace {

using Kind = DocumentNotifier::Kind;

// Raised when the rows of a removal could not all be deleted; names the removal that failed.
[[noreturn]] void raiseDeleteFailure(const char *method, SqliteConnection &database, int line)
{
    raiseDatabaseError(
        method, QStringLiteral("VelumarkDatabase"), __FILE__, line,
        formatFailure("Error: failed to delete from database with message '%s'.", database.errorMessage()));
}

// Filing a record the document does not hold would leave a pointer the caller may free.
template <typename T>
void requireOwned(const OwnedRecords<T> &list, const T *record, const char *method, int line)
{
    if (std::none_of(list.begin(), list.end(),
                     [record](const std::unique_ptr<T> &r) { return r.get() == record; }))
        raiseDatabaseError(method, QStringLiteral("VelumarkDatabase"), __FILE__, line,
                           localized("The record to update does not belong to this catalogue."));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Adding, re-filing and removing

Result<> VelumarkDatabase::checkEditable() const
{
    // Edits made during an operation would be lost when an import reloads the document, or be
    // missing from what an export or transfer writes.
    if (m_operationRunning)
        return Failure{localized("The catalogue cannot be changed while an import, export or transfer "
                                 "is running. Wait until it has finished.")};
    return m_package.checkWritable();
}

void VelumarkDatabase::refuseIfNotEditable(const char *method) const
{
    if (const Result<> allowed = checkEditable(); !allowed)
        raiseDatabaseError(method, QStringLiteral("VelumarkDatabase"), __FILE__, __LINE__, allowed.message());
}

Artwork *VelumarkDatabase::addArtwork(std::unique_ptr<Artwork> artwork)
{
    refuseIfNotEditable(__func__);
    artwork->insertIntoDatabase(m_contents.database.get());
    Artwork *added = artwork.get();
    if (m_artworkOrder == currentArtworkOrder()) {
        Artwork::sortAscending(m_artworkList->isSortAscending());
        insertSorted(m_contents.artworks, std::move(artwork), artworkLess);
    } else {
        m_contents.artworks.push_back(std::move(artwork));
        m_artworkOrder.reset();
        sortArtwork();
    }
    if (added->sale_loan())
        insertSorted(m_contents.availableArtworks, added, byTitle);
    emit m_notifier->recordAdded(Kind::Artwork, added);
    return added;
}

void VelumarkDatabase::updateArtwork(Artwork *artwork)
{
    refuseIfNotEditable(__func__);
    requireOwned(m_contents.artworks, artwork, __func__, __LINE__);
    removeFrom(m_contents.availableArtworks, artwork);
    if (artwork->sale_loan())
        insertSorted(m_contents.availableArtworks, artwork, byTitle);
    sortArtwork();
    emit m_notifier->recordChanged(Kind::Artwork, artwork);
}

Client *VelumarkDatabase::addClient(std::unique_ptr<Client> client)
{
    refuseIfNotEditable(__func__);
    client->insertIntoDatabase(m_contents.database.get());
    Client *added = client.get();
    if (m_clientOrderAscending == std::optional(m_clientList->isSortAscending())) {
        Client::sortAscending(m_clientList->isSortAscending());
        insertSorted(m_contents.clients, std::move(client), clientLess);
    } else {
        m_contents.clients.push_back(std::move(client));
        m_clientOrderAscending.reset();
        sortClients();
    }
    if (added->status())
        insertSorted(m_contents.availableClients, added, byCompany);
    emit m_notifier->recordAdded(Kind::Client, added);
    return added;
}

void VelumarkDatabase::updateClient(Client *client)
{
    refuseIfNotEditable(__func__);
    requireOwned(m_contents.clients, client, __func__, __LINE__);
    removeFrom(m_contents.availableClients, client);
    if (client->status())
        insertSorted(m_contents.availableClients, client, byCompany);
    sortClients();
    emit m_notifier->recordChanged(Kind::Client, client);
}

Submission *VelumarkDatabase::addSubmission(std::unique_ptr<Submission> submission)
{
    refuseIfNotEditable(__func__);
    submission->insertIntoDatabase(m_contents.database.get());
    Submission *added = submission.get();
    if (m_submissionOrderAscending == std::optional(m_submissionList->isSortAscending())) {
        Submission::sortAscending(m_submissionList->isSortAscending());
        insertSorted(m_contents.submissions, std::move(submission), submissionLess);
    } else {
        m_contents.submissions.push_back(std::move(submission));
        m_submissionOrderAscending.reset();
        sortSubmissionsByDateAndTitle();
    }
    if (added->artwork())
        added->artwork()->addSubmission(added);
    if (added->client())
        added->client()->addSubmission(added);
    if (added->isOverdue())
        m_submissionList->incrementOverdue();
    emit m_notifier->recordAdded(Kind::Submission, added);
    return added;
}

void VelumarkDatabase::updateSubmission(Submission *submission)
{
    refuseIfNotEditable(__func__);
    requireOwned(m_contents.submissions, submission, __func__, __LINE__);
    sortSubmissionsByDateAndTitle();
    if (submission->artwork())
        submission->artwork()->sortSubmissions();
    if (submission->client())
        submission->client()->sortSubmissions();
    m_submissionList->recalculateOverdue();
    emit m_notifier->recordChanged(Kind::Submission, submission);
}

Medium *VelumarkDatabase::addMedium(std::unique_ptr<Medium> medium)
{
    refuseIfNotEditable(__func__);
    return insertMedium(std::move(medium));
}

Medium *VelumarkDatabase::insertMedium(std::unique_ptr<Medium> medium)
{
    medium->insertIntoDatabase(m_contents.database.get());
    medium->save();
    Medium *added = medium.get();
    m_contents.mediums.push_back(std::move(medium));
    emit m_notifier->recordAdded(Kind::Medium, added);
    return added;
}

void VelumarkDatabase::updateMedium()
{
    refuseIfNotEditable(__func__);
    sortOwned(m_contents.mediums, byMediumName);
}

Artist *VelumarkDatabase::addArtist(std::unique_ptr<Artist> artist)
{
    refuseIfNotEditable(__func__);
    return insertArtist(std::move(artist));
}

Artist *VelumarkDatabase::insertArtist(std::unique_ptr<Artist> artist)
{
    artist->insertIntoDatabase(m_contents.database.get());
    Artist *added = artist.get();
    m_contents.artists.push_back(std::move(artist));
    emit m_notifier->recordAdded(Kind::Artist, added);
    return added;
}

void VelumarkDatabase::updateArtist()
{
    refuseIfNotEditable(__func__);
    sortOwned(m_contents.artists, byArtistName);
}

Image *VelumarkDatabase::addImage(std::unique_ptr<Image> image)
{
    refuseIfNotEditable(__func__);
    image->insertIntoDatabase(m_contents.database.get(), packageFilename(), true);
    image->save();
    Image *added = image.get();
    m_contents.images.push_back(std::move(image));
    emit m_notifier->recordAdded(Kind::Image, added);
    return added;
}

Image *VelumarkDatabase::addStagedImage(std::unique_ptr<Image> image, StagedPhoto &files)
{
    if (const Result<> writable = m_package.checkWritable(); !writable)
        raiseDatabaseError(__func__, QStringLiteral("VelumarkDatabase"), __FILE__, __LINE__,
                           writable.message());
    {
        SqliteTransaction transaction(*m_contents.database);
        if (!transaction.isActive() || image->insertRow(m_contents.database.get(), packageFilename()) != 0)
            raiseDatabaseError(__func__, QStringLiteral("VelumarkDatabase"), __FILE__, __LINE__,
                               formatFailure("Error: failed to insert with message '%s'.",
                                             m_contents.database->errorMessage()));
        if (const Result<> moved = files.moveInto(packageFilename(), image->primaryKey()); !moved)
            raiseDatabaseError(__func__, QStringLiteral("VelumarkDatabase"), __FILE__, __LINE__,
                               moved.message());
        if (!transaction.commit()) {
            StagedPhoto::removeFinalFiles(packageFilename(), image->primaryKey());
            raiseDatabaseError(__func__, QStringLiteral("VelumarkDatabase"), __FILE__, __LINE__,
                               formatFailure("Error: failed to insert with message '%s'.",
                                             m_contents.database->errorMessage()));
        }
    }
    Image *added = image.get();
    m_contents.images.push_back(std::move(image));
    emit m_notifier->recordAdded(Kind::Image, added);
    return added;
}

void VelumarkDatabase::setArtworkImages(Artwork *artwork, const std::vector<Image *> &images)
{
    refuseIfNotEditable(__func__);
    requireOwned(m_contents.artworks, artwork, __func__, __LINE__);
    artwork->clearImages();
    for (size_t index = 0; index < images.size(); ++index) {
        artwork->addImage(images[index], -1);
        images[index]->setLinkedType(Image::kOwnerArtwork);
        images[index]->setLinkedKey(artwork->primaryKey());
        images[index]->setTagValue(qint64(index));
        images[index]->save();
    }
    artwork->setPhotoKey1(images.empty() ? -1 : images[0]->primaryKey());
    artwork->setPhotoKey2(images.size() < 2 ? -1 : images[1]->primaryKey());
    artwork->save();
    emit m_notifier->recordChanged(Kind::Artwork, artwork);
}

void VelumarkDatabase::detachSubmissions(const std::vector<Submission *> &doomed)
{
    if (doomed.empty())
        return;
    const std::unordered_set<const Submission *> gone(doomed.begin(), doomed.end());
    const Clock::TodayScope today;
    for (Submission *submission : doomed)
        emit m_notifier->recordAboutToBeRemoved(Kind::Submission, submission);
    for (Submission *submission : doomed) {
        if (submission->isOverdue())
            m_submissionList->decrementOverdue();
        if (submission->artwork())
            submission->artwork()->removeSubmission(submission);
        if (submission->client())
            submission->client()->removeSubmission(submission);
    }
    for (Submission *submission : doomed)
        emit m_notifier->recordRemoved(Kind::Submission, submission);
    std::erase_if(m_contents.submissions,
                  [&](const std::unique_ptr<Submission> &s) { return gone.count(s.get()) > 0; });
}

void VelumarkDatabase::removeSubmission(Submission *submission)
{
    refuseIfNotEditable(__func__);
    submission->deleteFromDatabase();
    detachSubmissions({submission});
}

void VelumarkDatabase::removeArtwork(Artwork *artwork)
{
    refuseIfNotEditable(__func__);
    const std::vector<Submission *> doomedSubmissions = artwork->submissions();
    const std::vector<Image *> doomedImages = artwork->images();
    {
        // All rows go in one transaction; the photo files only once it committed.
        SqliteTransaction transaction(*m_contents.database);
        if (!transaction.isActive())
            raiseDeleteFailure(__func__, *m_contents.database, __LINE__);
        for (Submission *submission : doomedSubmissions)
            submission->deleteFromDatabase();
        for (Image *image : doomedImages)
            image->deleteRow();
        artwork->deleteFromDatabase();
        if (!transaction.commit())
            raiseDeleteFailure(__func__, *m_contents.database, __LINE__);
    }
    removeImageFiles(doomedImages);
    detachSubmissions(doomedSubmissions);
    for (Image *image : doomedImages)
        emit m_notifier->recordAboutToBeRemoved(Kind::Image, image);
    artwork->clearImages();
    for (Image *image : doomedImages) {
        emit m_notifier->recordRemoved(Kind::Image, image);
        takeOwned(m_contents.images, image);
    }
    emit m_notifier->recordAboutToBeRemoved(Kind::Artwork, artwork);
    removeFrom(m_contents.availableArtworks, artwork);
    emit m_notifier->recordRemoved(Kind::Artwork, artwork);
    takeOwned(m_contents.artworks, artwork);
}

void VelumarkDatabase::removeClient(Client *client)
{
    refuseIfNotEditable(__func__);
    const std::vector<Submission *> doomed = client->submissions();
    {
        SqliteTransaction transaction(*m_contents.database);
        if (!transaction.isActive())
            raiseDeleteFailure(__func__, *m_contents.database, __LINE__);
        for (Submission *submission : doomed)
            submission->deleteFromDatabase();
        client->deleteFromDatabase();
        if (!transaction.commit())
            raiseDeleteFailure(__func__, *m_contents.database, __LINE__);
    }
    detachSubmissions(doomed);
    emit m_notifier->recordAboutToBeRemoved(Kind::Client, client);
    removeFrom(m_contents.availableClients, client);
    emit m_notifier->recordRemoved(Kind::Client, client);
    takeOwned(m_contents.clients, client);
}

void VelumarkDatabase::removeMedium(Medium *medium)
{
    refuseIfNotEditable(__func__);
    medium->deleteFromDatabase();
    emit m_notifier->recordAboutToBeRemoved(Kind::Medium, medium);
    emit m_notifier->recordRemoved(Kind::Medium, medium);
    takeOwned(m_contents.mediums, medium);
}

void VelumarkDatabase::removeArtist(Artist *artist)
{
    refuseIfNotEditable(__func__);
    artist->deleteFromDatabase();
    emit m_notifier->recordAboutToBeRemoved(Kind::Artist, artist);
    emit m_notifier->recordRemoved(Kind::Artist, artist);
    takeOwned(m_contents.artists, artist);
}

void VelumarkDatabase::removeImage(Image *image)
{
    refuseIfNotEditable(__func__);
    dropImage(image);
}

void VelumarkDatabase::dropImage(Image *image)
{
    image->deleteRow();
    image->removeFiles();
    emit m_notifier->recordAboutToBeRemoved(Kind::Image, image);
    emit m_notifier->recordRemoved(Kind::Image, image);
    takeOwned(m_contents.images, image);
}

void VelumarkDatabase::removeImageFiles(const std::vector<Image *> &images)
{
    for (Image *image : images)
        image->removeFiles();
}

} // namespace velumark
