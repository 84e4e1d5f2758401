#include "gui/window/CustomizeToolbarDialog.h"

#include "gui/window/ToolbarArrangement.h"
#include "gui/window/ToolbarController.h"
#include "store/Localization.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

constexpr int kIdentifierRole = Qt::UserRole;
constexpr int kListWidth = 200;
constexpr int kListHeight = 300;

QString identifierOf(const QListWidgetItem *item)
{
    return item ? item->data(kIdentifierRole).toString() : QString();
}

QListWidget *makeList(QWidget *parent, const QString &accessibleName)
{
    auto *list = new QListWidget(parent);
    list->setAccessibleName(accessibleName);
    list->setMinimumSize(kListWidth, kListHeight);
    list->setIconSize(QSize(24, 24));
    return list;
}

} // namespace

CustomizeToolbarDialog *CustomizeToolbarDialog::present(ToolbarArrangement &toolbar, QWidget *parent)
{
    auto *dialog = new CustomizeToolbarDialog(toolbar, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

CustomizeToolbarDialog::CustomizeToolbarDialog(ToolbarArrangement &toolbar, QWidget *parent)
    : QDialog(parent), m_arrangement(toolbar), m_available(makeList(this, localized("Available items"))),
      m_toolbar(makeList(this, localized("Toolbar items"))), m_add(new QPushButton(localized("Add"), this)),
      m_remove(new QPushButton(localized("Remove"), this)), m_up(new QPushButton(localized("Move Up"), this)),
      m_down(new QPushButton(localized("Move Down"), this)),
      m_restoreDefault(new QPushButton(localized("Restore Default"), this))
{
    setWindowTitle(localized("Customize Toolbar"));
    setWindowModality(Qt::WindowModal);
    // Items are put in order by dragging them within the toolbar's list.
    m_toolbar->setDragDropMode(QAbstractItemView::InternalMove);
    m_toolbar->setDefaultDropAction(Qt::MoveAction);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(localized("Available items:"), this), 0, 0);
    grid->addWidget(new QLabel(localized("Toolbar items:"), this), 0, 2);
    grid->addWidget(m_available, 1, 0);
    grid->addWidget(m_toolbar, 1, 2);
    auto *middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton *button : {m_add, m_remove, m_up, m_down})
        middle->addWidget(button);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_restoreDefault, QDialogButtonBox::ResetRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(this, &QDialog::accepted, this, [this] { m_arrangement.save(arrangement()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_restoreDefault, &QPushButton::clicked, this,
            [this] { setArrangement(m_arrangement.defaultItems()); });
    connect(m_add, &QPushButton::clicked, this, &CustomizeToolbarDialog::addSelected);
    connect(m_remove, &QPushButton::clicked, this, &CustomizeToolbarDialog::removeSelected);
    connect(m_up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(m_available, &QListWidget::itemDoubleClicked, this, &CustomizeToolbarDialog::addSelected);
    connect(m_toolbar, &QListWidget::itemDoubleClicked, this, &CustomizeToolbarDialog::removeSelected);
    for (QListWidget *list : {m_available, m_toolbar})
        connect(list, &QListWidget::currentRowChanged, this, &CustomizeToolbarDialog::updateButtons);
    setArrangement(toolbar.saved());
}

QListWidgetItem *CustomizeToolbarDialog::makeItem(const QString &identifier)
{
    const auto item = ToolbarController::item(identifier);
    auto *entry = new QListWidgetItem(item->icon, item->paletteLabel);
    entry->setData(kIdentifierRole, identifier);
    entry->setToolTip(item->toolTip);
    return entry;
}

QStringList CustomizeToolbarDialog::arrangement() const
{
    QStringList identifiers;
    for (int row = 0; row < m_toolbar->count(); ++row)
        identifiers.append(identifierOf(m_toolbar->item(row)));
    return identifiers;
}

void CustomizeToolbarDialog::setArrangement(const QStringList &identifiers)
{
    m_toolbar->clear();
    for (const QString &identifier : m_arrangement.sanitized(identifiers))
        m_toolbar->addItem(makeItem(identifier));
    fillAvailable();
}

void CustomizeToolbarDialog::fillAvailable()
{
    // The spaces are always there to take; every other item while the toolbar lacks it.
    const QStringList shown = arrangement();
    const QString current = identifierOf(m_available->currentItem());
    m_available->clear();
    for (const QString &identifier : m_arrangement.allowedItems()) {
        if (ToolbarController::isSpace(identifier) || !shown.contains(identifier))
            m_available->addItem(makeItem(identifier));
        if (identifier == current)
            m_available->setCurrentRow(m_available->count() - 1);
    }
    updateButtons();
}

void CustomizeToolbarDialog::addSelected()
{
    QListWidgetItem *chosen = m_available->currentItem();
    if (!chosen)
        return;
    const int row = m_toolbar->currentRow() < 0 ? m_toolbar->count() : m_toolbar->currentRow() + 1;
    m_toolbar->insertItem(row, makeItem(identifierOf(chosen)));
    m_toolbar->setCurrentRow(row);
    fillAvailable();
}

void CustomizeToolbarDialog::removeSelected()
{
    delete m_toolbar->takeItem(m_toolbar->currentRow());
    fillAvailable();
}

void CustomizeToolbarDialog::moveSelected(int places)
{
    const int row = m_toolbar->currentRow();
    const int target = row + places;
    if (row < 0 || target < 0 || target >= m_toolbar->count())
        return;
    m_toolbar->insertItem(target, m_toolbar->takeItem(row));
    m_toolbar->setCurrentRow(target);
}

void CustomizeToolbarDialog::updateButtons()
{
    const int row = m_toolbar->currentRow();
    m_add->setEnabled(m_available->currentItem() != nullptr);
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_toolbar->count());
}

} // namespace velumark::gui
