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

// The toolbar of a document window: its items (identifier, label, palette label, tool tip,
// icon), their default and allowed arrangements, and the toolbar filled in the arrangement the
// user chose. The arrangement is one for every document window, kept in the settings; when it
// changes, every document toolbar follows.
class ToolbarController : public QObject
{
    Q_OBJECT
public:
    // The identifiers of the two kinds of space; they may appear any number of times.
    static const QString kFlexibleSpace;
    static const QString kSpace;
    static const QString kSearch;

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
    static QStringList toolbarDefaultItemIdentifiers();
    static QStringList toolbarAllowedItemIdentifiers();
    // The identifiers the toolbar can show, in their order: unknown ones and a second copy of an
    // item other than a space are left out.
    static QStringList sanitized(const QStringList &identifiers);
    // The arrangement of every document toolbar: the user's, or the default.
    static QStringList savedArrangement();
    // Keeps the arrangement and shows it in every document toolbar.
    static void saveArrangement(const QStringList &identifiers);

    // Fills the toolbar; searchField becomes the "Search" item (the controller takes it).
    ToolbarController(QToolBar &toolbar, QWidget *searchField, QObject *parent = nullptr);
    ~ToolbarController() override;

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
    QWidgetAction *m_searchItem;
    std::map<QString, QAction *> m_actions;
    std::vector<QWidgetAction *> m_spaces;
    bool m_searchShown = false;
};

} // namespace velumark::gui
