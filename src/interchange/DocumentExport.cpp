#include "interchange/DocumentExport.h"

#include "document/VelumarkDatabase.h"

#include <QScopeGuard>

namespace velumark {

DocumentExport::DocumentExport(VelumarkDatabase &document, QObject *parent)
    : LongOperation(parent), m_document(document)
{}

bool DocumentExport::prepare(QString *error)
{
    if (!checkParameters(error) || !m_document.beginOperation(error))
        return false;
    // Without a worker there is no finish(), so every way out that does not start one (failure or
    // exception) gives the document back here.
    auto release = qScopeGuard([this] { m_document.endOperation(); });
    // The worker reads the file, so every edit must be in it.
    if (!m_document.saveChanges(error))
        return false;
    m_snapshot = CatalogueSnapshot::take(m_document);
    release.dismiss();
    return true;
}

LongOperation::Outcome DocumentExport::finish(Outcome outcome)
{
    m_document.endOperation();
    return outcome;
}

} // namespace velumark
