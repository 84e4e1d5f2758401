#pragma once

#include <functional>

class QWidget;

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {

class ScreenshotTaker;

// "photo-grid" and "photo-viewer" for the screenshots: the grid of the artwork with the most
// photos of the main catalogue, in a window over the main window, and the viewer on its first
// photo. `parent` gives the main window, or null when there is none.
void addPhotoScreenshotSubjects(ScreenshotTaker &taker, std::function<QWidget *()> parent,
                                std::function<VelumarkDatabase *()> document);

} // namespace velumark::gui
