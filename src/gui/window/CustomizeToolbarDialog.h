#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velumark::gui {

class ToolbarArrangement;

// Chooses the items of one kind of toolbar and their order (Qt toolbars cannot be rearranged
// by dragging): the allowed items on the left, the toolbar's on the right (reordered by
// dragging or with the buttons), and "Restore Default". OK keeps the arrangement.
class CustomizeToolbarDialog : public QDialog
{
    Q_OBJECT
public:
    // Opens the dialog window-modal over the parent, on the saved arrangement.
    static CustomizeToolbarDialog *present(ToolbarArrangement &toolbar, QWidget *parent);
    CustomizeToolbarDialog(ToolbarArrangement &toolbar, QWidget *parent);

    QStringList arrangement() const;
    void setArrangement(const QStringList &identifiers);

    QListWidget *availableList() const { return m_available; }
    QListWidget *toolbarList() const { return m_toolbar; }
    QPushButton *restoreDefaultButton() const { return m_restoreDefault; }

    // Moves the selected available item into the toolbar, after its selected item.
    void addSelected();
    void removeSelected();
    // Moves the toolbar's selected item by that many places.
    void moveSelected(int places);

private:
    void fillAvailable();
    void updateButtons();
    static QListWidgetItem *makeItem(const QString &identifier);

    ToolbarArrangement &m_arrangement;
    QListWidget *m_available;
    QListWidget *m_toolbar;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_up;
    QPushButton *m_down;
    QPushButton *m_restoreDefault;
};

} // namespace velumark::gui
