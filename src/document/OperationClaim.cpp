#include "document/OperationClaim.h"

#include "document/VelumarkDatabase.h"

#include <utility>

namespace velumark {

OperationClaim::~OperationClaim()
{
    release();
}

OperationClaim::OperationClaim(OperationClaim &&other) noexcept
    : m_document(std::exchange(other.m_document, nullptr))
{}

OperationClaim &OperationClaim::operator=(OperationClaim &&other) noexcept
{
    if (this != &other) {
        release();
        m_document = std::exchange(other.m_document, nullptr);
    }
    return *this;
}

void OperationClaim::release()
{
    if (VelumarkDatabase *document = std::exchange(m_document, nullptr))
        document->endOperation();
}

} // namespace velumark
