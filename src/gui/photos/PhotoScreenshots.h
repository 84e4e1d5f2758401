#pragma once

namespace velumark::gui {

class ScreenshotTaker;
class VelumarkAppDelegate;

// "photo-grid" and "photo-viewer" for the screenshots: the sheet of the artwork with the most
// photos of the main catalogue on its photos tab, and the viewer on its first photo.
void addPhotoScreenshots(ScreenshotTaker &taker, VelumarkAppDelegate &delegate);

} // namespace velumark::gui
