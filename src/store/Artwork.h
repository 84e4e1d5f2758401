#pragma once

#include "store/Record.h"
#include "store/SubmissionList.h"
#include "store/TextCompare.h"

#include <vector>

namespace velumark {

class Image;
class Submission;

// One work of the artist. Artist and medium are free texts. In memory it also holds the
// submissions that concern it (newest first, by Submission::compareSubmission) and its images
// (by tag); the document keeps those lists, the artwork never reads them from the database.
class Artwork : public Record
{
public:
    Artwork();
    Artwork(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult = nullptr);

    const QString &title() const { return m_title; }
    void setTitle(const QString &title) { assign(m_title, title); }
    qint64 photoKey1() const { return m_photoKey1; }
    void setPhotoKey1(qint64 key) { assign(m_photoKey1, key); }
    qint64 photoKey2() const { return m_photoKey2; }
    void setPhotoKey2(qint64 key) { assign(m_photoKey2, key); }
    const QString &artist() const { return m_artist; }
    void setArtist(const QString &artist) { assign(m_artist, artist); }
    bool sale_loan() const { return m_saleLoan; }
    void setSale_loan(bool available) { assign(m_saleLoan, available); }
    double price() const { return m_price; }
    void setPrice(double price) { assignLazy(m_price, price); }
    const QString &medium() const { return m_medium; }
    void setMedium(const QString &medium) { assign(m_medium, medium); }
    const QString &size() const { return m_size; }
    void setSize(const QString &size) { assign(m_size, size); }
    const QDateTime &creationDate() const { return m_creationDate; }
    void setCreationDate(const QDateTime &date) { assign(m_creationDate, date); }
    qint64 effort() const { return m_effort; }
    void setEffort(qint64 effort) { assignLazy(m_effort, effort); }
    qint64 effortUnits() const { return m_effortUnits; }
    void setEffortUnits(qint64 units) { assignLazy(m_effortUnits, units); }
    double materialCost() const { return m_materialCost; }
    void setMaterialCost(double cost) { assignLazy(m_materialCost, cost); }
    const QString &location() const { return m_location; }
    void setLocation(const QString &location) { assignLazy(m_location, location); }
    const QString &notes() const { return m_notes; }
    void setNotes(const QString &notes) { assignLazy(m_notes, notes); }

    // The class-wide direction of both comparisons (ascending by default). Any thread may read it.
    static void sortAscending(bool ascending);
    static bool isSortAscending();
    // Titles by character code, then artists by the locale ignoring case; -1, 0 or 1. A strict
    // weak ordering: two artworks without artist compare equal.
    int compareTitleThenArtist(const Artwork &other) const;
    int compareArtistThenTitle(const Artwork &other) const;
    // The same two orders for many comparisons in a row: prepareOrder takes the sort keys of title
    // and artist once (collation from collationSerial(false)), the Ordered comparisons use them,
    // in the direction given (not the class-wide one, which another thread may be changing).
    void prepareOrder(quint32 collation) const;
    int compareTitleThenArtistOrdered(const Artwork &other, bool ascending) const;
    int compareArtistThenTitleOrdered(const Artwork &other, bool ascending) const;
    // Sort keys of the title and the artist for localizedCaseInsensitiveCompare, kept until the
    // text or the collation changes.
    const QByteArray &titleSortKey(quint32 collation) const
    {
        return m_titleKey.key(m_title, false, collation);
    }
    const QByteArray &artistSortKey(quint32 collation) const
    {
        return m_artistKey.key(m_artist, false, collation);
    }
    // The title folded for searching.
    const FoldedText &searchTitle() const
    {
        m_searchTitle.update(m_title);
        return m_searchTitle;
    }

    const std::vector<Submission *> &submissions() const { return m_submissions.items(); }
    // Adds a submission not yet held and keeps the list in submission order.
    void addSubmission(Submission *submission) { m_submissions.add(submission); }
    // Adds a submission not yet held without sorting (linking after a load sorts once at the
    // end); true when it was added.
    bool appendSubmission(Submission *submission) { return m_submissions.append(submission); }
    void removeSubmission(Submission *submission) { m_submissions.remove(submission); }
    void sortSubmissions() { m_submissions.sort(); }
    void clearSubmissions() { m_submissions.clear(); }

    const std::vector<Image *> &images() const { return m_images; }
    // Inserts at index when 0 <= index < count, else appends; an image already held is ignored.
    void addImage(Image *image, qint64 index);
    void removeImage(Image *image);
    void sortImages();
    void clearImages() { m_images.clear(); }

    // The first image, or null.
    Image *cellImage() const;
    // The icon of the latest submission's outcome; empty without submissions or for an unknown
    // state.
    QString statusImage() const;
    // Income of the submissions whose response flag is exactly 1.
    double totalIncome() const;

protected:
    const Statements &statements() const override;
    QString className() const override { return QStringLiteral("Artwork"); }
    void readEager(const SqliteStatement &row) override;
    void applyEagerFallbacks() override;
    void readLazy(const SqliteStatement &row) override;
    void applyLazyFallbacks() override;
    void releaseLazyFields() override;
    void bindInsert(SqliteStatement &statement) const override;
    int bindUpdate(SqliteStatement &statement) const override;

private:
    QString m_title;
    qint64 m_photoKey1 = -1;
    qint64 m_photoKey2 = -1;
    QString m_artist;
    bool m_saleLoan = true;
    double m_price = 0;
    QString m_medium;
    QString m_size;
    QDateTime m_creationDate;
    qint64 m_effort = 0;
    qint64 m_effortUnits = 0;
    double m_materialCost = 0;
    QString m_location;
    QString m_notes;

    SubmissionList m_submissions;
    std::vector<Image *> m_images;
    mutable CachedSortKey m_titleKey;
    mutable CachedSortKey m_artistKey;
    mutable FoldedText m_searchTitle;
    mutable const QByteArray *m_orderTitleKey = nullptr;
    mutable const QByteArray *m_orderArtistKey = nullptr;
};

} // namespace velumark
