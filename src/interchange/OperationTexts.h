#pragma once

#include <QString>

namespace velumark {

// What the progress windows and the command line say about a long operation: its title while it
// runs and the alert at its end. The operation's own message (why it failed, what it left out)
// follows these texts.
struct OperationTexts
{
    QString title;       // "Importing Database"
    QString doneTitle;   // "Import Complete"
    QString doneText;    // "Database import complete!"
    QString failedTitle; // "Import Error"
    QString failedText;  // "An error occurred during the import! ..."

    static OperationTexts databaseImport();
    static OperationTexts databaseExport();
    static OperationTexts reportExport();
    static OperationTexts photoImport();
};

} // namespace velumark
