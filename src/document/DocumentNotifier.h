#pragma once

#include <QObject>

namespace velumark {

class Record;

// Document-wide news about records, for whatever follows more than one row: the list objects,
// open editors, history windows, the statistics and the command line. Rows of a list are
// announced by the list itself (RecordList). Signals are emitted on the document's thread.
class DocumentNotifier : public QObject
{
    Q_OBJECT
public:
    enum class Kind
    {
        Artwork,
        Client,
        Submission,
        Medium,
        Artist,
        Image
    };
    Q_ENUM(Kind)

    using QObject::QObject;

signals:
    // After the record is filed in every list of the document.
    void recordAdded(velumark::DocumentNotifier::Kind kind, velumark::Record *record);
    // The record's rows are already deleted, but it is still filed and whole; it is freed right
    // after. Whoever holds it drops it now. A cascade announces each record it takes.
    void recordAboutToBeRemoved(velumark::DocumentNotifier::Kind kind, velumark::Record *record);
    // The record has left every list and is freed right after; only its links may still be read
    // (what showed something of it shows the change now).
    void recordRemoved(velumark::DocumentNotifier::Kind kind, velumark::Record *record);
    // After an update operation re-filed the record (its list order and links are current).
    void recordChanged(velumark::DocumentNotifier::Kind kind, velumark::Record *record);
    // The document's full list of this kind was sorted again.
    void recordsReordered(velumark::DocumentNotifier::Kind kind);
    // Every record is about to be freed (an open, a reload after an import, the document going
    // away); listsReloaded follows once the new records are linked, also when the load failed.
    void listsAboutToBeReloaded();
    void listsReloaded();
    void overdueCountChanged(quint64 count);
    // An import, export or transfer holds the document; until it ends, edits are refused.
    void operationStarted();
    void operationEnded();
};

} // namespace velumark
