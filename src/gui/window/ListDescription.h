#pragma once

#include <QString>
#include <QStringList>

namespace velumark {
class Record;
class RecordList;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

// What the window says about one kind of list: its column headings, its name for screen readers,
// the confirmation of a deletion and the word for a highlighted row; and how its records are
// counted and removed (through the document, with the cascades).
struct ListDescription
{
    enum class Kind
    {
        Artworks,
        Clients,
        Submissions,
        SubmissionHistory
    };

    static ListDescription of(const RecordList &list);

    Kind kind = Kind::Artworks;
    QStringList headings;
    QString accessibleName;
    QString deleteOne;
    QString deleteSeveral;
    // Spoken for a row drawn with the highlighted background.
    QString highlightWord;

    // Every record the list could show without a search (its own rows for a history).
    qsizetype totalCount(const VelumarkDatabase &document, const RecordList &list) const;
    void remove(VelumarkDatabase &document, Record *record) const;
    // The word a screen reader says for a status icon of the lists.
    static QString statusWord(const QString &iconName);
};

} // namespace velumark::gui
