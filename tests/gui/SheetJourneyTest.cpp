#include "SheetJourney.h"

#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/ClientSheet.h"
#include "gui/editors/DateField.h"
#include "gui/editors/LimitedTextEdit.h"
#include "gui/editors/SegmentedControl.h"
#include "gui/editors/SubmissionSheet.h"
#include "gui/window/DocumentWindow.h"
#include "support/SampleCatalogue.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace velumark::test {
namespace {

using gui::ArtworkSheet;
using gui::ClientSheet;
using gui::SubmissionSheet;

double storedDay(int year, int month, int day)
{
    return double(QDateTime(QDate(year, month, day), QTime(0, 0)).toSecsSinceEpoch());
}

// Chooses by typing the start of its name, as a user does on a closed choice.
void choose(QComboBox *box, const QString &name)
{
    box->setFocus();
    QTest::keyClicks(box, name);
}

TEST_F(SheetJourney, ANewSubmissionIsSavedOnceItsArtworkAndClientAreChosen)
{
    QPointer<SubmissionSheet> sheet = SubmissionSheet::create(window(), document());
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("New Submission"));
    EXPECT_EQ(sheet->okButton()->text(), QStringLiteral("Save"));
    EXPECT_TRUE(sheet->printButton()->isVisible()) << "a new record prints as typed too";
    EXPECT_FALSE(sheet->okButton()->isEnabled());

    choose(control<QComboBox>(sheet, "artwork"), QStringLiteral("Harb"));
    EXPECT_EQ(control<QComboBox>(sheet, "artwork")->currentText(), QStringLiteral("Harbour"));
    EXPECT_FALSE(sheet->okButton()->isEnabled()) << "no client yet";
    choose(control<QComboBox>(sheet, "client"), QStringLiteral("Nor"));
    EXPECT_TRUE(sheet->okButton()->isEnabled());

    // The due date comes from North's two weeks after today's send date.
    auto *dueOn = control<QCheckBox>(sheet, "dueDateOn");
    dueOn->setFocus();
    QTest::keyClick(dueOn, Qt::Key_Space);
    EXPECT_TRUE(dueOn->isChecked());
    EXPECT_EQ(control<gui::DateField>(sheet, "dueDate")->date(), QDate(2024, 5, 29));
    EXPECT_FALSE(control<gui::DateField>(sheet, "dueDate")->isBlank());

    QTest::keyClick(dueOn, Qt::Key_Return);
    QTRY_VERIFY(!sheet);
    EXPECT_EQ(stored(QStringLiteral("SELECT response_due_date FROM submission WHERE artwork_key = "
                                    "(SELECT pk FROM artwork WHERE title = 'Harbour')"))
                  .toDouble(),
              storedDay(2024, 5, 29));
}

TEST_F(SheetJourney, AClientAddedFromTheSubmissionSheetIsChosenThere)
{
    QPointer<SubmissionSheet> sheet = SubmissionSheet::create(window(), document());
    ASSERT_TRUE(sheet);
    QTest::mouseClick(control<QAbstractButton>(sheet, "addClient"), Qt::LeftButton);
    QPointer<ClientSheet> clientSheet = sheet->findChild<ClientSheet *>();
    ASSERT_TRUE(clientSheet);
    EXPECT_EQ(clientSheet->windowTitle(), QStringLiteral("New Client"));
    EXPECT_FALSE(clientSheet->okButton()->isEnabled()) << "a company is needed";
    typeInto(control<QLineEdit>(clientSheet, "company"), QStringLiteral("East Gallery"));
    pressOk(clientSheet);
    QTRY_VERIFY(!clientSheet);

    EXPECT_EQ(control<QComboBox>(sheet, "client")->currentText(), QStringLiteral("East Gallery"));
    EXPECT_FALSE(sheet->okButton()->isEnabled()) << "no artwork yet";
    choose(control<QComboBox>(sheet, "artwork"), QStringLiteral("Dun"));
    pressOk(sheet);
    QTRY_VERIFY(!sheet);
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM submission WHERE client_key = "
                                    "(SELECT pk FROM client WHERE company = 'East Gallery')")),
              QStringLiteral("1"));
}

