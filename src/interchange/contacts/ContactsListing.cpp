#include "interchange/contacts/ContactsListing.h"

#include "interchange/contacts/VCardImport.h"
#include "store/Localization.h"

#include <QDir>
#include <QFileInfo>

namespace velumark {

Result<std::vector<Person>> listPeople(const QString &fileOrFolder)
{
    const QFileInfo source(fileOrFolder);
    if (!source.exists())
        return Failure{localized("“%1” cannot be found.").arg(QDir::toNativeSeparators(fileOrFolder))};
    std::vector<Person> people;
    VCardImport reader([&people](const Person *person) {
        people.push_back(*person);
        return true;
    });
    if (source.isDir())
        reader.importFolder(fileOrFolder);
    else
        reader.importFile(fileOrFolder);
    if (people.empty() && reader.skippedCount() > 0)
        return Failure{reader.skipped().join(QLatin1Char('\n'))};
    return people;
}

} // namespace velumark
