#include "interchange/CopyClaim.h"

#include "document/VelumarkDatabase.h"
#include "interchange/OperationFolder.h"
#include "store/Localization.h"

namespace velumark {

Result<OperationClaim> claimForCopy(VelumarkDatabase &document, const OperationFolder &folder)
{
    if (!folder.isValid())
        return Failure{localized("The cache folder for temporary files cannot be created.")};
    Result<OperationClaim> claim = document.beginOperation();
    if (!claim)
        return Failure{claim.message()};
    if (const Result<> saved = document.saveChanges(); !saved)
        return Failure{saved.message()};
    return claim;
}

} // namespace velumark
