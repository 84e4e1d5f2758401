#pragma once

#include "interchange/contacts/Person.h"
#include "store/Result.h"

#include <QString>
#include <vector>

namespace velumark {

// The people of a vCard file, or of every vCard file of a folder (not its subfolders), in the
// order of the cards, read without adding them anywhere. A failure says why nothing could be
// read; cards without contact data are left out.
Result<std::vector<Person>> listPeople(const QString &fileOrFolder);

} // namespace velumark
