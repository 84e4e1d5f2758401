#include "SheetJourney.h"

#include "document/VelumarkDatabase.h"
#include "gui/editors/RecordSheet.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/window/DocumentWindow.h"
#include "store/Clock.h"
#include "store/Sqlite.h"
#include "store/VelumarkStrings.h"
#include "support/Succeeded.h"

#include <QDir>
#include <QPushButton>
#include <QTest>

namespace velumark::test {

namespace {

void makeStudio(const QString &package)
{
    VelumarkDatabase studio;
    ASSERT_TRUE(succeeded(studio.readFromURL(package)));
    Artwork *dunes = nullptr;
    for (const char *title : {"Dunes", "Harbour"}) {
        auto artwork = std::make_unique<Artwork>();
        artwork->setTitle(QString::fromLatin1(title));
        Artwork *added = studio.addArtwork(std::move(artwork));
        dunes = dunes ? dunes : added;
    }
    Client *north = nullptr;
    for (const char *company : {"North", "South"}) {
        auto client = std::make_unique<Client>();
        client->setCompany(QString::fromLatin1(company));
        Client *added = studio.addClient(std::move(client));
        north = north ? north : added;
    }
    north->setResponseTime(2);
    north->setResponseTimeUnits(TimeUnit::Week);
    studio.updateClient(north);
    auto submission = std::make_unique<Submission>();
    submission->setArtwork(dunes);
    submission->setArtworkKey(dunes->primaryKey());
    submission->setClient(north);
    submission->setClientKey(north->primaryKey());
    submission->setSendDate(QDateTime(QDate(2024, 3, 1), QTime(0, 0)));
    studio.addSubmission(std::move(submission));
    ASSERT_TRUE(succeeded(studio.close()));
}

} // namespace

void SheetJourney::SetUp()
{
    ShellJourney::SetUp();
    Clock::setFixedNow(QDateTime(QDate(2024, 5, 15), QTime(12, 0)));
    m_package = path(QStringLiteral("Studio.vdb"));
    makeStudio(m_package);
    ASSERT_TRUE(app().start({m_package})) << user.transcript().toStdString();
    m_window = onlyWindow();
    ASSERT_TRUE(m_window);
}

void SheetJourney::TearDown()
{
    ShellJourney::TearDown();
    Clock::clearFixedNow();
}

VelumarkDatabase &SheetJourney::document()
{
    return m_window->document().database();
}

QString SheetJourney::stored(const QString &sql) const
{
    auto connection = SqliteConnection::open(QDir(m_package).filePath(QStringLiteral("velumark.db")),
                                             SqliteConnection::Mode::ReadOnly);
    if (!connection)
        return QStringLiteral("<no database>");
    auto statement = connection->prepare(sql.toUtf8().constData());
    if (!statement || statement->step() != SqliteStatement::Step::Row)
        return QStringLiteral("<no row>");
    return statement->columnText(0);
}

void SheetJourney::typeInto(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

void SheetJourney::pressOk(gui::RecordSheet *sheet)
{
    ASSERT_TRUE(sheet->okButton()->isEnabled());
    QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
}

} // namespace velumark::test
