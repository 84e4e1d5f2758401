#pragma once

namespace velumark::gui {

class ScreenshotTaker;
class VelumarkAppDelegate;

// The editor sheets the screenshots show, over the main window: those of the first records of
// the catalogue and those for new records, and a client's submission history.
void addSheetScreenshots(ScreenshotTaker &taker, VelumarkAppDelegate &delegate);

} // namespace velumark::gui
