#pragma once

#include "document/CellContent.h"

#include <QString>

namespace velumark {

class Artwork;
class VelumarkDatabase;

// What the artwork list shows: the document's displayed artworks, filtered by the search text,
// optionally in sections by artist, and the texts of every cell.
class ArtworkListController
{
public:
    static constexpr double kImageDimension = 100;
    static constexpr double kNormalCellHeight = 120;

    explicit ArtworkListController(VelumarkDatabase &database) : m_database(database) {}

    // Rebuilds the displayed artworks: every artwork whose row texts (labels included) contain
    // the text, ignoring case; all of them for an empty text.
    void handleSearch(const QString &text);
    // Optionally searches first, then recomputes the section headings.
    void refreshData(const QString *text = nullptr);
    // Artist sections when the preference asks for them; no headings otherwise.
    void refreshHeadings();

    qsizetype rowCount() const;
    Artwork *artworkAt(qsizetype row) const;
    CellContent cell(qsizetype row) const;
    double rowHeight(qsizetype row) const;
    // The text of a section band: the artist, or "#" without one.
    static QString sectionTitle(const Artwork &artwork);
    // Whether the search text occurs in what the row shows.
    static bool matches(const Artwork &artwork, const QString &text);

    static QString sizeText(const Artwork &artwork);
    static QString createdText(const Artwork &artwork);
    static QString latestClientText(const Artwork &artwork);

private:
    VelumarkDatabase &m_database;
};

} // namespace velumark
