#include "gui/editors/OpenSheets.h"

#include "document/VelumarkDatabase.h"

namespace velumark::gui {

OpenSheets &OpenSheets::of(VelumarkDatabase &document)
{
    // Kept with the document's notifier, which lives as long as the document.
    QObject *notifier = document.notifier();
    if (auto *sheets = notifier->findChild<OpenSheets *>(QString(), Qt::FindDirectChildrenOnly))
        return *sheets;
    return *new OpenSheets(notifier);
}

QWidget *OpenSheets::windowFor(const Record *record, Use use) const
{
    const auto it = m_windows.find({record, use});
    return it == m_windows.end() ? nullptr : it->second.data();
}

void OpenSheets::add(const Record *record, QWidget *window, Use use)
{
    const Key key{record, use};
    m_windows[key] = window;
    connect(window, &QObject::destroyed, this, [this, key, window] {
        const auto it = m_windows.find(key);
        if (it != m_windows.end() && (it->second.isNull() || it->second.data() == window))
            m_windows.erase(it);
    });
}

bool OpenSheets::bringForward(const Record *record, Use use) const
{
    QWidget *window = windowFor(record, use);
    if (!window)
        return false;
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace velumark::gui
