#include "interchange/ExportFile.h"

#include "store/Localization.h"

#include <QDir>

namespace velumark {

ExportFile::ExportFile(const QString &destination) : m_file(destination), m_destination(destination) {}

bool ExportFile::open()
{
    // Unbuffered: the pieces are gathered here, and a write the disk refuses fails on its block.
    return m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool ExportFile::outputString(const QString &text)
{
    m_pending += text.toUtf8();
    return m_pending.size() < kBlockSize || writePending();
}

bool ExportFile::writePending()
{
    // A write the disk takes only in part is tried again with the rest: that one then fails with
    // the reason (and a refused write makes commit() fail, so an incomplete file never takes the
    // destination's name).
    qint64 written = 0;
    while (written < m_pending.size()) {
        const qint64 count = m_file.write(m_pending.constData() + written, m_pending.size() - written);
        if (count <= 0)
            return false;
        written += count;
    }
    m_pending.clear();
    return true;
}

bool ExportFile::commit()
{
    return writePending() && m_file.commit();
}

QString ExportFile::errorString() const
{
    return localized("%1 cannot be written: %2")
        .arg(QDir::toNativeSeparators(m_destination), m_file.errorString());
}

} // namespace velumark
