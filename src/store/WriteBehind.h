#pragma once

#include <QtGlobal>

class QFileDevice;

namespace velumark {

// Hands a long file's bytes to the disk while it is still being written, a few megabytes at a
// time, so that the save at its end, which waits until the disk has everything, has little left
// to wait for. Asks nothing of the file's contents: a file that cannot start writing out is
// written out at its save as before.
class WriteBehind
{
public:
    static constexpr qint64 kStep = 8 * 1024 * 1024;

    explicit WriteBehind(QFileDevice &file) : m_file(file) {}

    // To be called now and then while writing (each page of a printout, say).
    void writeOut();

private:
    QFileDevice &m_file;
    qint64 m_handedOver = 0;
};

} // namespace velumark
