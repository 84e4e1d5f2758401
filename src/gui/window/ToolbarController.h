#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

class QAction;
class QToolBar;
class QWidget;
class QWidgetAction;

namespace velumark::gui {

class ToolbarArrangement;

// A toolbar filled with items (identifier, label, palette label, tool tip, icon) in the
// arrangement the user chose for its kind (ToolbarArrangement), filled again when that changes.
class ToolbarController : public QObject
{
    Q_OBJECT
public:
    // The identifiers of the two kinds of space; they may appear any number of times.
    static const QString kFlexibleSpace;
    static const QString kSpace;
    static const QString kSearch;
    static bool isSpace(const QString &identifier);

    struct Item
    {
        QString identifier;
        QString label;        // beneath the button
        QString paletteLabel; // in the customization dialog
        QString toolTip;
        QIcon icon;
    };
    // The item of an identifier (the spaces included); none for an identifier the toolbar does
    // not know.
    static std::optional<Item> item(const QString &identifier);

    // Fills the toolbar; searchField, if any, becomes the "Search" item (the controller takes it).
    ToolbarController(QToolBar &toolbar, ToolbarArrangement &arrangement, QWidget *searchField = nullptr,
                      QObject *parent = nullptr);

    // The action of a command item ("AddItem", "Statistics"...), one per window: the window
    // connects what it does and when it is enabled. Every action in the toolbar is named after
    // its identifier.
    QAction *itemAction(const QString &identifier) const;
    // Fills the toolbar again in the saved arrangement.
    void refreshToolbar();
    // Whether the search field is one of the items shown.
    bool showsSearchField() const { return m_searchShown; }

signals:
    // The toolbar was filled again; the search field may have come or gone.
    void refreshed();

private:
    QWidgetAction *makeSpace(bool flexible);

    QToolBar &m_toolbar;
    ToolbarArrangement &m_arrangement;
    QWidgetAction *m_searchItem = nullptr;
    std::map<QString, QAction *> m_actions;
    std::vector<QWidgetAction *> m_spaces;
    bool m_searchShown = false;
};

} // namespace velumark::gui
