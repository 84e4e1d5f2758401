#pragma once

#include <QCoreApplication>
#include <QString>

namespace velumark {

// Every user-visible text passes through the translation table, with the English text as key.
inline QString localized(const char *english)
{
    return QCoreApplication::translate("Velumark", english);
}

} // namespace velumark
