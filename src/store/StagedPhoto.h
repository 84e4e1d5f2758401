#pragma once

#include "store/Result.h"

#include <QString>
#include <array>
#include <atomic>

namespace velumark {

// The three picture files of a new photo (photo, thumbnail, square thumbnail), made from a picture
// file outside the catalogue and written into the package under staging names until the row that
// names them exists. Made on a worker thread; it touches no record and no database. What is still
// staged when the object goes is removed; what a killed process staged is swept by
// Leftovers::removeStaleStaging.
class StagedPhoto
{
public:
    // How a picture file is refused: bad input is skipped; a write that failed (a full disk) ends
    // the whole import, since the next photo would fail the same way.
    enum class Problem
    {
        None,
        BadInput,
        WriteFailed,
        Cancelled
    };

    // Pictures above this many pixels are refused before they are decoded.
    static constexpr qint64 kMaxPixels = 200'000'000;

    StagedPhoto() = default;
    ~StagedPhoto();
    StagedPhoto(StagedPhoto &&other) noexcept;
    StagedPhoto &operator=(StagedPhoto &&other) noexcept;
    StagedPhoto(const StagedPhoto &) = delete;
    StagedPhoto &operator=(const StagedPhoto &) = delete;

    // Checks, decodes (turned upright by its orientation tag), scales and encodes the picture and
    // writes the three files into the package. On failure nothing stays on disk, `problem` says
    // which kind and `message` names the file with the reason. Stops early once `abort` is set.
    static StagedPhoto make(const QString &source, const QString &packagePath, const std::atomic<bool> &abort,
                            Problem *problem, QString *message);

    bool isStaged() const { return !m_files[0].isEmpty(); }
    // Moves the files to the names of the key (replacing what an earlier image of that key left).
    // On failure the files moved so far go back to their staging names and stay staged.
    Result<> moveInto(const QString &packagePath, qint64 key);
    // The final names of the key, for taking back a move whose row did not commit.
    static void removeFinalFiles(const QString &packagePath, qint64 key);
    void discard();

private:
    // Photo, thumbnail, square thumbnail.
    std::array<QString, 3> m_files;
};

} // namespace velumark
