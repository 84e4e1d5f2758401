#include "document/RetiredRecords.h"

#include <QElapsedTimer>

namespace velumark {

namespace {

// A slice stays well below what a user notices in a turn of the event loop.
constexpr qint64 kSliceNanoseconds = 4'000'000;
constexpr int kRecordsBetweenClockReads = 256;

// Frees records from the end of the list until it is empty or the time is up; whether it emptied.
template <typename T> bool freeUntil(OwnedRecords<T> &records, const QElapsedTimer &clock)
{
    while (!records.empty()) {
        for (int i = 0; i < kRecordsBetweenClockReads && !records.empty(); ++i)
            records.pop_back();
        if (clock.nsecsElapsed() >= kSliceNanoseconds)
            return records.empty();
    }
    return true;
}

} // namespace

RetiredRecords::RetiredRecords(QObject *parent) : QObject(parent)
{
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &RetiredRecords::freeSlice);
}

void RetiredRecords::add(CatalogueLoad retired)
{
    retired.contents.database.reset();
    // Nothing reads the links of records that are going: they are only freed.
    retired.contents.availableArtworks.clear();
    retired.contents.availableClients.clear();
    m_retired.push_back(std::move(retired));
    m_slices.start();
}

void RetiredRecords::freeSlice()
{
    QElapsedTimer clock;
    clock.start();
    while (!m_retired.empty()) {
        CatalogueLoad &next = m_retired.front();
        CatalogueContents &contents = next.contents;
        // No record reads another while it is freed, so the order does not matter.
        const bool done = freeUntil(contents.submissions, clock) && freeUntil(contents.images, clock) &&
                          freeUntil(contents.artworks, clock) && freeUntil(contents.clients, clock) &&
                          freeUntil(contents.mediums, clock) && freeUntil(contents.artists, clock) &&
                          freeUntil(next.droppedImages, clock);
        if (!done)
            return;
        m_retired.pop_front();
    }
    m_slices.stop();
}

} // namespace velumark
