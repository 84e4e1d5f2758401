#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QMimeData;

namespace velumark::gui {

// Turns what is dropped on or pasted into the photo grid into files for the photo import: local
// files as they are, pictures handed over as data (from a browser or an image editor) written into
// a temporary folder that lives as long as this object. What is neither is counted as left out.
class DroppedPictures
{
public:
    DroppedPictures();
    ~DroppedPictures();

    struct Files
    {
        QStringList files;
        QStringList leftOut; // "what: why"
    };
    Files filesFrom(const QMimeData &data);
    // Whether the data hold a picture or a file named as one (by its name only: this is asked on
    // every move of a drag).
    static bool carriesPictures(const QMimeData &data);
    // The pictures that import supports, as name filters for a file chooser.
    static QStringList nameFilters();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    int m_written = 0;
};

} // namespace velumark::gui