TEST_F(SheetJourney, FromAClientsHistoryTheClientIsFixedAndANewArtworkIsChosenThere)
{
    Client *south = clientNamed(document(), QStringLiteral("South"));
    QPointer<SubmissionSheet> sheet =
        SubmissionSheet::create(window(), document(), SubmissionSheet::Origin::ClientHistory, nullptr, south);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(control<QComboBox>(sheet, "client")->currentText(), QStringLiteral("South"));
    EXPECT_FALSE(control<QComboBox>(sheet, "client")->isEnabled());
    EXPECT_FALSE(control<QAbstractButton>(sheet, "addClient")->isEnabled());
    EXPECT_TRUE(control<QComboBox>(sheet, "artwork")->isEnabled());

    QTest::mouseClick(control<QAbstractButton>(sheet, "addArtwork"), Qt::LeftButton);
    QPointer<ArtworkSheet> artworkSheet = sheet->findChild<ArtworkSheet *>();
    ASSERT_TRUE(artworkSheet);
    typeInto(control<QLineEdit>(artworkSheet, "title"), QStringLiteral("Quarry"));
    // Not offered for sale or loan, yet chosen here since it was made for this submission.
    QTest::mouseClick(control<gui::SegmentedControl>(artworkSheet, "saleLoan")->segment(0), Qt::LeftButton);
    pressOk(artworkSheet);
    QTRY_VERIFY(!artworkSheet);
    EXPECT_EQ(control<QComboBox>(sheet, "artwork")->currentText(), QStringLiteral("Quarry"));
    pressOk(sheet);
    QTRY_VERIFY(!sheet);
    EXPECT_EQ(stored(QStringLiteral("SELECT c.company FROM submission s JOIN client c ON c.pk = s.client_key "
                                    "JOIN artwork a ON a.pk = s.artwork_key WHERE a.title = 'Quarry'")),
              QStringLiteral("South"));
}

TEST_F(SheetJourney, TheAddressButtonsOpenTheWebPageAndTheMailTyped)
{
    QPointer<ClientSheet> sheet =
        ClientSheet::edit(window(), document(), *clientNamed(document(), QStringLiteral("South")));
    ASSERT_TRUE(sheet);
    auto *openWeb = control<QAbstractButton>(sheet, "openWeb");
    EXPECT_FALSE(openWeb->isEnabled()) << "nothing to open yet";
    typeInto(control<QLineEdit>(sheet, "web"), QStringLiteral("south.example/shows"));
    QTest::mouseClick(openWeb, Qt::LeftButton);
    typeInto(control<QLineEdit>(sheet, "email"), QStringLiteral("desk@south.example"));
    QTest::mouseClick(control<QAbstractButton>(sheet, "writeEmail"), Qt::LeftButton);
    ASSERT_EQ(user.openedAddresses.size(), 2u);
    EXPECT_EQ(user.openedAddresses[0], QUrl(QStringLiteral("http://south.example/shows")));
    EXPECT_EQ(user.openedAddresses[1], QUrl(QStringLiteral("mailto:desk@south.example")));
    sheet->reject();
}

TEST_F(SheetJourney, CancelEscapeAndClosingWriteNothingAndClosingAChangedSheetAsksFirst)
{
    Artwork *dunes = artworkTitled(document(), QStringLiteral("Dunes"));
    QPointer<ArtworkSheet> sheet = ArtworkSheet::edit(window(), document(), *dunes);
    ASSERT_TRUE(sheet);
    typeInto(control<QLineEdit>(sheet, "title"), QStringLiteral("Changed"));
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    QTRY_VERIFY(!sheet);

    sheet = ArtworkSheet::edit(window(), document(), *dunes);
    typeInto(control<QLineEdit>(sheet, "title"), QStringLiteral("Changed"));
    QTest::keyClick(control<QLineEdit>(sheet, "title"), Qt::Key_Escape);
    QTRY_VERIFY(!sheet);
    EXPECT_TRUE(user.questions.empty()) << "Cancel and Esc are answers already";

    sheet = ArtworkSheet::edit(window(), document(), *dunes);
    typeInto(control<QLineEdit>(sheet, "size"), QStringLiteral("2 x 3 m"));
    user.answers = {QStringLiteral("Keep Editing")};
    EXPECT_FALSE(sheet->close());
    EXPECT_TRUE(sheet->isVisible());
    ASSERT_EQ(user.questions.size(), 1u);
    EXPECT_TRUE(user.questions[0].text.contains(QStringLiteral("“Dunes”")));
    user.answers = {QStringLiteral("Discard Changes")};
    EXPECT_TRUE(sheet->close());
    QTRY_VERIFY(!sheet);

    EXPECT_EQ(dunes->title(), QStringLiteral("Dunes"));
    EXPECT_EQ(stored(QStringLiteral("SELECT title FROM artwork WHERE pk = %1").arg(dunes->primaryKey())),
              QStringLiteral("Dunes"));
    EXPECT_EQ(stored(QStringLiteral("SELECT size FROM artwork WHERE pk = %1").arg(dunes->primaryKey())),
              QString());
    // An unchanged sheet closes without a question.
    sheet = ArtworkSheet::edit(window(), document(), *dunes);
    EXPECT_TRUE(sheet->close());
    EXPECT_EQ(user.questions.size(), 2u);
}

