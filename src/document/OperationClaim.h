#pragma once

namespace velumark {

class VelumarkDatabase;

// The hold of one import, export or transfer on a document (VelumarkDatabase::beginOperation):
// while a claim holds the document, its add, update and remove operations refuse and no other
// operation can begin. The document learns that the operation ended when the claim is released
// or goes. A default-made claim holds nothing.
class OperationClaim
{
public:
    OperationClaim() = default;
    ~OperationClaim();
    OperationClaim(OperationClaim &&other) noexcept;
    OperationClaim &operator=(OperationClaim &&other) noexcept;
    OperationClaim(const OperationClaim &) = delete;
    OperationClaim &operator=(const OperationClaim &) = delete;

    bool holds() const { return m_document != nullptr; }
    // Ends the operation now; nothing when the claim holds nothing.
    void release();

private:
    friend class VelumarkDatabase;
    explicit OperationClaim(VelumarkDatabase &document) : m_document(&document) {}

    VelumarkDatabase *m_document = nullptr;
};

} // namespace velumark
