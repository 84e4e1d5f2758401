#include "store/DatabaseError.h"

#include <QFileInfo>

namespace velumark {

DatabaseError::DatabaseError(QString method, QString object, QString sourceFile, int line, QString message)
    : std::runtime_error(message.toStdString()), m_method(std::move(method)), m_object(std::move(object)),
      m_sourceFile(std::move(sourceFile)), m_line(line), m_message(std::move(message))
{}

QString DatabaseError::describe() const
{
    return QStringLiteral("%1 (%2, %3, %4:%5)").arg(m_message, m_method, m_object, m_sourceFile).arg(m_line);
}

QString formatFailure(const char *messageFormat, const QString &detail)
{
    QString message = QString::fromUtf8(messageFormat);
    const qsizetype at = message.indexOf(QLatin1String("%s"));
    if (at >= 0)
        return message.replace(at, 2, detail);
    const qsizetype object = message.indexOf(QLatin1String("%@"));
    if (object >= 0)
        return message.replace(object, 2, detail);
    return message;
}

void raiseDatabaseError(const char *method, const QString &object, const char *file, int line,
                        const QString &message)
{
    throw DatabaseError(QString::fromUtf8(method), object,
                        QFileInfo(QString::fromUtf8(file)).completeBaseName(), line, message);
}

} // namespace velumark
