#include "interchange/OperationTexts.h"

#include "store/Localization.h"

namespace velumark {

OperationTexts OperationTexts::databaseImport()
{
    return {localized("Importing Database"), localized("Import Complete"),
            localized("Database import complete!"), localized("Import Error"),
            localized("An error occurred during the import! Database import was aborted and no changes were "
                      "made.")};
}

OperationTexts OperationTexts::databaseExport()
{
    return {localized("Exporting Database"), localized("Export Complete"),
            localized("Database export complete!"), localized("Export Error"),
            localized("An error occurred during the export! Database export was aborted and no changes were "
                      "made.")};
}

OperationTexts OperationTexts::reportExport()
{
    return {localized("Exporting Report"), localized("Export Complete"), localized("Report export complete!"),
            localized("Export Error"), localized("An error occurred during report export.")};
}

OperationTexts OperationTexts::photoImport()
{
    return {localized("Adding Photos"), localized("Photos Added"), localized("Adding photos complete!"),
            localized("Import Error"), localized("Not every photo could be added.")};
}

} // namespace velumark
