#include "gui/transfer/ReportBrowser.h"

#include "gui/shell/UserInteraction.h"
#include "gui/transfer/ProgressWindow.h"
#include "gui/transfer/TransferFolders.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/report/ReportExport.h"
#include "store/Localization.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

const char *const kSizeTexts[] = {
    QT_TRANSLATE_NOOP("Velumark", "Small photos"),
    QT_TRANSLATE_NOOP("Velumark", "Medium photos"),
    QT_TRANSLATE_NOOP("Velumark", "Large photos"),
    QT_TRANSLATE_NOOP("Velumark", "Extra-Large photos"),
};

const QString kFolderKey = QStringLiteral("report");

} // namespace

ReportBrowser::ReportBrowser(InterchangeHandOver &handOver, QWidget *parent)
    : QDialog(parent), m_handOver(handOver), m_pathTextField(new QLineEdit(this)),
      m_filenameTextField(new QLineEdit(this)), m_sizes(new QButtonGroup(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(localized("Export to HTML Report"));

    m_pathTextField->setReadOnly(true);
    m_pathTextField->setMinimumWidth(360);
    auto *browseButton = new QPushButton(localized("Browse"), this);
    connect(browseButton, &QPushButton::clicked, this, &ReportBrowser::browseButtonPressed);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_pathTextField, 1);
    folderRow->addWidget(browseButton);
    m_filenameTextField->setPlaceholderText(QString::fromLatin1(ReportExport::kDefaultFileName));

    auto *sizeColumn = new QVBoxLayout;
    for (int code = 1; code <= 4; ++code) {
        auto *radio = new QRadioButton(localized(kSizeTexts[code - 1]), this);
        m_sizes->addButton(radio, code);
        sizeColumn->addWidget(radio);
    }
    m_sizes->button(1)->setChecked(true);

    auto *form = new QFormLayout;
    form->addRow(localized("Report Folder"), folderRow);
    form->addRow(localized("Report File"), m_filenameTextField);
    form->addRow(localized("Export Options"), sizeColumn);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel)->setText(localized("Cancel"));
    m_exportButton = buttons->addButton(localized("Export"), QDialogButtonBox::AcceptRole);
    m_exportButton->setDefault(true);
    m_exportButton->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_exportButton, &QPushButton::clicked, this, &ReportBrowser::exportButtonPressed);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ReportBrowser::present()
{
    open();
}

PictureSize ReportBrowser::typeSelection() const
{
    // The buttons carry the sizes' codes, and one of them is always checked.
    return pictureSizeFromCode(m_sizes->checkedId()).value_or(PictureSize::Small);
}

void ReportBrowser::browseButtonPressed()
{
    UserInteraction::PathChoice choice{
        localized("Choose Folder"), TransferFolders::folder(kFolderKey), {}, {}};
    choice.foldersOnly = true;
    const QString folder = UserInteraction::instance().choosePathToOpen(this, choice);
    if (folder.isEmpty())
        return;
    m_path = QFileInfo(folder).absoluteFilePath();
    TransferFolders::remember(kFolderKey, m_path);
    m_pathTextField->setText(QDir::toNativeSeparators(m_path));
    m_exportButton->setEnabled(true);
}

void ReportBrowser::exportButtonPressed()
{
    if (m_path.isEmpty())
        return;
    QString filename = m_filenameTextField->text().trimmed();
    if (filename.isEmpty())
        filename = QString::fromLatin1(ReportExport::kDefaultFileName);
    const Result<LongOperation *> started =
        m_handOver.exportReport(m_path, filename, typeSelection(), nullptr);
    if (!started) {
        UserInteraction::instance().showAlert(this, {localized("WARNING"), started.message(), QString()});
        return;
    }
    auto *operation = qobject_cast<ReportExport *>(started.value());
    accept();
    const QUrl report = QUrl::fromLocalFile(operation->reportPath());
    auto *progress = new ProgressWindow(parentWidget(),
                                        {OperationTexts::reportExport(), localized("Open Report"), [report] {
                                             UserInteraction::instance().openAddress(report);
                                         }});
    progress->watch(operation);
}

} // namespace velumark::gui
