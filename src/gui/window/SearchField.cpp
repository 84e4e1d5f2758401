#include "gui/window/SearchField.h"

#include "gui/shell/Icons.h"
#include "store/Localization.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

namespace velumark::gui {

namespace {
constexpr int kPreferredWidth = 240;
}

SearchField::SearchField(QWidget *parent) : QLineEdit(parent), m_menu(new QMenu(this))
{
    setClearButtonEnabled(true);
    setPlaceholderText(localized("Search"));
    setToolTip(localized("Search the currently visible list"));
    setAccessibleName(localized("Search list"));
    setMinimumWidth(kPreferredWidth * 2 / 3);
    setMaximumWidth(kPreferredWidth);
    QAction *icon = addAction(Icons::themed(QStringLiteral("edit-find"), QStringLiteral("edit-find")),
                              QLineEdit::LeadingPosition);
    icon->setToolTip(localized("Recent Searches"));
    connect(icon, &QAction::triggered, this, [this] { m_menu->popup(mapToGlobal(QPoint(0, height()))); });
    connect(m_menu, &QMenu::aboutToShow, this, &SearchField::fillRecentsMenu);
    connect(this, &QLineEdit::editingFinished, this, &SearchField::rememberSearch);
    fillRecentsMenu();
}

void SearchField::setRecentSearches(const QStringList &searches)
{
    m_recentSearches = searches;
    m_recentSearches.removeAll(QString());
    m_recentSearches.removeDuplicates();
    m_recentSearches = m_recentSearches.mid(0, kMostRecentSearches);
    fillRecentsMenu();
}

void SearchField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SearchField::rememberSearch()
{
    const QString search = text().trimmed();
    if (search.isEmpty())
        return;
    m_recentSearches.removeAll(search);
    m_recentSearches.prepend(search);
    setRecentSearches(m_recentSearches);
}

void SearchField::fillRecentsMenu()
{
    m_menu->clear();
    if (m_recentSearches.isEmpty()) {
        m_menu->addAction(localized("No Recent Searches"))->setEnabled(false);
        return;
    }
    m_menu->addSection(localized("Recent Searches"));
    for (const QString &search : m_recentSearches)
        connect(m_menu->addAction(search), &QAction::triggered, this, [this, search] {
            setText(search);
            rememberSearch();
        });
    m_menu->addSeparator();
    connect(m_menu->addAction(localized("Clear Search History")), &QAction::triggered, this,
            [this] { setRecentSearches({}); });
}

} // namespace velumark::gui
