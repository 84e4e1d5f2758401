#pragma once

#include "document/PrintChoice.h"

#include <QPageLayout>
#include <QtGlobal>
#include <vector>

namespace velumark {
class Record;
}

namespace velumark::editing {

// What a printout shows: one of the three lists as the window shows it, the sheet of one record,
// or what is out at one client (its submissions still waiting for a response).
enum class PrintScreen
{
    Artworks = 0,
    Clients = 1,
    Submissions = 2,
    ArtworkSheet = 3,
    ClientSheet = 4,
    SubmissionSheet = 5,
    ClientOutstanding = 6
};

bool isListScreen(PrintScreen screen);
// The screens that print one record's sheet (not the client's outstanding list).
bool isSheetScreen(PrintScreen screen);
// What the document's print choice prints.
PrintScreen printScreenFor(PrintChoice::Screen choice);

// Everything one printout is asked for, apart from the paper.
struct PrintOptions
{
    PrintScreen screen = PrintScreen::Artworks;
    // Lists: only these rows of the list (in list order) instead of every row shown.
    bool selectedRowsOnly = false;
    std::vector<qsizetype> selectedRows;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    // Sheets and the outstanding list: the record, stored or made from the values an editor
    // shows. Not owned; it must outlive the printout.
    Record *record = nullptr;
};

} // namespace velumark::editing
