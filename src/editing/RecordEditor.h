#pragma once

#include "document/DocumentNotifier.h"
#include "store/DatabaseError.h"
#include "store/Result.h"

#include <QObject>

namespace velumark {
class Record;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::editing {

// What the three editors share: the record being edited (none for a new one until it is saved),
// its lifecycle while the editor is open (loaded when the editor opens, written on a save,
// released without writing on a cancel) and the news that it was removed meanwhile, after which
// the editor never touches it again.
class RecordEditor : public QObject
{
    Q_OBJECT
public:
    ~RecordEditor() override;

    VelumarkDatabase &document() const { return m_document; }
    bool isNew() const { return m_new; }
    // The stored record; null for a new record until it was saved, and once it was removed.
    Record *record() const { return m_record; }
    // The record was removed, or the document reloaded every record, while the editor was open;
    // nothing can be saved any more.
    bool isRecordGone() const { return m_gone; }
    // The editor was saved or cancelled; it does nothing more.
    bool isFinished() const { return m_finished; }

    // Leaves the stored record as it is in the file (`unload`) and ends the editor.
    void cancel();

signals:
    void recordGone();

protected:
    // A stored record (loaded in full now) or, with null, a new one of that kind.
    RecordEditor(VelumarkDatabase &document, Record *record, DocumentNotifier::Kind kind, QObject *parent);

    // Whether a save may start; the failure says why.
    Result<> checkSave(bool canSave) const;
    // Writes the changed record. On failure the record is restored from its row, so the
    // document holds what the file holds, and the failure says why.
    Result<> store(Record &record);
    // A new record was added by the document: it is the record from now on.
    void adopt(Record *record);
    // After a save: the record's lazy fields are released and the editor ends.
    void finish();

    // Runs a change of the document; a DatabaseError becomes the failure.
    template <typename Change> static Result<> attempt(Change &&change)
    {
        try {
            change();
            return {};
        } catch (const DatabaseError &failure) {
            return Failure{failure.describe()};
        }
    }

    // A record of another kind the editor refers to is going (the chosen artwork of a submission).
    virtual void otherRecordRemoved(DocumentNotifier::Kind, Record *) {}

private:
    void recordAboutToBeRemoved(DocumentNotifier::Kind kind, Record *record);
    void forgetRecord();

    VelumarkDatabase &m_document;
    Record *m_record;
    DocumentNotifier::Kind m_kind;
    bool m_new;
    bool m_gone = false;
    bool m_finished = false;
};

} // namespace velumark::editing
