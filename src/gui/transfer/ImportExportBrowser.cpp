#include "gui/transfer/ImportExportBrowser.h"

#include "document/DocumentRegistry.h"
#include "document/PackageDestination.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/UserInteraction.h"
#include "gui/transfer/ProgressWindow.h"
#include "gui/transfer/SectionHeading.h"
#include "gui/transfer/TransferFolders.h"
#include "interchange/DatabaseExport.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/InterchangeHeader.h"
#include "interchange/LongOperation.h"
#include "interchange/csv/CsvTemplateFile.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

struct Variant
{
    const char *title;
    const char *fileHeading;
    const char *optionsHeading;
    const char *suffix;
    const char *filter;
    const char *action;
};

const Variant kVariants[] = {
    {QT_TRANSLATE_NOOP("Velumark", "Import From VDBI"), QT_TRANSLATE_NOOP("Velumark", "VDBI File"),
     QT_TRANSLATE_NOOP("Velumark", "Import Options"), "vdbi",
     QT_TRANSLATE_NOOP("Velumark", "Velumark Interchange Files (*.vdbi *.VDBI)"),
     QT_TRANSLATE_NOOP("Velumark", "Import")},
    {QT_TRANSLATE_NOOP("Velumark", "Import From Velumark Database"),
     QT_TRANSLATE_NOOP("Velumark", "Database File"), QT_TRANSLATE_NOOP("Velumark", "Import Options"), "vdb",
     QT_TRANSLATE_NOOP("Velumark", "Velumark Catalogues (*.vdb)"), QT_TRANSLATE_NOOP("Velumark", "Import")},
    {QT_TRANSLATE_NOOP("Velumark", "Import From CSV"), QT_TRANSLATE_NOOP("Velumark", "CSV File"),
     QT_TRANSLATE_NOOP("Velumark", "Import Options"), "csv",
     QT_TRANSLATE_NOOP("Velumark", "CSV Files (*.csv *.CSV)"), QT_TRANSLATE_NOOP("Velumark", "Import")},
    {QT_TRANSLATE_NOOP("Velumark", "Export To VDBI"), QT_TRANSLATE_NOOP("Velumark", "VDBI File"),
     QT_TRANSLATE_NOOP("Velumark", "Export Options"), "vdbi",
     QT_TRANSLATE_NOOP("Velumark", "Velumark Interchange Files (*.vdbi *.VDBI)"),
     QT_TRANSLATE_NOOP("Velumark", "Export")},
    {QT_TRANSLATE_NOOP("Velumark", "Export To Velumark Database"),
     QT_TRANSLATE_NOOP("Velumark", "Database File"), QT_TRANSLATE_NOOP("Velumark", "Export Options"), "vdb",
     QT_TRANSLATE_NOOP("Velumark", "Velumark Catalogues (*.vdb)"), QT_TRANSLATE_NOOP("Velumark", "Export")},
    {QT_TRANSLATE_NOOP("Velumark", "Export To CSV"), QT_TRANSLATE_NOOP("Velumark", "CSV File"),
     QT_TRANSLATE_NOOP("Velumark", "Export Options"), "csv",
     QT_TRANSLATE_NOOP("Velumark", "CSV Files (*.csv *.CSV)"), QT_TRANSLATE_NOOP("Velumark", "Export")},
};

const char *const kScopeTexts[] = {
    QT_TRANSLATE_NOOP("Velumark", "Complete Database"),
    QT_TRANSLATE_NOOP("Velumark", "Artwork and Clients"),
    QT_TRANSLATE_NOOP("Velumark", "Artwork"),
    QT_TRANSLATE_NOOP("Velumark", "Clients"),
};

ProgressWindow::Texts progressTexts(bool import, const QString &path)
{
    if (import)
        return {OperationTexts::databaseImport(), {}, {}};
    return {OperationTexts::databaseExport(), localized("Show in Folder"),
            [folder = QFileInfo(path).absolutePath()] {
                UserInteraction::instance().openAddress(QUrl::fromLocalFile(folder));
            }};
}

// What an interchange file holds, from its header, before it is imported.
QString describeInterchangeFile(const QString &path)
{
    const Result<InterchangeHeader> header = readInterchangeHeader(path);
    if (!header)
        return localized("This file cannot be read: %1").arg(header.message());
    QString text = localized("%1 artworks, %2 clients, %3 submissions and %4 photos")
                       .arg(header->artworks)
                       .arg(header->clients)
                       .arg(header->submissions)
                       .arg(header->images);
    if (header->exportDate.isValid())
        text += QLatin1Char(' ') + localized("exported from Velumark %1 on %2")
                                       .arg(QString::number(header->appVersion, 'f', 1),
                                            mediumDateString(header->exportDate.toLocalTime()));
    return text + QLatin1Char('.');
}

// The chosen name gains the file type when the user left it out.
QString withSuffix(const QString &path, const QString &suffix)
{
    if (path.isEmpty() || QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0)
        return path;
    return path + QLatin1Char('.') + suffix;
}

} // namespace

