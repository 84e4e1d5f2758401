#pragma once

#include "document/OperationClaim.h"
#include "interchange/CatalogueSnapshot.h"
#include "interchange/LongOperation.h"

namespace velumark {

class VelumarkDatabase;

// An export of one document, written on a worker thread. On the main thread it claims the
// document (one import or export at a time), writes every pending edit to the file and takes a
// snapshot of the lists; the worker then reads only the snapshot and the file (SnapshotReader),
// never the document's records. The claim ends with the operation, whatever its result.
class DocumentExport : public LongOperation
{
    Q_OBJECT
protected:
    explicit DocumentExport(VelumarkDatabase &document, QObject *parent = nullptr);

    // Main thread, before the document is claimed: refuses parameters that cannot work.
    virtual Result<> checkParameters() { return {}; }
    // Worker thread: the lists as they were when the operation started, their links made on the
    // first call.
    const CatalogueSnapshot &snapshot()
    {
        m_snapshot.index();
        return m_snapshot;
    }

    Result<> prepare() final;
    Result<> finish(Result<> outcome) override;

private:
    VelumarkDatabase &m_document;
    OperationClaim m_claim;
    CatalogueSnapshot m_snapshot;
};

} // namespace velumark
