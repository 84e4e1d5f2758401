#include "editing/PrintOptions.h"

namespace velumark::editing {

bool isListScreen(PrintScreen screen)
{
    return screen == PrintScreen::Artworks || screen == PrintScreen::Clients ||
           screen == PrintScreen::Submissions || screen == PrintScreen::ClientOutstanding;
}

bool isSheetScreen(PrintScreen screen)
{
    return screen == PrintScreen::ArtworkSheet || screen == PrintScreen::ClientSheet ||
           screen == PrintScreen::SubmissionSheet;
}

PrintScreen printScreenFor(PrintChoice::Screen choice)
{
    switch (choice) {
    case PrintChoice::Screen::ArtworkList:
        return PrintScreen::Artworks;
    case PrintChoice::Screen::ClientList:
        return PrintScreen::Clients;
    case PrintChoice::Screen::SubmissionList:
        return PrintScreen::Submissions;
    case PrintChoice::Screen::ArtworkSheet:
        return PrintScreen::ArtworkSheet;
    case PrintChoice::Screen::ClientSheet:
        return PrintScreen::ClientSheet;
    case PrintChoice::Screen::SubmissionSheet:
        return PrintScreen::SubmissionSheet;
    }
    return PrintScreen::Artworks;
}

} // namespace velumark::editing
