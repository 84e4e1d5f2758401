#pragma once

#include <QString>
#include <stdexcept>

namespace velumark {

// The one exception type of the core: an internal-consistency failure of a database operation.
// Front ends catch it at the command boundary and show or print it.
class DatabaseError : public std::runtime_error
{
public:
    DatabaseError(QString method, QString object, QString sourceFile, int line, QString message);

    const QString &method() const { return m_method; }
    const QString &object() const { return m_object; }
    const QString &sourceFile() const { return m_sourceFile; }
    int line() const { return m_line; }
    const QString &message() const { return m_message; }

    // "message (method, object, file:line)": what a front end shows.
    QString describe() const;

private:
    QString m_method;
    QString m_object;
    QString m_sourceFile;
    int m_line;
    QString m_message;
};

// Fills the '%s' (SQLite's text) or '%@' (a file system description) of a failure message.
QString formatFailure(const char *messageFormat, const QString &detail);

[[noreturn]] void raiseDatabaseError(const char *method, const QString &object, const char *file, int line,
                                     const QString &message);

} // namespace velumark

#define VELUMARK_RAISE(object, message)                                                                      \
    ::velumark::raiseDatabaseError(__func__, (object), __FILE__, __LINE__, (message))
