#include "CliProcess.h"
#include "ShellJourney.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/ContactsWindow.h"
#include "gui/transfer/ImportExportBrowser.h"
#include "gui/transfer/ProgressWindow.h"
#include "gui/transfer/ReportBrowser.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/StatusLine.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace velumark::test {
namespace {

using gui::ActionId;
using gui::ImportExportBrowser;

QAbstractButton *buttonNamed(QWidget *window, const QString &text)
{
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->text() == text)
            return button;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

// The longest time the event loop went without a turn while it lives: reported, not asserted.
class EventLoopGapMeter
{
public:
    EventLoopGapMeter()
    {
        m_sinceTurn.start();
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longestMs = std::max(m_longestMs, m_sinceTurn.restart()); });
        m_timer.start(0);
    }
    qint64 longestMs() const { return m_longestMs; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTurn;
    qint64 m_longestMs = 0;
};

class TransferJourney : public ShellJourney
{
protected:
    // The sample catalogue of the command line, open in the application's only window.
    gui::DocumentWindow *openSample()
    {
        makeSample();
        if (!app().start({m_sample}))
            return nullptr;
        return onlyWindow();
    }
    void makeSample()
    {
        m_sample = path(QStringLiteral("Sample.vdb"));
        cliOutput({QStringLiteral("demo"), m_sample});
    }

    // The window's visible dialog of that kind (closed ones may linger until deleted).
    template <typename Dialog> Dialog *shown(gui::DocumentWindow *window)
    {
        for (Dialog *dialog : window->findChildren<Dialog *>()) {
            if (dialog->isVisible())
                return dialog;
        }
        ADD_FAILURE() << "no dialog shown";
        return nullptr;
    }

    ImportExportBrowser *browse(ActionId id, const QString &chosen)
    {
        trigger(id);
        auto *browser = shown<ImportExportBrowser>(onlyWindow());
        if (browser) {
            user.paths = {chosen};
            browser->browseButtonPressed();
        }
        return browser;
    }

    // Starts the browser's operation and waits until its progress window is gone.
    void runAndWait(ImportExportBrowser *browser)
    {
        browser->importExportButtonPressed();
        auto *progress = onlyWindow()->findChild<gui::ProgressWindow *>();
        ASSERT_TRUE(progress);
        EXPECT_TRUE(progress->isModal() || progress->windowModality() == Qt::WindowModal);
        QPointer<gui::ProgressWindow> watched(progress);
        QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), 60000);
    }

    QString m_sample;
};

// What the file holds is the interchange tests' to prove; here the window names it and runs it.
TEST_F(TransferJourney, ExportToAnInterchangeFileAddsTheFileTypeAndSaysItIsDone)
{
    ASSERT_TRUE(openSample());
    ImportExportBrowser *browser = browse(ActionId::ExportVdbi, path(QStringLiteral("Out")));
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->windowTitle(), QStringLiteral("Export To VDBI"));
    ASSERT_EQ(user.choices.size(), 1u);
    EXPECT_TRUE(user.choices[0].filters.join(QString()).contains(QStringLiteral("*.vdbi")));
    // The chosen name gains the file type.
    EXPECT_EQ(browser->chosenPath(), path(QStringLiteral("Out.vdbi")));
    EXPECT_TRUE(buttonNamed(browser, QStringLiteral("Export"))->isEnabled());

    runAndWait(browser);
    ASSERT_EQ(user.questions.size(), 1u) << user.transcript().toStdString();
    EXPECT_EQ(user.questions[0].title, QStringLiteral("Export Complete"));
    EXPECT_TRUE(user.alerts.empty());
    EXPECT_GT(QFileInfo(path(QStringLiteral("Out.vdbi"))).size(), 0);
}

