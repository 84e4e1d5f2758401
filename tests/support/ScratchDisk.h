#pragma once

#include <QString>
#include <QTemporaryDir>

namespace velumark::test {

// A small file system of its own (tmpfs) mounted on a temporary folder, for what happens on a full
// or a read-only disk. Mounting needs root: elsewhere isMounted() is false with the reason, and
// the test skips. Unmounted when the object goes.
class ScratchDisk
{
public:
    explicit ScratchDisk(qint64 bytes);
    ~ScratchDisk();
    ScratchDisk(const ScratchDisk &) = delete;
    ScratchDisk &operator=(const ScratchDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    const QString &reason() const { return m_reason; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString &name) const { return m_folder.filePath(name); }

    // Fills the disk with a file "filler" until only about `freeBytes` are left.
    bool fillUpTo(qint64 freeBytes);
    // Mounts it again read-only; false with the reason.
    bool makeReadOnly();

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
    QString m_reason;
};

} // namespace velumark::test
