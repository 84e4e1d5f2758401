#pragma once

#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"

#include <QString>

namespace velumark {

class Artwork;

// The artwork list: every artwork of the document in the document's artwork order, filtered by
// the search text, in sections by artist while the preference "Sort artworks by artist" is on.
// One column. The document owns the one instance (VelumarkDatabase::artworkListController());
// its sort direction is the one the document sorts its artworks in.
class ArtworkListController : public RecordList
{
    Q_OBJECT
public:
    static constexpr double kImageDimension = 100;
    static constexpr double kNormalCellHeight = 120;

    explicit ArtworkListController(VelumarkDatabase &document, QObject *parent = nullptr);

    Artwork *artworkAt(qsizetype row) const;
    int columnCount() const override { return 1; }
    CellContent cell(qsizetype row, int column = 0) const override;
    double normalCellHeight() const override { return kNormalCellHeight; }

    // The text of a section band: the artist, or "#" without one.
    static QString sectionTitle(const Artwork &artwork);
    // Whether the text occurs, ignoring case, in what the row shows (labels included).
    static bool matches(const Artwork &artwork, const QString &text);

    static QString sizeText(const Artwork &artwork);
    static QString createdText(const Artwork &artwork);
    static QString latestClientText(const Artwork &artwork);

protected:
    std::vector<Record *> sourceRecords() const override;
    qsizetype sourceIndexOf(const Record *record) const override
    {
        return indexIn(document().artworks(), record);
    }
    size_t sourceCount() const override { return document().artworks().size(); }
    bool matches(const Record &record, const QString &text) const override;
    void markSections(const std::vector<Record *> &rows, std::vector<char> &flags) const override;
    void collectTouched(Kind kind, Record *record, std::vector<Record *> &touched) const override;
    void applySortOrder() override;

private:
    bool holdsKind(Kind kind) const override { return kind == Kind::Artwork; }
};

} // namespace velumark