ImportExportBrowser::ImportExportBrowser(DatabaseType type, InterchangeHandOver &handOver,
                                         const QString &csvTemplateAddress, QWidget *parent)
    : QDialog(parent), m_type(type), m_handOver(handOver)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    buildInterface(csvTemplateAddress);
}

void ImportExportBrowser::buildInterface(const QString &csvTemplateAddress)
{
    const Variant &variant = kVariants[m_type];
    setWindowTitle(localized(variant.title));

    m_filenameTextField = new QLineEdit(this);
    m_filenameTextField->setReadOnly(true);
    m_filenameTextField->setMinimumWidth(380);
    auto *browseButton = new QPushButton(localized("Browse"), this);
    connect(browseButton, &QPushButton::clicked, this, &ImportExportBrowser::browseButtonPressed);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_filenameTextField, 1);
    fileRow->addWidget(browseButton);
    m_fileSummary = new QLabel(this);
    m_fileSummary->setWordWrap(true);
    m_fileSummary->setVisible(false);

    m_scopes = new QButtonGroup(this);
    auto *scopeColumn = new QVBoxLayout;
    for (int scope = int(TransferScope::Complete); scope <= int(TransferScope::Clients); ++scope) {
        auto *radio = new QRadioButton(localized(kScopeTexts[scope]), this);
        m_scopes->addButton(radio, scope);
        scopeColumn->addWidget(radio);
    }
    m_scopes->button(int(TransferScope::Complete))->setChecked(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sectionHeading(localized(variant.fileHeading), this));
    layout->addLayout(fileRow);
    layout->addWidget(m_fileSummary);
    layout->addSpacing(8);
    layout->addWidget(sectionHeading(localized(variant.optionsHeading), this));
    layout->addLayout(scopeColumn);

    if (m_type == ImportVdbi || m_type == ImportDatabase) {
        m_restore = new QCheckBox(localized("Replace every record of this catalogue (restore)"), this);
        connect(m_scopes, &QButtonGroup::idToggled, this, [this] {
            m_restore->setEnabled(typeSelection() == TransferScope::Complete);
            if (!m_restore->isEnabled())
                m_restore->setChecked(false);
        });
        layout->addWidget(m_restore);
    }
    if (m_type == ImportCsv) {
        layout->addSpacing(8);
        layout->addLayout(csvTemplateRow(csvTemplateAddress));
    }

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel)->setText(localized("Cancel"));
    m_importExportButton = buttons->addButton(localized(variant.action), QDialogButtonBox::AcceptRole);
    m_importExportButton->setDefault(true);
    m_importExportButton->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_importExportButton, &QPushButton::clicked, this,
            &ImportExportBrowser::importExportButtonPressed);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// The note on the CSV format, a link when the build names the template's address, beside the
// button that writes the template.
QHBoxLayout *ImportExportBrowser::csvTemplateRow(const QString &csvTemplateAddress)
{
    const QString note =
        localized("Note: The CSV file must be formatted according to the Velumark CSV Template");
    auto *csvTemplateTextField = new QLabel(this);
    csvTemplateTextField->setWordWrap(true);
    if (csvTemplateAddress.isEmpty()) {
        csvTemplateTextField->setText(note);
    } else {
        csvTemplateTextField->setTextFormat(Qt::RichText);
        csvTemplateTextField->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                                          .arg(csvTemplateAddress.toHtmlEscaped(), note.toHtmlEscaped()));
        csvTemplateTextField->setTextInteractionFlags(Qt::TextBrowserInteraction);
        connect(csvTemplateTextField, &QLabel::linkActivated, this,
                [](const QString &link) { UserInteraction::instance().openAddress(QUrl(link)); });
    }
    // Without a connection the page cannot be read: the application writes the template itself.
    auto *saveTemplate = new QPushButton(localized("Save a CSV Template…"), this);
    saveTemplate->setAutoDefault(false);
    connect(saveTemplate, &QPushButton::clicked, this, &ImportExportBrowser::saveCsvTemplate);
    auto *templateRow = new QHBoxLayout;
    templateRow->addWidget(csvTemplateTextField, 1);
    templateRow->addWidget(saveTemplate, 0, Qt::AlignTop);
    return templateRow;
}

void ImportExportBrowser::present(const QString &path)
{
    if (!path.isEmpty())
        choose(QFileInfo(path).absoluteFilePath());
    open();
}

QString ImportExportBrowser::fileSummary() const
{
    return m_fileSummary->text();
}

TransferScope ImportExportBrowser::typeSelection() const
{
    // The buttons carry the scopes' codes, and one of them is always checked.
    return transferScopeFromCode(m_scopes->checkedId()).value_or(TransferScope::Complete);
}

QString ImportExportBrowser::settingsKey() const
{
    return QStringLiteral("importExport%1").arg(int(m_type));
}