TEST_F(SheetJourney, FieldsHaveTheirFormattersAndAPastePastTheLimitBeeps)
{
    QPointer<SubmissionSheet> sheet = SubmissionSheet::create(window(), document());
    ASSERT_TRUE(sheet);
    QTest::mouseClick(control<gui::SegmentedControl>(sheet, "response")->segment(1), Qt::LeftButton);
    auto *income = control<QLineEdit>(sheet, "income");
    typeInto(income, QString());
    QTest::keyClicks(income, QStringLiteral("-"));
    EXPECT_EQ(income->text(), QString());
    QTest::keyClicks(income, QStringLiteral("12.50"));
    EXPECT_EQ(income->text(), QStringLiteral("12.50"));

    // Notes take 10,000 characters: a paste past them is cut there, with a beep.
    auto *notes = control<gui::LimitedTextEdit>(sheet, "notes");
    sheet->tabs()->setCurrentIndex(1);
    notes->setFocus();
    QApplication::clipboard()->setText(QString(10005, u'n'));
    const int beeps = user.beeps;
    QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(notes->toPlainText().size(), 10000);
    EXPECT_GT(user.beeps, beeps);
    sheet->reject();
}

// The lists of names are the editor's (tests/editing); the sheet takes the typed name and offers it.
TEST_F(SheetJourney, ATypedArtistIsSavedAndOfferedNextTime)
{
    QPointer<ArtworkSheet> sheet = ArtworkSheet::create(window(), document());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("New Artwork"));
    EXPECT_FALSE(sheet->okButton()->isEnabled()) << "a title is needed";
    typeInto(control<QLineEdit>(sheet, "title"), QStringLiteral("Pier"));
    typeInto(control<QComboBox>(sheet, "artist")->lineEdit(), QStringLiteral("Mo Reyes"));
    pressOk(sheet);
    QTRY_VERIFY(!sheet);
    sheet = ArtworkSheet::create(window(), document());
    EXPECT_GE(control<QComboBox>(sheet, "artist")->findText(QStringLiteral("Mo Reyes")), 0);
    sheet->reject();
}

TEST_F(SheetJourney, AFailedSaveKeepsTheSheetAndTheRow)
{
    Artwork *dunes = artworkTitled(document(), QStringLiteral("Dunes"));
    QPointer<ArtworkSheet> sheet = ArtworkSheet::edit(window(), document(), *dunes);
    ASSERT_TRUE(sheet);
    typeInto(control<QLineEdit>(sheet, "title"), QStringLiteral("Dunes II"));
    // From here on the file takes no writes, as on a read-only disk.
    ASSERT_TRUE(document().database()->exec("PRAGMA query_only = 1"));
    pressOk(sheet);
    ASSERT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();
    EXPECT_TRUE(user.alerts[0].text.contains(QStringLiteral("“Dunes”")));
    EXPECT_FALSE(user.alerts[0].detail.isEmpty());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(control<QLineEdit>(sheet, "title")->text(), QStringLiteral("Dunes II"));
    EXPECT_EQ(dunes->title(), QStringLiteral("Dunes"));
    EXPECT_EQ(stored(QStringLiteral("SELECT title FROM artwork WHERE pk = %1").arg(dunes->primaryKey())),
              QStringLiteral("Dunes"));

    ASSERT_TRUE(document().database()->exec("PRAGMA query_only = 0"));
    pressOk(sheet);
    QTRY_VERIFY(!sheet);
    EXPECT_EQ(stored(QStringLiteral("SELECT title FROM artwork WHERE pk = %1").arg(dunes->primaryKey())),
              QStringLiteral("Dunes II"));
}

TEST_F(SheetJourney, ARecordHasOneSheetWhichClosesWhenTheRecordGoes)
{
    Client *south = clientNamed(document(), QStringLiteral("South"));
    QPointer<ClientSheet> sheet = ClientSheet::edit(window(), document(), *south);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(ClientSheet::edit(window(), document(), *south), sheet.data()) << "brought forward, not twice";
    EXPECT_EQ(window()->findChildren<ClientSheet *>().size(), 1);

    typeInto(control<QLineEdit>(sheet, "company"), QStringLiteral("Renamed"));
    document().removeClient(south);
    QTRY_VERIFY(!sheet);
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_TRUE(user.alerts[0].text.contains(QStringLiteral("“South”")));
    EXPECT_TRUE(user.questions.empty());
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM client")), QStringLiteral("1"));
}

} // namespace
} // namespace velumark::test
