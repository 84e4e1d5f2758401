#include "gui/window/ListPane.h"

#include "document/DocumentNotifier.h"
#include "document/RecordList.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "gui/photos/ArtworkRowDrop.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/UserInteraction.h"
#include "gui/window/ContactCardDrop.h"
#include "gui/window/ListModel.h"
#include "gui/window/ListTableView.h"
#include "gui/window/VLHeadingView.h"
#include "gui/window/VLTableCell.h"
#include "store/Localization.h"

#include <QEvent>
#include <QHeaderView>
#include <QMainWindow>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace velumark::gui {

namespace {
constexpr int kStatusColumnWidth = 180;
constexpr int kStatusMessageMs = 10000;
const QString kColumnWidthsKey = QStringLiteral("columnWidths");
} // namespace

ListPane::ListPane(VelumarkDatabase &document, RecordList &list, QWidget *parent)
    : QWidget(parent), m_document(document), m_list(list), m_description(ListDescription::of(list))
{
    m_model = new ListModel(list, m_description, this);
    m_table = new ListTableView(*m_model, this);
    m_cell = new VLTableCell(document, m_pictures, this);
    m_table->setItemDelegate(m_cell);
    m_heading = new VLHeadingView(m_pictures, m_table->viewport());
    m_heading->hide();
    m_table->viewport()->installEventFilter(this);
    m_table->setAccessibleName(m_description.accessibleName);
    setAccessibleName(m_description.accessibleName);
    if (m_description.kind == ListDescription::Kind::Clients)
        new ContactCardDrop(document, *m_table->viewport());
    if (m_description.kind == ListDescription::Kind::Artworks)
        new ArtworkRowDrop(document, *m_table,
                           [this](int row) { return static_cast<Artwork *>(m_model->recordAt(row)); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    setFocusProxy(m_table);

    m_countLater = new QTimer(this);
    m_countLater->setSingleShot(true);
    m_countLater->setInterval(0);
    connect(m_countLater, &QTimer::timeout, this, &ListPane::announceCounts);

    setUpColumns();
    connectSignals();
    showSortIndicator();
}

ListPane::~ListPane() = default;

QTableView *ListPane::tableView() const
{
    return m_table;
}

void ListPane::setUpColumns()
{
    QHeaderView *columns = m_table->horizontalHeader();
    if (m_model->columnCount() < 2) {
        columns->setStretchLastSection(true);
        return;
    }
    // The record's column takes what the status column leaves.
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(0, QHeaderView::Stretch);
    columns->setSectionResizeMode(1, QHeaderView::Interactive);
    columns->resizeSection(1, kStatusColumnWidth);
}

void ListPane::connectSignals()
{
    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this, &ListPane::sortByColumn);
    connect(m_table, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
        if (Record *record = m_model->recordAt(index.row()))
            emit recordActivated(record);
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListPane::selectionChanged);
    connect(m_table, &ListTableView::deleteRequested, this, &ListPane::handleDeleteButton);
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this, &ListPane::updateFloatingHeading);
    connect(m_cell, &VLTableCell::pictureFailed, this, &ListPane::showPictureFailure, Qt::QueuedConnection);

    // The rows and the bands changed: the floating band and the counts follow at once, and the
    // counts once more when the document has finished (a record is still counted while its
    // removal is announced, and records the search hides change no row).
    const auto rowsChanged = [this] {
        updateFloatingHeading();
        announceCounts();
        m_countLater->start();
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, rowsChanged);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &ListPane::updateFloatingHeading);
    DocumentNotifier *notifier = m_document.notifier();
    connect(notifier, &DocumentNotifier::recordAdded, m_countLater, qOverload<>(&QTimer::start));
    connect(notifier, &DocumentNotifier::recordRemoved, m_countLater, qOverload<>(&QTimer::start));
    connect(notifier, &DocumentNotifier::listsReloaded, m_countLater, qOverload<>(&QTimer::start));
    connect(notifier, &DocumentNotifier::overdueCountChanged, this, &ListPane::overdueCountChanged);
    connect(&m_list, &RecordList::orderChanged, this, &ListPane::showSortIndicator);
    connect(&m_list, &RecordList::listRebuilt, this, &ListPane::showSortIndicator);
}

