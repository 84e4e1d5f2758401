#include "gui/window/StatisticsViewController.h"

#include "document/CatalogueStatistics.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/CommandBoundary.h"
#include "store/Localization.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {
constexpr int kGroupSpacing = 10;
constexpr int kColumnSpacing = 32;
constexpr int kFigureWidth = 80;
} // namespace

StatisticsViewController::StatisticsViewController(VelumarkDatabase &database, QWidget *parent)
    : QDialog(parent), m_database(database), m_heading(new QLabel(this))
{
    setWindowTitle(localized("Statistics"));
    auto *layout = new QVBoxLayout(this);
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    layout->addWidget(m_heading);
    layout->addSpacing(kGroupSpacing);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(kColumnSpacing);
    int gridRow = 0;
    for (const CatalogueStatistics::Line &line : CatalogueStatistics().lines()) {
        if (line.startsGroup)
            grid->setRowMinimumHeight(gridRow++, kGroupSpacing);
        auto *label = new QLabel(line.label, this);
        auto *figure = new QLabel(this);
        figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figure->setMinimumWidth(kFigureWidth);
        figure->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setBuddy(figure);
        grid->addWidget(label, gridRow, 0);
        grid->addWidget(figure, gridRow, 1);
        m_rows.emplace_back(label, figure);
        ++gridRow;
    }
    layout->addLayout(grid);
    layout->addStretch();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const DocumentNotifier *notifier = database.notifier();
    for (auto signal :
         {&DocumentNotifier::recordAdded, &DocumentNotifier::recordRemoved, &DocumentNotifier::recordChanged})
        connect(notifier, signal, this, &StatisticsViewController::scheduleRefresh);
    connect(notifier, &DocumentNotifier::listsReloaded, this, &StatisticsViewController::scheduleRefresh);
    connect(notifier, &DocumentNotifier::overdueCountChanged, this,
            &StatisticsViewController::scheduleRefresh);
    refreshData();
}

void StatisticsViewController::presentStatistics()
{
    refreshData();
    show();
    raise();
    activateWindow();
}

void StatisticsViewController::refreshData()
{
    m_refreshScheduled = false;
    // The catalogue's name follows a Save As.
    m_heading->setText(QFileInfo(m_database.packageFilename()).completeBaseName());
    const auto lines = CatalogueStatistics::of(m_database).lines();
    for (size_t i = 0; i < m_rows.size() && i < lines.size(); ++i) {
        m_rows[i].first->setText(lines[i].label);
        m_rows[i].second->setText(lines[i].figure);
    }
}

std::vector<std::pair<QString, QString>> StatisticsViewController::shownFigures() const
{
    std::vector<std::pair<QString, QString>> shown;
    for (const auto &[label, figure] : m_rows)
        shown.emplace_back(label->text(), figure->text());
    return shown;
}

void StatisticsViewController::scheduleRefresh()
{
    // A cascade announces every record it takes: the figures are counted once, after it.
    if (m_refreshScheduled || !isVisible())
        return;
    m_refreshScheduled = true;
    QTimer::singleShot(0, this, [this] { runCommand(this, [this] { refreshData(); }); });
}

} // namespace velumark::gui