void ImportExportBrowser::browseButtonPressed()
{
    const Variant &variant = kVariants[m_type];
    const QString suffix = QString::fromLatin1(variant.suffix);
    UserInteraction::PathChoice choice{localized(variant.title),
                                       TransferFolders::folder(settingsKey()),
                                       {},
                                       {localized(variant.filter)},
                                       suffix == QLatin1String("vdb")};
    UserInteraction &user = UserInteraction::instance();
    QString path;
    if (isImport()) {
        path = user.choosePathToOpen(this, choice);
    } else {
        const VelumarkDatabase *main = DocumentRegistry::shared().getMainDocument();
        const QString name =
            main ? QFileInfo(main->packageFilename()).completeBaseName() : QStringLiteral("velumark");
        choice.proposedName = name + QLatin1Char('.') + suffix;
        path = withSuffix(user.choosePathToSave(this, choice), suffix);
    }
    if (path.isEmpty())
        return;
    path = QFileInfo(path).absoluteFilePath();
    TransferFolders::remember(settingsKey(), QFileInfo(path).absolutePath());
    choose(path);
}

void ImportExportBrowser::choose(const QString &path)
{
    if (const Result<> allowed = InterchangeHandOver::checkTransferPath(path, isImport()); !allowed) {
        UserInteraction::instance().showAlert(this, {localized("WARNING"), allowed.message(), QString()});
        return;
    }
    m_path = path;
    m_filenameTextField->setText(QDir::toNativeSeparators(path));
    if (m_type == ImportVdbi) {
        m_fileSummary->setText(describeInterchangeFile(path));
        m_fileSummary->setVisible(true);
    }
    m_importExportButton->setEnabled(true);
}

void ImportExportBrowser::saveCsvTemplate()
{
    const QString title = localized("Save a CSV Template");
    const QString key = QStringLiteral("csvTemplate");
    const QString path = withSuffix(
        UserInteraction::instance().choosePathToSave(this, {title,
                                                            TransferFolders::folder(key),
                                                            localized("Velumark CSV Template.csv"),
                                                            {localized(kVariants[ImportCsv].filter)}}),
        QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    TransferFolders::remember(key, QFileInfo(path).absolutePath());
    if (const Result<> written = writeCsvTemplate(path); !written)
        UserInteraction::instance().showAlert(
            this, {title, localized("The CSV template cannot be saved."), written.message()});
}

bool ImportExportBrowser::confirmRestore()
{
    const VelumarkDatabase *main = DocumentRegistry::shared().getMainDocument();
    const QString name = main ? QFileInfo(main->packageFilename()).completeBaseName() : QString();
    const int answer = UserInteraction::instance().ask(
        this, {localized("Replace every record?"),
               localized("Restoring replaces every artwork, client, submission and photo of “%1” with those "
                         "of the chosen file.")
                   .arg(name),
               localized("What the catalogue holds now cannot be recovered afterwards."),
               {{localized("Cancel"), UserInteraction::ButtonRole::Reject},
                {localized("Replace"), UserInteraction::ButtonRole::Destructive}},
               0,
               UserInteraction::Severity::Warning});
    return answer == 1;
}

bool ImportExportBrowser::confirmReplace(const QString &package) const
{
    const int answer = UserInteraction::instance().ask(
        const_cast<ImportExportBrowser *>(this),
        {localized("Replace the catalogue?"),
         localized("A catalogue named “%1” already exists. Replacing it removes what it holds.")
             .arg(QFileInfo(package).fileName()),
         {},
         {{localized("Cancel"), UserInteraction::ButtonRole::Reject},
          {localized("Replace"), UserInteraction::ButtonRole::Destructive}},
         0,
         UserInteraction::Severity::Warning});
    return answer == 1;
}

void ImportExportBrowser::importExportButtonPressed()
{
    if (m_path.isEmpty())
        return;
    const bool restore = m_restore && m_restore->isChecked();
    if (restore && !confirmRestore())
        return;
    auto existing = ExistingCatalogue::Keep;
    if (m_type == ExportDatabase && PackageDestination::problemAt(m_path, ExistingCatalogue::Keep) ==
                                        PackageDestination::Problem::CatalogueExists) {
        if (!confirmReplace(m_path))
            return;
        existing = ExistingCatalogue::Replace;
    }

    const Result<LongOperation *> operation =
        isImport() ? m_handOver.importLocalDatabase(m_path, typeSelection(), nullptr, restore)
                   : m_handOver.exportLocalDatabase(m_path, typeSelection(), nullptr, existing);
    if (!operation) {
        UserInteraction::instance().showAlert(this, {localized("WARNING"), operation.message(), QString()});
        return;
    }
    accept();
    auto *progress = new ProgressWindow(parentWidget(), progressTexts(isImport(), m_path));
    progress->watch(operation.value());
    emit operationStarted(progress);
}

} // namespace velumark::gui
