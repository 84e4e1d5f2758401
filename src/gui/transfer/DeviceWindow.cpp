#include "gui/transfer/DeviceWindow.h"

#include "gui/shell/UserInteraction.h"
#include "gui/transfer/ProgressWindow.h"
#include "gui/transfer/SectionHeading.h"
#include "interchange/device/DeviceBrowser.h"
#include "interchange/device/TransferAlert.h"
#include "store/Localization.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

const char *const kImportChoiceTexts[] = {
    QT_TRANSLATE_NOOP("Velumark", "Restore Complete Database"),
    QT_TRANSLATE_NOOP("Velumark", "Import Artworks and Clients"),
    QT_TRANSLATE_NOOP("Velumark", "Import Artworks"),
    QT_TRANSLATE_NOOP("Velumark", "Import Clients"),
};

void showTransferAlert(QWidget *parent, const TransferAlert &alert, const QString &detail, bool succeeded)
{
    UserInteraction::instance().showAlert(
        parent, {alert.title, alert.text, detail,
                 succeeded ? UserInteraction::Severity::Information : UserInteraction::Severity::Warning});
}

} // namespace

DeviceWindow::DeviceWindow(DeviceBrowser &browser, bool import, QWidget *parent)
    : QDialog(parent), m_browser(browser), m_browserAlive(&browser), m_import(import),
      m_deviceTable(new QListWidget(this)), m_messages(new QLabel(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(import ? localized("Import Database") : localized("Export Database"));
    buildInterface();
    connect(&m_browser.logic(), &DeviceBrowserLogic::displayChanged, this, &DeviceWindow::refreshDisplay);
}

DeviceWindow::~DeviceWindow()
{
    if (m_browserAlive && !m_browser.isTransferring())
        m_browser.logic().endBrowsing();
}

void DeviceWindow::buildInterface()
{
    m_deviceTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_deviceTable->setMinimumSize(420, 140);
    connect(m_deviceTable, &QListWidget::currentRowChanged, this,
            [this](int row) { m_browser.logic().setSelectedRow(row); });
    m_messages->setWordWrap(true);
    m_messages->setMinimumHeight(48);
    m_messages->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_messages->setFrameShape(QFrame::StyledPanel);
    m_messages->setMargin(6);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sectionHeading(localized("Devices"), this));
    layout->addWidget(m_deviceTable, 1);
    layout->addWidget(sectionHeading(localized("Messages"), this));
    layout->addWidget(m_messages);
    if (m_import) {
        layout->addWidget(sectionHeading(localized("Import Options"), this));
        m_importOptions = new QButtonGroup(this);
        for (int choice = int(TransferScope::Complete); choice <= int(TransferScope::Clients); ++choice) {
            auto *radio = new QRadioButton(localized(kImportChoiceTexts[choice]), this);
            m_importOptions->addButton(radio, choice);
            layout->addWidget(radio);
        }
        m_importOptions->button(int(m_browser.logic().importSelection()))->setChecked(true);
        // The buttons carry the scopes' codes.
        connect(m_importOptions, &QButtonGroup::idClicked, this, [this](int choice) {
            if (const std::optional<TransferScope> scope = transferScopeFromCode(choice))
                m_browser.logic().setImportSelection(*scope);
        });
    }
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel)->setText(localized("Cancel"));
    m_actionButton = buttons->addButton(m_import ? localized("Import") : localized("Export"),
                                        QDialogButtonBox::AcceptRole);
    m_actionButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_actionButton, &QPushButton::clicked, this, &DeviceWindow::actionButtonPressed);
    layout->addWidget(buttons);
}

void DeviceWindow::present()
{
    m_browser.logic().presentDeviceBrowser(m_import ? 0 : 1);
    refreshDisplay();
    open();
}

QString DeviceWindow::messageShown() const
{
    return m_messages->text();
}

void DeviceWindow::refreshDisplay()
{
    const DeviceBrowserLogic &logic = m_browser.logic();
    if (logic.isImport() != m_import)
        return;
    const QSignalBlocker quiet(m_deviceTable);
    m_deviceTable->clear();
    for (int row = 0; row < logic.numberOfRows(); ++row)
        m_deviceTable->addItem(logic.rowText(row));
    m_deviceTable->setCurrentRow(logic.selectedRow());
    // Without a discovery service nothing will ever appear: say so instead of waiting.
    const bool searchFails = !logic.discoveryProblem().isEmpty() && logic.numberOfRows() == 0;
    m_messages->setText(searchFails ? logic.discoveryProblem() : logic.message());
    m_actionButton->setEnabled(logic.isActionEnabled());
}

void DeviceWindow::actionButtonPressed()
{
    const bool started = m_import ? m_browser.downloadDatabase() : m_browser.uploadDatabase();
    if (!started)
        return;
    followTransfer();
    accept();
}

void DeviceWindow::followTransfer()
{
    QWidget *owner = parentWidget();
    ProgressWindow::Texts texts;
    texts.title = m_browser.progress().title();
    auto *progress = new ProgressWindow(owner, texts);
    QPointer<QWidget> alertParent(owner);
    DeviceBrowser &browser = m_browser;
    // Each transfer's news reaches only its own progress window.
    auto *news = new QObject(progress);
    connect(&browser, &DeviceBrowser::progressChanged, news,
            [progress](double value) { progress->progressUpdate(value); });
    connect(&browser, &DeviceBrowser::transferCancelled, news, [progress] { progress->end(); });
    connect(&browser, &DeviceBrowser::transferFinished, news,
            [progress, alertParent](bool succeeded, const TransferAlert &alert, const QString &detail) {
                progress->end();
                if (succeeded) {
                    showTransferAlert(alertParent, alert, detail, true);
                    return;
                }
                QTimer::singleShot(
                    kFailureAlertDelayMs, QCoreApplication::instance(),
                    [alertParent, alert, detail] { showTransferAlert(alertParent, alert, detail, false); });
            });
    progress->follow([browser = QPointer<DeviceBrowser>(&browser)] {
        if (browser)
            browser->cancel();
    });
}

} // namespace velumark::gui
