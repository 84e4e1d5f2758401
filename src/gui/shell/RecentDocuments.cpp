#include "gui/shell/RecentDocuments.h"

#include "document/DocumentPackage.h"

#include <QSettings>

namespace velumark::gui {

namespace {
const QString kKey = QStringLiteral("recentDocuments");
}

QStringList RecentDocuments::paths() const
{
    return QSettings().value(kKey).toStringList();
}

void RecentDocuments::add(const QString &packagePath)
{
    const QString path = DocumentPackage::canonicalPath(packagePath);
    QStringList list = paths();
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kMaximum)
        list.removeLast();
    store(list);
}

void RecentDocuments::remove(const QString &packagePath)
{
    QStringList list = paths();
    if (list.removeAll(packagePath) > 0)
        store(list);
}

void RecentDocuments::clear()
{
    store({});
}

void RecentDocuments::store(const QStringList &list)
{
    QSettings settings;
    if (list.isEmpty())
        settings.remove(kKey);
    else
        settings.setValue(kKey, list);
    settings.sync();
    emit changed();
}

} // namespace velumark::gui
