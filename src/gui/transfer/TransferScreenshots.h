#pragma once

namespace velumark::gui {

class ScreenshotTaker;
class VelumarkAppDelegate;

// The data windows "--screenshot NAME=FILE" can take pictures of: "import-csv", "export-vdbi",
// "device-import", "progress", "report" and
// "contacts".
void addTransferScreenshotSubjects(ScreenshotTaker &taker, VelumarkAppDelegate &delegate);

} // namespace velumark::gui
