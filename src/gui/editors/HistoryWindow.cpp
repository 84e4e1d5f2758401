#include "gui/editors/HistoryWindow.h"

#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "gui/editors/OpenSheets.h"
#include "gui/editors/SubmissionSheet.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/window/CustomizeToolbarDialog.h"
#include "gui/window/ListPane.h"
#include "gui/window/ToolbarArrangement.h"
#include "gui/window/ToolbarController.h"
#include "store/Localization.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace velumark::gui {

HistoryWindow *HistoryWindow::open(QWidget *parent, VelumarkDatabase &document, Artwork *artwork,
                                   Client *client)
{
    Record *record = artwork ? static_cast<Record *>(artwork) : client;
    if (!record)
        return nullptr;
    OpenSheets &open = OpenSheets::of(document);
    if (auto *shown = qobject_cast<HistoryWindow *>(open.windowFor(record, OpenSheets::Use::History))) {
        open.bringForward(record, OpenSheets::Use::History);
        return shown;
    }
    HistoryWindow *window = nullptr;
    runCommand(parent,
               [&] { window = new HistoryWindow(parent, document, artwork, artwork ? nullptr : client); });
    if (window) {
        open.add(record, window, OpenSheets::Use::History);
        window->show();
    }
    return window;
}

HistoryWindow::HistoryWindow(QWidget *parent, VelumarkDatabase &document, Artwork *artwork, Client *client)
    : QDialog(parent), m_document(document), m_artwork(artwork), m_client(client),
      m_list(new SubmissionListController(document, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(localized("Submission History"));
    m_list->setHistory(artwork, client);
    m_pane = new ListPane(document, *m_list, this);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(localized("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildToolbar());
    layout->addWidget(m_pane, 1);
    layout->addWidget(buttons);

    connect(m_pane, &ListPane::recordActivated, this, &HistoryWindow::openSubmission);
    connect(m_pane, &ListPane::selectionChanged, this, &HistoryWindow::updateActions);
    for (const auto news : {&DocumentNotifier::operationStarted, &DocumentNotifier::operationEnded})
        connect(document.notifier(), news, this, &HistoryWindow::updateActions);
    // The list empties itself when its record goes; the window has nothing left to show.
    connect(document.notifier(), &DocumentNotifier::recordAboutToBeRemoved, this,
            [this](DocumentNotifier::Kind, Record *record) {
                if (record == m_artwork || record == m_client)
                    close();
            });
    connect(document.notifier(), &DocumentNotifier::listsAboutToBeReloaded, this, &QWidget::close);
    m_keptSize.restore(*this, QSize(600, 440));
    updateActions();
}

HistoryWindow::~HistoryWindow()
{
    m_keptSize.remember(*this);
}

QToolBar *HistoryWindow::buildToolbar()
{
    auto *toolbar = new QToolBar(localized("History"), this);
    toolbar->setObjectName(QStringLiteral("History"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(toolbar, &QWidget::customContextMenuRequested, this, [this, toolbar](const QPoint &at) {
        QMenu menu;
        connect(menu.addAction(localized("Customize Toolbar...")), &QAction::triggered, this,
                &HistoryWindow::customizeToolbar);
        menu.exec(toolbar->mapToGlobal(at));
    });
    m_toolbarController =
        new ToolbarController(*toolbar, ToolbarArrangement::historyToolbar(), nullptr, this);
    connect(addAction(), &QAction::triggered, this, &HistoryWindow::handleAddButton);
    connect(deleteAction(), &QAction::triggered, this, &HistoryWindow::handleDeleteButton);
    return toolbar;
}

QAction *HistoryWindow::addAction() const
{
    return m_toolbarController->itemAction(QStringLiteral("AddItem"));
}

QAction *HistoryWindow::deleteAction() const
{
    return m_toolbarController->itemAction(QStringLiteral("DeleteItem"));
}

void HistoryWindow::updateActions()
{
    const bool editable = m_document.checkEditable().ok();
    addAction()->setEnabled(editable);
    deleteAction()->setEnabled(editable && !m_pane->selectedRecords().isEmpty());
}

void HistoryWindow::handleAddButton()
{
    const auto origin =
        m_artwork ? SubmissionSheet::Origin::ArtworkHistory : SubmissionSheet::Origin::ClientHistory;
    SubmissionSheet::create(this, m_document, origin, m_artwork, m_client);
}

void HistoryWindow::handleDeleteButton()
{
    m_pane->handleDeleteButton();
}

void HistoryWindow::customizeToolbar()
{
    CustomizeToolbarDialog::present(ToolbarArrangement::historyToolbar(), this);
}

void HistoryWindow::openSubmission(Record *record)
{
    const auto origin =
        m_artwork ? SubmissionSheet::Origin::ArtworkHistory : SubmissionSheet::Origin::ClientHistory;
    SubmissionSheet::edit(this, m_document, *static_cast<Submission *>(record), origin);
}

} // namespace velumark::gui
