#include "PrintDialogAnswer.h"
#include "SheetJourney.h"
#include "ShownWindow.h"
#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/ClientSheet.h"
#include "gui/editors/SubmissionSheet.h"
#include "gui/window/DocumentWindow.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Submission.h"
#include "support/PrintedPdf.h"
#include "support/SampleCatalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace velumark::test {
namespace {

class SheetPrintingJourney : public SheetJourney
{
protected:
    // Answers the print dialog that Print opened with a PDF file of that name; the file's text.
    QString printToFile(const QString &name)
    {
        EXPECT_TRUE(answerPrintDialog(path(name)));
        EXPECT_TRUE(QFileInfo::exists(path(name))) << user.transcript().toStdString();
        return PrintedPdf(path(name)).text();
    }
};

TEST_F(SheetPrintingJourney, EachSheetPrintsItsValuesAsTypedWhileTheStoredRecordKeepsItsOwn)
{
    Artwork *harbour = artworkTitled(document(), QStringLiteral("Harbour"));
    ASSERT_TRUE(harbour);
    QPointer<gui::ArtworkSheet> sheet = gui::ArtworkSheet::edit(window(), document(), *harbour);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->printButton()->isVisible());
    typeInto(control<QLineEdit>(sheet, "title"), QStringLiteral("Harbour at Dusk"));
    QTest::mouseClick(sheet->printButton(), Qt::LeftButton);
    const QString text = printToFile(QStringLiteral("artwork.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Harbour at Dusk"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("For Sale/Loan?")));
    // Printing saved nothing: the sheet is still open and changed, the row as it was.
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(harbour->title(), QStringLiteral("Harbour"));
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM artwork WHERE title = 'Harbour at Dusk'")),
              QStringLiteral("0"));
    sheet->reject();

    // The client's sheet offers what is out at the client, under the company as typed.
    Client *north = document().clients().front().get();
    ASSERT_EQ(north->company(), QStringLiteral("North"));
    QPointer<gui::ClientSheet> clientSheet = gui::ClientSheet::edit(window(), document(), *north);
    ASSERT_TRUE(clientSheet);
    typeInto(control<QLineEdit>(clientSheet, "company"), QStringLiteral("North Gallery"));
    QTest::mouseClick(clientSheet->printButton(), Qt::LeftButton);
    QMenu *choices = nullptr;
    QTRY_VERIFY(choices = shownWindow<QMenu>());
    ASSERT_EQ(choices->actions().size(), 2);
    choices->actions().at(1)->trigger();
    choices->close();
    const QString outstanding = printToFile(QStringLiteral("out.pdf"));
    EXPECT_TRUE(outstanding.contains(QStringLiteral("Out at North Gallery (1 waiting for a response)")))
        << outstanding.toStdString();
    EXPECT_TRUE(outstanding.contains(QStringLiteral("Dunes")));
    clientSheet->reject();

    // The submission's sheet, with another client chosen.
    QPointer<gui::SubmissionSheet> submissionSheet =
        gui::SubmissionSheet::edit(window(), document(), *document().submissions().front());
    ASSERT_TRUE(submissionSheet);
    auto *client = control<QComboBox>(submissionSheet, "client");
    client->setFocus();
    QTest::keyClicks(client, QStringLiteral("Sou"));
    ASSERT_EQ(client->currentText(), QStringLiteral("South"));
    QTest::mouseClick(submissionSheet->printButton(), Qt::LeftButton);
    const QString submission = printToFile(QStringLiteral("submission.pdf"));
    EXPECT_TRUE(submission.contains(QStringLiteral("South"))) << submission.toStdString();
    EXPECT_FALSE(submission.contains(QStringLiteral("North")));
    EXPECT_EQ(document().submissions().front()->client(), north);
    submissionSheet->reject();
}

} // namespace
} // namespace velumark::test
