#include "interchange/DocumentExport.h"

#include "document/VelumarkDatabase.h"

namespace velumark {

DocumentExport::DocumentExport(VelumarkDatabase &document, QObject *parent)
    : LongOperation(parent), m_document(document)
{}

Result<> DocumentExport::prepare()
{
    if (const Result<> checked = checkParameters(); !checked)
        return checked;
    Result<OperationClaim> claim = m_document.beginOperation();
    if (!claim)
        return Failure{claim.message()};
    // The worker reads the file, so every edit must be in it. Without a worker there is no
    // finish(): a failure here gives the document back as the claim goes.
    if (const Result<> saved = m_document.saveChanges(); !saved)
        return saved;
    m_snapshot = CatalogueSnapshot::take(m_document);
    m_claim = std::move(claim).value();
    return {};
}

Result<> DocumentExport::finish(Result<> outcome)
{
    m_claim.release();
    return outcome;
}

} // namespace velumark
