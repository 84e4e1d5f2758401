#include "editing/ClientEditor.h"

#include "EditorFixture.h"

namespace velumark::test {
namespace {

using editing::ClientEditor;

class ClientEditing : public EditorFixture
{};

TEST_F(ClientEditing, ACommissionAbove100IsSavedAs100)
{
    ClientEditor editor(*document);
    EXPECT_FALSE(editor.canSave()) << "a company is needed";
    editor.values().company = QStringLiteral("North Gallery");
    editor.values().commission = QStringLiteral("150");
    editor.values().payRate = QStringLiteral("12.5");
    editor.values().deadlineOn = true;
    editor.values().deadline = QDate(2024, 6, 1);
    editor.values().responseTime = QStringLiteral("3");
    editor.values().responseTimeUnits = 2;
    ASSERT_TRUE(editor.canSave());
    const Result<Client *> saved = editor.save();
    ASSERT_TRUE(saved.ok()) << saved.message().toStdString();
    EXPECT_EQ(saved.value()->commission(), 100.0);

    reopen();
    EXPECT_EQ(stored(QStringLiteral("SELECT commission FROM client")).toDouble(), 100.0);
    EXPECT_EQ(stored(QStringLiteral("SELECT payrate FROM client")).toDouble(), 12.5);
    const Client &read = *document->clients().front();
    EXPECT_EQ(read.deadline(), local(2024, 6, 1));
    EXPECT_EQ(read.responseTime(), 3);
    EXPECT_EQ(read.responseTimeUnits(), 2);
    EXPECT_TRUE(read.status());

    ClientEditor again(*document, *document->clients().front());
    EXPECT_EQ(again.values().commission, QStringLiteral("100.00"));
    EXPECT_EQ(again.values().deadline, QDate(2024, 6, 1));
}

TEST_F(ClientEditing, WebAndMailAddresses)
{
    using Url = QUrl;
    EXPECT_EQ(ClientEditor::webAddress(QStringLiteral("north.example")),
              Url(QStringLiteral("http://north.example")));
    EXPECT_EQ(ClientEditor::webAddress(QStringLiteral("HTTP://North.example/Shows")),
              Url(QStringLiteral("HTTP://North.example/Shows")))
        << "the prefix in capitals: opened as typed";
    EXPECT_EQ(ClientEditor::webAddress(QStringLiteral("https://north.example")),
              Url(QStringLiteral("https://north.example")));
    // Any other scheme gets the prefix: a text never opens a local file or another program.
    EXPECT_EQ(ClientEditor::webAddress(QStringLiteral("file:///etc/passwd")).scheme(),
              QStringLiteral("http"));
    EXPECT_TRUE(ClientEditor::webAddress(QString()).isEmpty());
    EXPECT_TRUE(ClientEditor::webAddress(QStringLiteral("north gallery")).isEmpty()) << "no address";

    EXPECT_EQ(ClientEditor::mailAddress(QStringLiteral("info@north.example")),
              Url(QStringLiteral("mailto:info@north.example")));
    EXPECT_TRUE(ClientEditor::mailAddress(QString()).isEmpty());
}

TEST_F(ClientEditing, ResponseTimeUnitWordsAndTheStatusDecideWhatIsOffered)
{
    Client *north = catalogue->addClient(QStringLiteral("North"));
    north->setResponseTimeUnits(7); // unknown: shown blank
    ClientEditor editor(*document, *north);
    EXPECT_EQ(editor.values().responseTimeUnits, 0);
    editor.values().responseTimeUnits = 2;
    EXPECT_EQ(editor.responseTimeUnitNames().value(2), QStringLiteral("weeks"));
    editor.values().responseTime = QStringLiteral("1");
    EXPECT_EQ(editor.responseTimeUnitNames().value(2), QStringLiteral("week"));
    EXPECT_EQ(editor.responseTimeUnitNames().size(), 5);

    editor.values().open = false;
    ASSERT_TRUE(editor.save().ok());
    EXPECT_TRUE(document->availableClients().empty());
    ClientEditor reopened(*document, *north);
    reopened.values().open = true;
    ASSERT_TRUE(reopened.save().ok());
    ASSERT_EQ(document->availableClients().size(), 1u);
}

TEST_F(ClientEditing, CancelAndAFailedSaveWriteNothing)
{
    Client *north = catalogue->addClient(QStringLiteral("North"));
    ClientEditor cancelled(*document, *north);
    cancelled.values().company = QStringLiteral("South");
    cancelled.values().notes = QStringLiteral("Call first");
    cancelled.cancel();
    EXPECT_EQ(north->company(), QStringLiteral("North"));

    ClientEditor editor(*document, *north);
    editor.values().company = QStringLiteral("South");
    refuseWrites();
    EXPECT_FALSE(editor.save().ok());
    EXPECT_EQ(north->company(), QStringLiteral("North"));
    EXPECT_EQ(editor.values().company, QStringLiteral("South"));

    ClientEditor added(*document);
    added.values().company = QStringLiteral("East");
    EXPECT_FALSE(added.save().ok());
    EXPECT_EQ(document->clients().size(), 1u) << "a new client that could not be stored is not kept";
}

} // namespace
} // namespace velumark::test
