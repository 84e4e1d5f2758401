#include "store/Artwork.h"

#include "store/Image.h"
#include "store/Localization.h"
#include "store/StoredDate.h"
#include "store/Submission.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"

#include <algorithm>
#include <atomic>

namespace velumark {

namespace {

std::atomic<bool> artworkSortAscending{true};

// Artwork and artist "missing" alike when null or empty, so that the comparison stays a
// strict weak ordering.
int compareBy(const QString &firstThis, const QString &firstOther, const QString &secondThis,
              const QString &secondOther)
{
    int result = plainCompare(firstThis, firstOther);
    if (result == 0) {
        const bool thisMissing = secondThis.isEmpty();
        const bool otherMissing = secondOther.isEmpty();
        if (thisMissing || otherMissing)
            result = thisMissing == otherMissing ? 0 : (thisMissing ? -1 : 1);
        else
            result = localizedCaseInsensitiveCompare(secondThis, secondOther);
    }
    return artworkSortAscending ? result : -result;
}

// compareBy on the sort keys of the second texts (null for a missing text), ascending.
int compareByKeys(const QString &firstThis, const QString &firstOther, const QByteArray *secondThis,
                  const QByteArray *secondOther)
{
    int result = plainCompare(firstThis, firstOther);
    if (result == 0) {
        if (!secondThis || !secondOther)
            result = !secondThis == !secondOther ? 0 : (!secondThis ? -1 : 1);
        else {
            const int order = secondThis->compare(*secondOther);
            result = (order > 0) - (order < 0);
        }
    }
    return result;
}

} // namespace

Artwork::Artwork() = default;

Artwork::Artwork(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult)
{
    const int result = loadEagerFields(primaryKey, database, abortOnError);
    if (initResult)
        *initResult = result;
}

const Record::Statements &Artwork::statements() const
{
    static const Statements sql{
        "SELECT title, artist, medium, photo1_key, photo2_key, sale_loan, size, created FROM artwork WHERE "
        "pk=?",
        "SELECT price, effort, effort_units, material_cost, location, notes FROM artwork WHERE pk=?",
        "INSERT INTO artwork (title) VALUES(?)",
        "UPDATE artwork SET title=?, photo1_key=?, photo2_key=?, artist=?, sale_loan=?, price=?, medium=?, "
        "size=?, "
        "created=?,  effort=?, effort_units=?, material_cost=?, location=?, notes=? WHERE pk=?",
        "DELETE FROM artwork WHERE pk=?",
        "Error: failed to save with message '%s'.",
    };
    return sql;
}

void Artwork::readEager(const SqliteStatement &row)
{
    m_title = row.columnText(0);
    m_artist = row.columnText(1);
    m_medium = row.columnText(2);
    m_photoKey1 = row.columnInt64(3);
    m_photoKey2 = row.columnInt64(4);
    m_saleLoan = row.columnInt64(5) != 0;
    m_size = row.columnText(6);
    const double created = row.columnDouble(7);
    m_creationDate = created == 0 ? QDateTime() : dateFromStoredSeconds(created);
}

void Artwork::applyEagerFallbacks()
{
    m_title = localized("No title");
    m_photoKey1 = -1;
    m_photoKey2 = -1;
    m_artist = QString();
    m_saleLoan = true;
    m_medium = QString();
    m_size = QStringLiteral("");
    m_creationDate = QDateTime();
}

void Artwork::readLazy(const SqliteStatement &row)
{
    m_price = row.columnDouble(0);
    m_effort = row.columnInt64(1);
    m_effortUnits = row.columnInt64(2);
    m_materialCost = row.columnDouble(3);
    m_location = row.columnText(4);
    m_notes = row.columnText(5);
}

void Artwork::applyLazyFallbacks()
{
    m_price = 0;
    m_effort = 0;
    m_effortUnits = 0;
    m_materialCost = 0;
    m_location = QStringLiteral("");
    m_notes = QStringLiteral("");
}

void Artwork::releaseLazyFields()
{
    m_location = QString();
    m_notes = QString();
}

void Artwork::bindInsert(SqliteStatement &statement) const
{
    statement.bindText(1, m_title);
}

int Artwork::bindUpdate(SqliteStatement &statement) const
{
    statement.bindText(1, m_title);
    statement.bindInt64(2, m_photoKey1);
    statement.bindInt64(3, m_photoKey2);
    statement.bindText(4, m_artist);
    statement.bindInt64(5, m_saleLoan ? 1 : 0);
    statement.bindDouble(6, m_price);
    statement.bindText(7, m_medium);
    statement.bindText(8, m_size);
    statement.bindDouble(9, storedSecondsFromDate(m_creationDate));
    statement.bindInt64(10, m_effort);
    statement.bindInt64(11, m_effortUnits);
    statement.bindDouble(12, m_materialCost);
    statement.bindText(13, m_location);
    statement.bindText(14, m_notes);
    return 14;
}

void Artwork::sortAscending(bool ascending)
{
    artworkSortAscending = ascending;
}

bool Artwork::isSortAscending()
{
    return artworkSortAscending;
}

int Artwork::compareTitleThenArtist(const Artwork &other) const
{
    return compareBy(m_title, other.m_title, m_artist, other.m_artist);
}

int Artwork::compareArtistThenTitle(const Artwork &other) const
{
    return compareBy(m_artist, other.m_artist, m_title, other.m_title);
}

void Artwork::prepareOrder(quint32 collation) const
{
    m_orderTitleKey = m_title.isEmpty() ? nullptr : &titleSortKey(collation);
    m_orderArtistKey = m_artist.isEmpty() ? nullptr : &artistSortKey(collation);
}

int Artwork::compareTitleThenArtistOrdered(const Artwork &other, bool ascending) const
{
    const int result = compareByKeys(m_title, other.m_title, m_orderArtistKey, other.m_orderArtistKey);
    return ascending ? result : -result;
}

int Artwork::compareArtistThenTitleOrdered(const Artwork &other, bool ascending) const
{
    const int result = compareByKeys(m_artist, other.m_artist, m_orderTitleKey, other.m_orderTitleKey);
    return ascending ? result : -result;
}

void Artwork::addImage(Image *image, qint64 index)
{
    if (std::find(m_images.begin(), m_images.end(), image) != m_images.end())
        return;
    if (index >= 0 && index < static_cast<qint64>(m_images.size()))
        m_images.insert(m_images.begin() + index, image);
    else
        m_images.push_back(image);
}

void Artwork::removeImage(Image *image)
{
    std::erase(m_images, image);
}

void Artwork::sortImages()
{
    if (m_images.size() < 2)
        return;
    std::stable_sort(m_images.begin(), m_images.end(),
                     [](const Image *a, const Image *b) { return a->compareOrder(*b) < 0; });
}

Image *Artwork::cellImage() const
{
    return m_images.empty() ? nullptr : m_images.front();
}

QString Artwork::statusImage() const
{
    if (m_submissions.empty())
        return {};
    const Submission *latest = m_submissions.front();
    if (latest->responseReceived() == ResponseFlag::Waiting)
        return QStringLiteral("questionmark_icon");
    if (latest->responseReceived() != ResponseFlag::Received)
        return QStringLiteral("withdrawn_icon");
    return VelumarkStrings::stateIconName(latest->submissionState());
}

double Artwork::totalIncome() const
{
    double total = 0;
    for (const Submission *submission : m_submissions.items()) {
        if (submission->responseReceived() == ResponseFlag::Received)
            total += submission->income();
    }
    return total;
}

} // namespace velumark
