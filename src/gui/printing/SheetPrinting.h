#pragma once

class QPushButton;

namespace velumark::gui {

class RecordSheet;

// The Print button of a record's sheet: prints the record as the sheet shows it, saved or not,
// on the page setup of the catalogue window the sheet belongs to. A client's sheet offers what is
// out at the client as well. Without a catalogue window to print for, the button stays hidden.
class SheetPrinting
{
public:
    static void wire(RecordSheet &sheet, QPushButton &printButton);
};

} // namespace velumark::gui
