#pragma once

#include "document/OperationClaim.h"
#include "store/Result.h"

namespace velumark {

class OperationFolder;
class VelumarkDatabase;

// The start of an operation that works on a copy of the document's file in a folder of its own:
// the folder must exist, no other operation may hold the document, and every pending edit must
// be in the file before the copy is taken. On failure the document stays unclaimed.
Result<OperationClaim> claimForCopy(VelumarkDatabase &document, const OperationFolder &folder);

} // namespace velumark
