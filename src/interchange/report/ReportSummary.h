#pragma once

#include <QSet>
#include <QString>

namespace velumark {

class Artwork;
class Submission;

// The figures of the report's summary, gathered one record at a time.
class ReportSummary
{
public:
    // Needs the artwork's lazy fields (price, material cost).
    void addArtwork(const Artwork &artwork);
    void addSubmission(const Submission &submission);
    void setAvailableArtworks(quint64 count) { m_availableArtworks = count; }

    quint64 totalArtworks() const { return m_totalArtworks; }
    // Artist texts that differ only in the case of their letters name one artist.
    quint64 uniqueArtists() const { return static_cast<quint64>(m_artists.size()); }
    double collectionValue() const { return m_collectionValue; }
    quint64 availableArtworks() const { return m_availableArtworks; }
    // Sold or published, with a response.
    quint64 totalSold() const { return m_totalSold; }
    quint64 totalPublished() const { return m_totalPublished; }
    // Of every submission, answered or not.
    double totalIncome() const { return m_totalIncome; }
    double totalMaterialCost() const { return m_totalMaterialCost; }

private:
    quint64 m_totalArtworks = 0;
    QSet<QString> m_artists;
    double m_collectionValue = 0;
    quint64 m_availableArtworks = 0;
    quint64 m_totalSold = 0;
    quint64 m_totalPublished = 0;
    double m_totalIncome = 0;
    double m_totalMaterialCost = 0;
};

} // namespace velumark
