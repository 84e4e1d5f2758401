// Contacts from vCard files become clients.
#include "cli/Commands.h"
#include "document/VelumarkDatabase.h"
#include "interchange/contacts/ContactsImport.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace velumark::cli {

namespace {

int importContacts(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Adds one client for every contact card (vCard 2.1, 3.0 or 4.0) of the files, or of the .vcf "
        "files in the folders, and prints what it added and what it left out."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    parser.addPositionalArgument(QStringLiteral("FILE.vcf..."), localized("vCard files or folders of them."));
    if (const int status = parseArguments(parser, QStringLiteral("import-contacts"), arguments,
                                          {QStringLiteral("PATH.vdb"), QStringLiteral("FILE.vcf...")}, 2);
        status >= 0)
        return status;
    QStringList sources = parser.positionalArguments();
    auto document = openCatalogue(sources.takeFirst());
    if (!document)
        return kFailure;
    ContactsImport import(*document);
    const Result<> stored = import.run([&sources](VCardImport &cards) {
        for (const QString &source : std::as_const(sources)) {
            if (QFileInfo(source).isDir())
                cards.importFolder(source);
            else
                cards.importFile(source);
        }
    });
    if (!stored) {
        printError(stored.message());
        closeCatalogue(*document);
        return kFailure;
    }
    const VCardImport &contacts = import.cards();
    for (const QString &company : contacts.added())
        printOut(localized("Added client: %1").arg(company));
    for (const QString &reason : contacts.skipped())
        printError(localized("Left out: %1").arg(reason));
    printOut(localized("Clients added: %1").arg(contacts.addedCount()));
    if (!closeCatalogue(*document))
        return kFailure;
    if (contacts.addedCount() == 0) {
        printError(localized("A problem occurred while adding contacts to the Client list."));
        return kFailure;
    }
    return kSuccess;
}

} // namespace

std::vector<Command> contactCommands()
{
    return {{QStringLiteral("import-contacts"),
             localized("Add a client for every contact card of vCard files."), importContacts}};
}

} // namespace velumark::cli
