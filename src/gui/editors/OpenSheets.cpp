#include "gui/editors/OpenSheets.h"

#include "document/VelumarkDatabase.h"
#include "gui/editors/RecordSheet.h"

namespace velumark::gui {

OpenSheets &OpenSheets::of(VelumarkDatabase &document)
{
    // Kept with the document's notifier, which lives as long as the document.
    QObject *notifier = document.notifier();
    if (auto *sheets = notifier->findChild<OpenSheets *>(QString(), Qt::FindDirectChildrenOnly))
        return *sheets;
    return *new OpenSheets(notifier);
}

RecordSheet *OpenSheets::sheetFor(const Record *record) const
{
    const auto it = m_sheets.find(record);
    return it == m_sheets.end() ? nullptr : it->second.data();
}

void OpenSheets::add(const Record *record, RecordSheet *sheet)
{
    m_sheets[record] = sheet;
    connect(sheet, &QObject::destroyed, this, [this, record, sheet] {
        const auto it = m_sheets.find(record);
        if (it != m_sheets.end() && (it->second.isNull() || it->second.data() == sheet))
            m_sheets.erase(it);
    });
}

bool OpenSheets::bringForward(const Record *record) const
{
    RecordSheet *sheet = sheetFor(record);
    if (!sheet)
        return false;
    sheet->raise();
    sheet->activateWindow();
    return true;
}

} // namespace velumark::gui
