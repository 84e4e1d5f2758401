#pragma once

#include <QObject>

namespace velumark {

class Record;

// The one channel through which a document tells its observers (list models, open editors, the
// command line) what changed. Signals are emitted on the document's thread after the change is
// complete, so an observer never reads a half-updated document.
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
    void recordAdded(velumark::DocumentNotifier::Kind kind, velumark::Record *record);
    // Emitted before the record is destroyed; it is no longer in any list.
    void recordRemoved(velumark::DocumentNotifier::Kind kind, velumark::Record *record);
    void recordChanged(velumark::DocumentNotifier::Kind kind, velumark::Record *record);
    // A full list was re-sorted or re-filtered; its displayed rows may all have moved.
    void listReordered(velumark::DocumentNotifier::Kind kind);
    // Every list was replaced (open, reload after an import).
    void listsReloaded();
    void overdueCountChanged(quint64 count);
};

} // namespace velumark