TEST_F(TransferJourney, OpenCataloguesAreRefusedAsSourceAndDestinationAndUnreadableFilesAreReported)
{
    ASSERT_TRUE(openSample());
    ImportExportBrowser *browser = browse(ActionId::ImportDatabase, m_sample);
    ASSERT_TRUE(browser);
    ASSERT_EQ(user.choices.size(), 1u);
    EXPECT_TRUE(user.choices[0].packagesAreFiles);
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_EQ(user.alerts[0].title, QStringLiteral("WARNING"));
    EXPECT_EQ(user.alerts[0].text,
              QStringLiteral("Importing from a currently open database is not permitted. "
                             "Please select another database for import."));
    EXPECT_TRUE(browser->chosenPath().isEmpty());
    EXPECT_FALSE(buttonNamed(browser, QStringLiteral("Import"))->isEnabled());
    browser->reject();

    browser = browse(ActionId::ExportDatabase, m_sample);
    ASSERT_TRUE(browser);
    ASSERT_EQ(user.alerts.size(), 2u);
    EXPECT_TRUE(user.alerts[1].text.startsWith(QStringLiteral("Exporting to a currently open database")));
    browser->reject();

    // A damaged interchange file: the import error with the core's reason, the catalogue untouched.
    QFile damaged(path(QStringLiteral("Damaged.vdbi")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    browser = browse(ActionId::ImportVdbi, damaged.fileName());
    ASSERT_TRUE(browser);
    runAndWait(browser);
    ASSERT_EQ(user.alerts.size(), 3u);
    EXPECT_EQ(user.alerts[2].title, QStringLiteral("Import Error"));
    EXPECT_FALSE(user.alerts[2].detail.isEmpty());
    EXPECT_EQ(onlyWindow()->document().database().artworks().size(), 12u);
}

TEST_F(TransferJourney, CancelledCsvImportShowsNothingAndLeavesTheCatalogueAsItWas)
{
    makeSample();
    const QString csv = path(QStringLiteral("big.csv"));
    cliOutput({QStringLiteral("export"), m_sample, csv});
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    const qsizetype header = lines.indexOf("Artworks") + 1;
    ASSERT_GT(header, 0);
    const QByteArray row = "\"Copy\",\"Ann Lee\",\"Yes\",\"10.00\",\"Oil\",\"\",\"\",\"\",\"\",\"\",\"\"";
    for (int i = 0; i < 60000; ++i)
        lines.insert(header + 1, row);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
    file.close();
    ASSERT_TRUE(app().start({m_sample}));

    ImportExportBrowser *browser = browse(ActionId::ImportCsv, csv);
    ASSERT_TRUE(browser);
    const EventLoopGapMeter gaps;
    browser->importExportButtonPressed();
    QPointer<gui::ProgressWindow> progress = onlyWindow()->findChild<gui::ProgressWindow *>();
    ASSERT_TRUE(progress);
    QTRY_VERIFY_WITH_TIMEOUT(progress.isNull() || progress->percentShown() > 0, 60000);
    ASSERT_FALSE(progress.isNull()) << "the import ended before it could be cancelled";
    const gui::StatusLine &status = onlyWindow()->view()->statusLine();
    const auto editingEnabled = [this] {
        return app().actions().action(ActionId::AddItem)->isEnabled() &&
               app().actions().action(ActionId::ImportCsv)->isEnabled() &&
               app().actions().action(ActionId::ImportVdbi)->isEnabled();
    };
    EXPECT_FALSE(app().actions().action(ActionId::AddItem)->isEnabled());
    EXPECT_FALSE(app().actions().action(ActionId::ImportCsv)->isEnabled());
    EXPECT_TRUE(status.editingNotice().contains(QStringLiteral("editing is possible again when it ends")))
        << status.editingNotice().toStdString();
    QTest::keyClick(progress, Qt::Key_Escape);
    EXPECT_FALSE(buttonNamed(progress, QStringLiteral("Cancel"))->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(progress.isNull(), 60000);
    RecordProperty("longest_event_loop_gap_ms", int(gaps.longestMs()));
    EXPECT_TRUE(editingEnabled());
    EXPECT_TRUE(status.editingNotice().isEmpty()) << status.editingNotice().toStdString();

    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
    EXPECT_TRUE(user.questions.empty());
    EXPECT_FALSE(onlyWindow()->document().database().isOperationRunning());
    EXPECT_EQ(onlyWindow()->document().database().artworks().size(), 12u);
    onlyWindow()->close();
    deleteClosedWindows();
    EXPECT_TRUE(
        cliOutput({QStringLiteral("stats"), m_sample}).contains(QStringLiteral("Artwork:             12\n")));
}

TEST_F(TransferJourney, CsvTemplateIsSavedWhereTheUserChooses)
{
    ASSERT_TRUE(openSample());
    trigger(ActionId::ImportCsv);
    auto *browser = shown<ImportExportBrowser>(onlyWindow());
    ASSERT_TRUE(browser);
    user.paths = {path(QStringLiteral("Blank"))};
    buttonNamed(browser, QStringLiteral("Save a CSV Template…"))->click();
    ASSERT_EQ(user.choices.size(), 1u);
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
    EXPECT_GT(QFileInfo(path(QStringLiteral("Blank.csv"))).size(), 0) << "the file type is added";
}

TEST_F(TransferJourney, ReportWithoutANameIsWrittenUnderTheDefaultNameAndOpened)
{
    ASSERT_TRUE(openSample());
    trigger(ActionId::ExportReport);
    auto *browser = shown<gui::ReportBrowser>(onlyWindow());
    ASSERT_TRUE(browser);
    EXPECT_FALSE(buttonNamed(browser, QStringLiteral("Export"))->isEnabled());
    const QString folder = path(QStringLiteral("reports"));
    ASSERT_TRUE(QDir().mkpath(folder));
    user.paths = {folder};
    browser->browseButtonPressed();
    ASSERT_EQ(user.choices.size(), 1u);
    EXPECT_TRUE(user.choices[0].foldersOnly);
    buttonNamed(browser, QStringLiteral("Medium photos"))->click();
    user.answers = {QStringLiteral("Open Report")};
    browser->exportButtonPressed();
    QTRY_COMPARE_WITH_TIMEOUT(user.openedAddresses.size(), size_t(1), 60000);

    const QString report = QDir(folder).filePath(QStringLiteral("velumark_report.html"));
    EXPECT_EQ(user.openedAddresses[0], QUrl::fromLocalFile(report));
    EXPECT_EQ(user.questions.at(0).title, QStringLiteral("Export Complete"));
    EXPECT_TRUE(QFileInfo(report).size() > 0);
    const QDir photos(QDir(folder).filePath(QStringLiteral("velumark_report_photos")));
    // The logo and one picture per photo of the sample.
    EXPECT_EQ(photos.entryList({QStringLiteral("*.jpg")}, QDir::Files).size(), 9);
}

TEST_F(TransferJourney, InterchangeFileOpenedFromTheFileManagerRestoresOnlyAfterConfirmation)
{
    const QString source = path(QStringLiteral("Source.vdb"));
    cliOutput({QStringLiteral("demo"), source});
    const QString interchange = path(QStringLiteral("Source.vdbi"));
    cliOutput({QStringLiteral("export"), source, interchange});
    const QString studio =
        makeCatalogue(QStringLiteral("Studio"), {QStringLiteral("Dawn"), QStringLiteral("Dusk")});
    ASSERT_TRUE(app().start({studio, interchange}));
    QTRY_VERIFY(onlyWindow()->findChild<ImportExportBrowser *>());
    auto *browser = shown<ImportExportBrowser>(onlyWindow());
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->windowTitle(), QStringLiteral("Import From VDBI"));
    EXPECT_EQ(browser->chosenPath(), interchange);
    EXPECT_TRUE(browser->fileSummary().startsWith(
        QStringLiteral("12 artworks, 6 clients, 16 submissions and 8 photos "
                       "exported from Velumark 1.3 on ")))
        << browser->fileSummary().toStdString();

    auto *restore = browser->findChild<QCheckBox *>();
    ASSERT_TRUE(restore);
    restore->setChecked(true);
    buttonNamed(browser, QStringLiteral("Clients"))->click();
    EXPECT_FALSE(restore->isChecked()); // only a complete database restores
    buttonNamed(browser, QStringLiteral("Complete Database"))->click();
    restore->setChecked(true);

    user.answers = {QStringLiteral("Cancel")};
    browser->importExportButtonPressed();
    ASSERT_EQ(user.questions.size(), 1u);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_FALSE(onlyWindow()->findChild<gui::ProgressWindow *>());

    user.answers = {QStringLiteral("Replace")};
    runAndWait(browser);
    ASSERT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();
    EXPECT_EQ(user.alerts[0].title, QStringLiteral("Import Complete"));
    onlyWindow()->close();
    deleteClosedWindows();
    EXPECT_EQ(artworkTitles(studio).size(), 12); // replaced, not added to
    EXPECT_FALSE(artworkTitles(studio).contains(QStringLiteral("Dawn")));
}

TEST_F(TransferJourney, ThreeCardsOfAFolderBecomeThreeClientsWithOneAlert)
{
    const QString studio = makeCatalogue(QStringLiteral("Studio"));
    const QString cards = path(QStringLiteral("cards"));
    ASSERT_TRUE(QDir().mkpath(cards));
    const char *const people[][2] = {{"Ann", "Lee"}, {"Bo", "Berg"}, {"Cy", "Cole"}};
    for (const auto &person : people) {
        QFile card(QDir(cards).filePath(QString::fromLatin1(person[1]) + QStringLiteral(".vcf")));
        ASSERT_TRUE(card.open(QIODevice::WriteOnly));
        card.write(QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:") + person[1] + ';' + person[0] +
                   ";;;\r\nFN:" + person[0] + ' ' + person[1] + "\r\nEND:VCARD\r\n");
    }
    ASSERT_TRUE(app().start({studio}));
    trigger(ActionId::AddressBook);
    auto *contacts = shown<gui::ContactsWindow>(onlyWindow());
    ASSERT_TRUE(contacts);
    user.paths = {cards};
    contacts->chooseFolder();
    EXPECT_EQ(contacts->visiblePeople(), 3);
    contacts->findChild<QLineEdit *>()->setText(QStringLiteral("lee"));
    EXPECT_EQ(contacts->visiblePeople(), 1);
    contacts->findChild<QLineEdit *>()->clear();
    QPushButton *add = qobject_cast<QPushButton *>(buttonNamed(contacts, QStringLiteral("Add Client")));
    EXPECT_FALSE(add->isEnabled());
    contacts->findChild<QTableWidget *>()->selectAll();
    add->click();
    ASSERT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();
    EXPECT_EQ(user.alerts[0].title, QStringLiteral("Added Contacts"));
    contacts->close();
    deleteClosedWindows();

    // The folder is remembered for the next time.
    trigger(ActionId::AddressBook);
    contacts = shown<gui::ContactsWindow>(onlyWindow());
    ASSERT_TRUE(contacts);
    EXPECT_EQ(contacts->visiblePeople(), 3);
    contacts->close();
    onlyWindow()->close();
    deleteClosedWindows();
    EXPECT_TRUE(
        cliOutput({QStringLiteral("stats"), studio}).contains(QStringLiteral("Clients:             3\n")));
}

} // namespace
} // namespace velumark::test
