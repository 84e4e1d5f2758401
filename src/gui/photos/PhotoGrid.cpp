#include "gui/photos/PhotoGrid.h"

#include "editing/ArtworkPhotos.h"
#include "gui/photos/DroppedPictures.h"
#include "gui/photos/PhotoImportSession.h"
#include "gui/photos/PhotoListModel.h"
#include "gui/photos/PhotoViewer.h"
#include "gui/shell/Icons.h"
#include "gui/shell/UserInteraction.h"
#include "store/Image.h"
#include "store/PhotoRendition.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

constexpr int kSmallestThumbnail = 48;
constexpr int kLargestThumbnail = PhotoRendition::kThumbnailSide;
constexpr int kSpacing = 10;
const char *const kFolderKey = "photoFolder";

} // namespace

PhotoGrid::PhotoGrid(editing::ArtworkPhotos &photos, QWidget *parent)
    : QWidget(parent), m_photos(photos), m_model(new PhotoListModel(photos, this)),
      m_view(new QListView(this)), m_zoom(new QSlider(Qt::Horizontal, this)),
      m_delete(new QPushButton(tr("Delete"), this)), m_import(new PhotoImportSession(photos, *this, this))
{
    m_view->setModel(m_model);
    m_view->setViewMode(QListView::IconMode);
    m_view->setResizeMode(QListView::Adjust);
    m_view->setUniformItemSizes(true);
    m_view->setSpacing(kSpacing);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Static keeps the order the model gives; a free layout would only move the pictures on screen.
    m_view->setMovement(QListView::Static);
    m_view->setDragEnabled(true);
    m_view->viewport()->setAcceptDrops(true);
    m_view->setDropIndicatorShown(true);
    m_view->setDragDropMode(QAbstractItemView::DragDrop);
    m_view->setDefaultDropAction(Qt::CopyAction);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->installEventFilter(this);

    auto *add = new QPushButton(Icons::themed(QStringLiteral("insert-image"), QStringLiteral("photo-add")),
                                tr("Add Photos..."), this);
    m_delete->setIcon(Icons::themed(QStringLiteral("edit-delete"), QStringLiteral("edit-delete")));
    m_delete->setEnabled(false);
    m_zoom->setRange(0, 100);
    m_zoom->setMaximumWidth(180);
    m_zoom->setToolTip(tr("Thumbnail size"));
    auto *bar = new QHBoxLayout;
    bar->addWidget(add);
    bar->addWidget(m_delete);
    bar->addStretch();
    bar->addWidget(new QLabel(tr("Zoom"), this));
    bar->addWidget(m_zoom);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addLayout(bar);

    connect(add, &QPushButton::clicked, this, &PhotoGrid::addPhotos);
    connect(m_delete, &QPushButton::clicked, this, &PhotoGrid::deleteSelected);
    connect(m_zoom, &QSlider::valueChanged, this, &PhotoGrid::zoomTo);
    connect(m_view, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { openViewer(m_model->imageAt(index)); });
    connect(m_view, &QListView::customContextMenuRequested, this, &PhotoGrid::showContextMenu);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_delete->setEnabled(m_view->selectionModel()->hasSelection()); });
    connect(m_model, &PhotoListModel::picturesDropped, this,
            [this](const QMimeData *dropped) { importDropped(*dropped); });
    connect(m_import, &PhotoImportSession::importingChanged, this, &PhotoGrid::importingChanged);
    m_zoom->setValue(kDefaultZoom);
    zoomTo(kDefaultZoom);
}

PhotoGrid::~PhotoGrid() = default;

PhotoViewer *PhotoGrid::viewer() const
{
    return m_viewer;
}

bool PhotoGrid::isImporting() const
{
    return m_import->isImporting();
}

void PhotoGrid::zoomTo(int percent)
{
    const int side = kSmallestThumbnail + (kLargestThumbnail - kSmallestThumbnail) * percent / 100;
    m_view->setIconSize(QSize(side, side));
    m_view->setGridSize(QSize(side + 2 * kSpacing, side + 2 * kSpacing));
}

void PhotoGrid::addPhotos()
{
    QSettings settings;
    UserInteraction::PathChoice choice;
    choice.title = tr("Add Photos");
    choice.folder = settings
                        .value(QString::fromLatin1(kFolderKey),
                               QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
                        .toString();
    choice.filters = DroppedPictures::nameFilters();
    const QStringList files = UserInteraction::instance().choosePathsToOpen(window(), choice);
    if (files.isEmpty())
        return;
    settings.setValue(QString::fromLatin1(kFolderKey), QFileInfo(files.first()).absolutePath());
    importFiles(files);
}

void PhotoGrid::importFiles(const QStringList &files, const QStringList &leftOut)
{
    m_import->importFiles(files, leftOut);
}

void PhotoGrid::importDropped(const QMimeData &mime)
{
    m_import->importDropped(mime);
}

void PhotoGrid::paste()
{
    if (const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData())
        importDropped(*clipboard);
}

std::vector<Image *> PhotoGrid::selectedImages() const
{
    QModelIndexList rows = m_view->selectionModel()->selectedIndexes();
    std::sort(rows.begin(), rows.end());
    std::vector<Image *> images;
    for (const QModelIndex &index : rows)
        images.push_back(m_model->imageAt(index));
    return images;
}

void PhotoGrid::deleteSelected()
{
    m_photos.remove(selectedImages());
}

void PhotoGrid::useAsFirstPhoto()
{
    const std::vector<Image *> selected = selectedImages();
    if (!selected.empty())
        m_photos.moveToFront(selected.front());
}

void PhotoGrid::openViewer(Image *image)
{
    if (!image || m_viewer)
        return;
    m_viewer = new PhotoViewer(m_photos, image, m_title ? m_title() : QString(), window());
    if (!m_viewer->current() || m_viewer->current()->photo().isNull()) {
        // A photo without a picture is not shown.
        delete m_viewer;
        return;
    }
    connect(m_viewer, &QDialog::finished, this, &PhotoGrid::captionsChanged);
    m_viewer->open();
}

void PhotoGrid::showContextMenu(const QPoint &position)
{
    const QModelIndex index = m_view->indexAt(position);
    QMenu menu(this);
    if (index.isValid()) {
        if (!m_view->selectionModel()->isSelected(index))
            m_view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        menu.addAction(tr("Use as First Photo"), this, &PhotoGrid::useAsFirstPhoto)
            ->setEnabled(index.row() > 0);
        menu.addAction(tr("Delete"), this, &PhotoGrid::deleteSelected);
        menu.addSeparator();
    }
    menu.addAction(tr("Paste"), this, &PhotoGrid::paste)
        ->setEnabled(QGuiApplication::clipboard()->mimeData() &&
                     (QGuiApplication::clipboard()->mimeData()->hasImage() ||
                      QGuiApplication::clipboard()->mimeData()->hasUrls()));
    menu.exec(m_view->viewport()->mapToGlobal(position));
}

bool PhotoGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::ShortcutOverride) {
        // The window's own Delete and Paste must not take these keys from the grid.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Delete) || key->key() == Qt::Key_Backspace ||
            key->matches(QKeySequence::Paste)) {
            key->accept();
            return true;
        }
    }
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            openViewer(m_model->imageAt(m_view->currentIndex()));
            return true;
        }
        if (key->matches(QKeySequence::Delete) || key->key() == Qt::Key_Backspace) {
            deleteSelected();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            paste();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velumark::gui
