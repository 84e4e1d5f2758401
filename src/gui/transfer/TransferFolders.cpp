#include "gui/transfer/TransferFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace velumark::gui::TransferFolders {

namespace {
QString settingsName(const QString &key)
{
    return QStringLiteral("TransferFolders/") + key;
}
} // namespace

QString folder(const QString &key)
{
    const QString remembered = QSettings().value(settingsName(key)).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void remember(const QString &key, const QString &folder)
{
    QSettings().setValue(settingsName(key), folder);
}

} // namespace velumark::gui::TransferFolders
