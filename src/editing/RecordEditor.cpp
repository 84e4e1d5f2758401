#include "editing/RecordEditor.h"

#include "document/VelumarkDatabase.h"
#include "store/Localization.h"

namespace velumark::editing {

RecordEditor::RecordEditor(VelumarkDatabase &document, Record *record, DocumentNotifier::Kind kind,
                           QObject *parent)
    : QObject(parent), m_document(document), m_record(record), m_kind(kind), m_new(record == nullptr)
{
    if (m_record)
        m_record->hydrate();
    connect(document.notifier(), &DocumentNotifier::recordAboutToBeRemoved, this,
            &RecordEditor::recordAboutToBeRemoved);
    // Every record goes, also those a new record's editor refers to.
    connect(document.notifier(), &DocumentNotifier::listsAboutToBeReloaded, this,
            &RecordEditor::forgetRecord);
}

RecordEditor::~RecordEditor() = default;

void RecordEditor::recordAboutToBeRemoved(DocumentNotifier::Kind kind, Record *record)
{
    if (kind == m_kind && record == m_record && m_record)
        forgetRecord();
    else
        otherRecordRemoved(kind, record);
}

void RecordEditor::forgetRecord()
{
    if (m_gone || m_finished)
        return;
    m_record = nullptr;
    m_gone = true;
    emit recordGone();
}

void RecordEditor::cancel()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_record)
        m_record->unload();
}

Result<> RecordEditor::checkSave(bool canSave) const
{
    if (m_finished || m_gone)
        return Failure{localized("The record is no longer in the catalogue.")};
    if (!canSave)
        return Failure{localized("The record cannot be saved until every required field is filled in.")};
    return m_document.checkEditable();
}

Result<> RecordEditor::store(Record &record)
{
    Result<> stored = attempt([&record] { record.save(); });
    if (!stored)
        record.unload();
    return stored;
}

void RecordEditor::adopt(Record *record)
{
    m_record = record;
}

void RecordEditor::finish()
{
    m_finished = true;
    if (m_record)
        m_record->dehydrate();
}

} // namespace velumark::editing