QList<Record *> ListPane::selectedRecords() const
{
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<Record *> records;
    records.reserve(rows.size());
    for (const QModelIndex &row : std::as_const(rows)) {
        if (Record *record = m_model->recordAt(row.row()))
            records << record;
    }
    return records;
}

void ListPane::handleDeleteButton()
{
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    // Followed through the question and every removal: a row that went meanwhile (a cascade, a
    // reload) is left alone.
    const QList<QPersistentModelIndex> chosen(rows.begin(), rows.end());
    UserInteraction::Question question;
    question.title = localized("WARNING");
    question.text = chosen.size() == 1 ? m_description.deleteOne : m_description.deleteSeveral;
    question.buttons = {{localized("Cancel"), UserInteraction::ButtonRole::Reject},
                        {localized("Delete"), UserInteraction::ButtonRole::Destructive}};
    question.defaultButton = 0;
    constexpr int kDelete = 1;
    if (UserInteraction::instance().ask(this, question) != kDelete)
        return;
    m_table->clearSelection();
    runCommand(this, [&] {
        for (const QPersistentModelIndex &row : chosen) {
            if (Record *record = row.isValid() ? m_model->recordAt(row.row()) : nullptr)
                m_description.remove(m_document, record);
        }
    });
}

void ListPane::sortByColumn(int column)
{
    runCommand(this, [&] { m_list.sortByColumn(column); });
    showSortIndicator();
    m_table->scrollToTop();
}

void ListPane::showSortIndicator()
{
    m_table->horizontalHeader()->setSortIndicator(
        m_list.sortColumn(), m_list.isSortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void ListPane::updateFloatingHeading()
{
    const int band = static_cast<int>(std::lround(kSectionBandHeight));
    const int rows = m_model->rowCount();
    // Without sections, or at the top where the first row shows its own band, nothing floats.
    const int top = m_table->rowAt(0);
    if (rows == 0 || !m_model->isSectionStart(0) || m_table->verticalScrollBar()->value() <= 0 || top < 0) {
        m_heading->hide();
        return;
    }
    int y = 0;
    if (top + 1 < rows && m_model->isSectionStart(top + 1))
        y = std::min(0, m_table->rowViewportPosition(top + 1) - band);
    m_heading->setHeaderString(m_model->sectionTitleOf(top));
    m_heading->setGeometry(0, y, m_table->viewport()->width(), band);
    m_heading->show();
    m_heading->raise();
}

int ListPane::shownCount() const
{
    return static_cast<int>(m_list.rowCount());
}

int ListPane::totalCount() const
{
    return static_cast<int>(m_description.totalCount(m_document, m_list));
}

quint64 ListPane::overdueCount() const
{
    return m_document.submissionListController()->overdueSubs();
}

void ListPane::announceCounts()
{
    emit rowCountsChanged(shownCount(), totalCount());
}

void ListPane::showPictureFailure(const QString &reason)
{
    if (reason == m_pictureFailure)
        return;
    m_pictureFailure = reason;
    auto *frame = qobject_cast<QMainWindow *>(window());
    if (QStatusBar *status =
            frame ? frame->findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly) : nullptr)
        status->showMessage(localized("A photo could not be shown: %1").arg(reason), kStatusMessageMs);
}

void ListPane::saveState(QSettings &settings) const
{
    QVariantList widths;
    for (int column = 0; column < m_model->columnCount(); ++column)
        widths << m_table->horizontalHeader()->sectionSize(column);
    settings.setValue(kColumnWidthsKey, widths);
}

void ListPane::restoreState(QSettings &settings)
{
    const QVariantList widths = settings.value(kColumnWidthsKey).toList();
    QHeaderView *columns = m_table->horizontalHeader();
    for (int column = 0; column < std::min<int>(widths.size(), m_model->columnCount()); ++column) {
        const int width = widths.at(column).toInt();
        if (columns->sectionResizeMode(column) == QHeaderView::Interactive && width > 0)
            columns->resizeSection(column, width);
    }
}

bool ListPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        updateFloatingHeading();
    return QWidget::eventFilter(watched, event);
}

} // namespace velumark::gui
