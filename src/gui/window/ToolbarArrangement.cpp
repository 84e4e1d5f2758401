#include "gui/window/ToolbarArrangement.h"

#include "gui/window/ToolbarController.h"

#include <QSettings>

namespace velumark::gui {

ToolbarArrangement &ToolbarArrangement::documentToolbar()
{
    const QString &flexible = ToolbarController::kFlexibleSpace;
    const QString &space = ToolbarController::kSpace;
    static ToolbarArrangement arrangement(
        QStringLiteral("documentToolbar/items"),
        {flexible, QStringLiteral("Print"), space, QStringLiteral("Contacts"), space,
         QStringLiteral("Import"), space, QStringLiteral("Export"), space, QStringLiteral("Statistics"),
         flexible, ToolbarController::kSearch, flexible, QStringLiteral("DeleteItem"), space,
         QStringLiteral("AddItem"), space},
        {QStringLiteral("DeleteItem"), QStringLiteral("AddItem"), QStringLiteral("Print"),
         QStringLiteral("Contacts"), QStringLiteral("Statistics"), QStringLiteral("Import"),
         QStringLiteral("Export"), ToolbarController::kSearch, space, flexible});
    return arrangement;
}

ToolbarArrangement &ToolbarArrangement::historyToolbar()
{
    const QString &flexible = ToolbarController::kFlexibleSpace;
    const QString &space = ToolbarController::kSpace;
    static ToolbarArrangement arrangement(
        QStringLiteral("historyToolbar/items"),
        {flexible, QStringLiteral("DeleteItem"), space, QStringLiteral("AddItem"), space},
        {QStringLiteral("DeleteItem"), QStringLiteral("AddItem"), space, flexible});
    return arrangement;
}

ToolbarArrangement::ToolbarArrangement(QString settingsKey, QStringList defaultItems,
                                       QStringList allowedItems)
    : m_settingsKey(std::move(settingsKey)), m_defaultItems(std::move(defaultItems)),
      m_allowedItems(std::move(allowedItems))
{}

QStringList ToolbarArrangement::sanitized(const QStringList &identifiers) const
{
    QStringList result;
    for (const QString &identifier : identifiers) {
        if (m_allowedItems.contains(identifier) &&
            (ToolbarController::isSpace(identifier) || !result.contains(identifier)))
            result.append(identifier);
    }
    return result;
}

QStringList ToolbarArrangement::saved() const
{
    const QVariant saved = QSettings().value(m_settingsKey);
    return saved.isValid() ? sanitized(saved.toStringList()) : m_defaultItems;
}

void ToolbarArrangement::save(const QStringList &identifiers)
{
    QSettings().setValue(m_settingsKey, sanitized(identifiers));
    emit changed();
}

} // namespace velumark::gui
