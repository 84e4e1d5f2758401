#pragma once

#include "editing/WrappedText.h"

#include <QString>
#include <memory>
#include <vector>

namespace velumark {
class Artwork;
class Client;
class Image;
class Submission;
} // namespace velumark

namespace velumark::editing {

class PrintFonts;

// One numbered line of a record's sheet: a bold label at the left and the value in the value
// column, the photos, one line of a wrapped text, or a line of the submission history.
struct SheetLine
{
    enum class Kind
    {
        Blank,
        Field,         // label and value
        Photos,        // label, and the photos drawn from this line down
        WrappedLine,   // label (first line only) and line `textLine` of `text`
        HistoryEntry,  // the value alone: the other record and the outcome
        HistoryDetail, // the value alone, smaller: the dates
    };
    Kind kind = Kind::Blank;
    QString label;
    QString value;
    const WrappedText *text = nullptr;
    int textLine = 0;
};

// The table of lines of an artwork's, a client's or a submission's sheet: which field each
// numbered line shows, with the location or address and the notes broken into lines of the
// value column's width. The record's stored fields are loaded first (a record made from an
// editor's values has them already).
class SheetLines
{
public:
    static constexpr double kValueColumn = 130;
    static constexpr int kPhotoCount = 5;
    // The photos of an artwork sheet start on their line and take the four below it as well.
    static constexpr int kPhotoLines = 5;

    static SheetLines forArtwork(Artwork &artwork, const PrintFonts &fonts, double valueWidth);
    static SheetLines forClient(Client &client, const PrintFonts &fonts, double valueWidth);
    static SheetLines forSubmission(Submission &submission, const PrintFonts &fonts, double valueWidth);

    SheetLines(SheetLines &&) noexcept;
    SheetLines &operator=(SheetLines &&) noexcept;
    ~SheetLines();

    qsizetype count() const { return static_cast<qsizetype>(m_lines.size()); }
    // A blank line outside the table.
    const SheetLine &line(qsizetype number) const;
    // The artwork's photos the sheet shows.
    const std::vector<Image *> &photos() const { return m_photos; }
    // Lines of the location or address (at least 1) and of the notes (0 without notes).
    int multiLineFieldLines() const { return m_multiLineFieldLines; }
    int notesLines() const { return m_notesLines; }

private:
    SheetLines() = default;
    void set(qsizetype number, SheetLine line);
    void setField(qsizetype number, const char *label, const QString &value = {});
    // Lays the text out at the line (label on its first line); returns its number of lines.
    int setWrapped(qsizetype number, const char *label, std::unique_ptr<WrappedText> text);
    // After the notes: a blank line, the heading and three lines per submission.
    template <typename EntryText>
    void setHistory(qsizetype first, const std::vector<Submission *> &submissions, EntryText entryText);
    void padTo(qsizetype total);

    std::vector<SheetLine> m_lines;
    std::vector<std::unique_ptr<WrappedText>> m_texts;
    std::vector<Image *> m_photos;
    int m_multiLineFieldLines = 0;
    int m_notesLines = 0;
};

} // namespace velumark::editing
