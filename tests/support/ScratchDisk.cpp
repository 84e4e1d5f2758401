#include "support/ScratchDisk.h"

#include <QFile>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace velumark::test {

ScratchDisk::ScratchDisk(qint64 bytes)
{
    if (::geteuid() != 0) {
        m_reason = QStringLiteral("mounting a small disk needs root");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
    m_mounted = ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                        options.constData()) == 0;
    if (!m_mounted)
        m_reason =
            QStringLiteral("tmpfs cannot be mounted: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
}

ScratchDisk::~ScratchDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

bool ScratchDisk::fillUpTo(qint64 freeBytes)
{
    const qint64 fill = QStorageInfo(path()).bytesAvailable() - freeBytes;
    QFile filler(filePath(QStringLiteral("filler")));
    return fill > 0 && filler.open(QIODevice::WriteOnly) && filler.write(QByteArray(fill, 'f')) == fill &&
           filler.flush();
}

bool ScratchDisk::makeReadOnly()
{
    if (!m_mounted)
        return false;
    if (::mount(nullptr, QFile::encodeName(path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) ==
        0)
        return true;
    m_reason = QStringLiteral("the disk cannot be made read-only: %1")
                   .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

} // namespace velumark::test
