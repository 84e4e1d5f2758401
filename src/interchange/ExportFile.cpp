#include "interchange/ExportFile.h"

#include "interchange/OperationFolder.h"
#include "store/FileOperations.h"
#include "store/Leftovers.h"
#include "store/Localization.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace velumark {

namespace {

QString realDestination(const QString &destination)
{
    const QFileInfo info(destination);
    return info.isSymLink() && !info.symLinkTarget().isEmpty() ? info.symLinkTarget() : destination;
}

} // namespace

ExportFile::ExportFile(const QString &destination)
    : m_destination(destination), m_file(Leftovers::stagingPathFor(realDestination(destination)))
{}

ExportFile::~ExportFile()
{
    discard();
}

Result<> ExportFile::open()
{
    Leftovers::removeStaleStaging(QFileInfo(m_file.fileName()).absolutePath());
    // Unbuffered: the pieces are gathered here, and a write the disk refuses fails on its block.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return fail(m_file.errorString());
    const QString target = realDestination(m_destination);
    if (QFileInfo::exists(target))
        m_file.setPermissions(QFile::permissions(target));
    return {};
}

Result<> ExportFile::outputString(const QString &text)
{
    m_pending += text.toUtf8();
    if (m_pending.size() < kBlockSize)
        return {};
    return writePending();
}

Result<> ExportFile::writePending()
{
    if (!m_file.isOpen())
        return fail(m_reason.isEmpty() ? localized("the file is not open") : m_reason);
    if (!FileOperations::writeAll(m_file, m_pending.constData(), m_pending.size()))
        return fail(m_file.errorString());
    m_pending.clear();
    return {};
}

Result<> ExportFile::complete()
{
    if (m_completed)
        return {};
    if (const Result<> written = writePending(); !written)
        return written;
    if (::fsync(m_file.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    m_file.close();
    m_completed = true;
    return {};
}

Result<> ExportFile::commit()
{
    if (const Result<> completed = complete(); !completed)
        return completed;
    crashPoint("export-file-complete");
    const QString target = realDestination(m_destination);
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    m_file.setFileName(QString());
    return {};
}

Failure ExportFile::fail(const QString &reason)
{
    if (m_reason.isEmpty())
        m_reason = reason;
    discard();
    return Failure{
        localized("%1 cannot be written: %2").arg(QDir::toNativeSeparators(m_destination), m_reason)};
}

void ExportFile::discard()
{
    if (m_file.fileName().isEmpty())
        return;
    m_file.close();
    QFile::remove(m_file.fileName());
    m_file.setFileName(QString());
}

} // namespace velumark
