#include "DocumentFixture.h"
#include "document/DocumentPackage.h"
#include "document/PackageDestination.h"
#include "store/DatabaseFile.h"
#include "store/Leftovers.h"
#include "support/LegacyDatabases.h"
#include "support/Succeeded.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace velumark;
using FileHandling = test::DocumentFixture;

TEST_F(FileHandling, SaveAsLeavesACompleteCopyAndContinuesOnTheNewPackage)
{
    const Result<> inside =
        document->writeSafelyToURL(QDir(packagePath).filePath(QStringLiteral("inner.vdb")));
    EXPECT_FALSE(inside) << "a target inside the package is refused";
    EXPECT_FALSE(inside.message().isEmpty());
    EXPECT_TRUE(document->isOpen()) << "a failed save reopens the document's own database";
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    artwork->setNotes(QStringLiteral("unsaved note"));
    Artwork *sketch = addArtwork(QStringLiteral("Sketch"));
    const QString originalPhoto = catalogue->addPhoto(sketch)->photoFilePath();
    const QString target = folder.filePath(QStringLiteral("Copy.vdb"));
    ASSERT_TRUE(succeeded(document->writeSafelyToURL(target)));
    EXPECT_TRUE(DocumentPackage::samePath(document->packageFilename(), target));
    // The lock moves with the document: the copy is held, the old package is free.
    VelumarkDatabase rival;
    const Result<> held = rival.readFromURL(target);
    EXPECT_FALSE(held) << "the copy is not locked";
    EXPECT_TRUE(held.message().contains(QStringLiteral("open in another program")))
        << held.message().toStdString();
    VelumarkDatabase original;
    ASSERT_TRUE(succeeded(original.readFromURL(packagePath)));
    // The photos now live in the copy: removing one leaves the old package's files alone.
    const QString copiedPhoto = QDir(target).filePath(QDir(packagePath).relativeFilePath(originalPhoto));
    ASSERT_TRUE(QFileInfo::exists(copiedPhoto));
    document->removeArtwork(sketch);
    EXPECT_FALSE(QFileInfo::exists(copiedPhoto));
    EXPECT_TRUE(QFileInfo::exists(originalPhoto));

    addArtwork(QStringLiteral("Only in the copy"));
    ASSERT_TRUE(succeeded(document->close()));
    ASSERT_EQ(original.artworks().size(), 2u);
    original.artworks().front()->hydrate();
    EXPECT_EQ(original.artworks().front()->notes(), QStringLiteral("unsaved note"))
        << "the save wrote every record";
    VelumarkDatabase copy;
    ASSERT_TRUE(succeeded(copy.readFromURL(target)));
    EXPECT_EQ(copy.artworks().size(), 2u);
}

namespace {

// A package of the bare minimum (a database file) with a marker file that tells it apart.
QString fakePackage(const QString &path, const QByteArray &marker)
{
    EXPECT_TRUE(QDir().mkdir(path));
    for (const char *name : {"velumark.db", "marker"}) {
        QFile file(QDir(path).filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(marker);
    }
    return path;
}

QByteArray markerOf(const QString &package)
{
    QFile file(QDir(package).filePath(QStringLiteral("marker")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(FileHandling, SaveAsWritesOnlyUnderACatalogueNameAndReplacesACatalogueOnlyWhenAsked)
{
    addArtwork(QStringLiteral("Harbour"));
    QString error;
    const auto refused = [&](const QString &target, ExistingCatalogue existing) {
        const Result<> saved = document->writeSafelyToURL(target, existing);
        error = saved.message();
        EXPECT_FALSE(saved) << target.toStdString();
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(target))) << error.toStdString();
        EXPECT_TRUE(DocumentPackage::samePath(document->packageFilename(), packagePath));
        EXPECT_TRUE(document->isOpen());
    };
    const QString unnamed = folder.filePath(QStringLiteral("Copy"));
    refused(unnamed, ExistingCatalogue::Replace);
    EXPECT_FALSE(QFileInfo::exists(unnamed));

    // Whatever is not a catalogue stays as it is, even when replacing was asked for.
    const QString notes = folder.filePath(QStringLiteral("Notes.vdb"));
    ASSERT_TRUE(QDir().mkdir(notes));
    QFile mine(QDir(notes).filePath(QStringLiteral("mine.txt")));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("keep me");
    mine.close();
    refused(notes, ExistingCatalogue::Replace);
    EXPECT_EQ(QDir(notes).entryList(QDir::Files), QStringList{QStringLiteral("mine.txt")});
    const QString text = folder.filePath(QStringLiteral("text.vdb"));
    QFile textFile(text);
    ASSERT_TRUE(textFile.open(QIODevice::WriteOnly));
    textFile.close();
    refused(text, ExistingCatalogue::Replace);
    EXPECT_TRUE(QFileInfo(text).isFile());

    // A catalogue: kept unless replacing was asked for, and never while another program has it.
    const QString other = folder.filePath(QStringLiteral("Other.vdb"));
    {
        VelumarkDatabase busy;
        ASSERT_TRUE(succeeded(busy.readFromURL(other)));
        refused(other, ExistingCatalogue::Keep);
        refused(other, ExistingCatalogue::Replace);
        EXPECT_TRUE(error.contains(QStringLiteral("open in another program"))) << error.toStdString();
        ASSERT_TRUE(succeeded(busy.close()));
    }
    refused(other, ExistingCatalogue::Keep);
    ASSERT_TRUE(succeeded(document->writeSafelyToURL(other, ExistingCatalogue::Replace)));
    EXPECT_TRUE(DocumentPackage::samePath(document->packageFilename(), other));
    ASSERT_TRUE(succeeded(document->close()));
    VelumarkDatabase replaced;
    ASSERT_TRUE(succeeded(replaced.readFromURL(other)));
    ASSERT_EQ(replaced.artworks().size(), 1u);
    EXPECT_EQ(replaced.artworks().front()->title(), QStringLiteral("Harbour"));
    EXPECT_TRUE(QDir(folder.path())
                    .entryList({QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty())
        << "nothing left beside the packages";
}

TEST(PackageDestination, TheNameHoldsAWholePackageBeforeAndAfterTheExchange)
{
    QTemporaryDir folder;
    const QString target = fakePackage(folder.filePath(QStringLiteral("Target.vdb")), "old");
    const QString staging = fakePackage(Leftovers::stagingPathFor(target), "new");
    EXPECT_EQ(QFileInfo(staging).absolutePath(), QFileInfo(target).absolutePath()) << "beside the target";
    // The moment between the two steps of a replacement: each name holds one whole package.
    ASSERT_TRUE(succeeded(PackageDestination::exchange(staging, target)));
    EXPECT_EQ(markerOf(target), "new");
    EXPECT_EQ(markerOf(staging), "old");
    EXPECT_TRUE(PackageDestination::isCataloguePackage(staging));

    const QString next = fakePackage(Leftovers::stagingPathFor(target), "newer");
    EXPECT_FALSE(PackageDestination::install(next, target, ExistingCatalogue::Keep));
    EXPECT_EQ(markerOf(target), "new");
    ASSERT_TRUE(succeeded(PackageDestination::install(next, target, ExistingCatalogue::Replace)));
    EXPECT_EQ(markerOf(target), "newer");
    EXPECT_FALSE(QFileInfo::exists(next)) << "the replaced package is removed";

    // Nothing to exchange with: nothing moves.
    const QString missing = folder.filePath(QStringLiteral("Missing.vdb"));
    EXPECT_FALSE(PackageDestination::exchange(staging, missing));
    EXPECT_EQ(markerOf(staging), "old");
    ASSERT_TRUE(succeeded(PackageDestination::install(staging, missing, ExistingCatalogue::Keep)));
    EXPECT_EQ(markerOf(missing), "old");
}

// The flush writes changed records in the order of their rows, whatever order the lists show.
TEST_F(FileHandling, FlushWritesEveryChangedRecordWhateverTheListOrder)
{
    // Titles in the opposite order of the keys: the artwork list runs against the table.
    Client *client = addClient(QStringLiteral("Gallery North"));
    std::vector<std::pair<Artwork *, Submission *>> rows;
    for (int i = 0; i < 30; ++i) {
        Artwork *artwork = addArtwork(QStringLiteral("Title %1").arg(99 - i, 2, 10, QLatin1Char('0')));
        rows.emplace_back(artwork, addSubmission(artwork, client, local(2020, 1, 1).addDays(i)));
    }
    Image *photo = catalogue->addPhoto(rows[0].first);
    ASSERT_TRUE(succeeded(document->saveChanges()));
    ASSERT_EQ(document->artworks().front()->title(), QStringLiteral("Title 70"));

    for (int i = 0; i < 30; i += 3) {
        const auto &[artwork, submission] = rows[static_cast<size_t>(i)];
        artwork->setNotes(QStringLiteral("notes %1").arg(i));
        artwork->setPrice(100 + i);
        submission->setIncome(10 + i);
    }
    client->setCommission(15);
    photo->setCaption(QStringLiteral("In fog"));
    ASSERT_TRUE(succeeded(document->saveChanges()));
    for (const auto &artwork : document->artworks())
        EXPECT_FALSE(artwork->isDirty());

    reopen();
    for (const auto &artwork : document->artworks()) {
        const int i = 99 - artwork->title().mid(6).toInt();
        ASSERT_EQ(artwork->hydrate(), 0);
        ASSERT_EQ(artwork->submissions().size(), 1u);
        EXPECT_EQ(artwork->notes(), i % 3 ? QString() : QStringLiteral("notes %1").arg(i));
        EXPECT_EQ(artwork->price(), i % 3 ? 0.0 : 100.0 + i);
        EXPECT_EQ(artwork->submissions().front()->income(), i % 3 ? 0.0 : 10.0 + i);
    }
    ASSERT_EQ(document->clients().front()->hydrate(), 0);
    EXPECT_EQ(document->clients().front()->commission(), 15.0);
    ASSERT_EQ(document->images().front()->hydrate_caption(), 0);
    EXPECT_EQ(document->images().front()->caption(), QStringLiteral("In fog"));
}

// The rows written before the failing one are rolled back with it: their edits must be kept too.
TEST_F(FileHandling, AFailedFlushKeepsEveryEditAndTheConnection)
{
    std::vector<Artwork *> edited;
    for (const char *title : {"Cedar", "Birch", "Alder"}) {
        edited.push_back(addArtwork(QString::fromLatin1(title)));
        edited.back()->setNotes(QStringLiteral("edited %1").arg(QLatin1String(title)));
    }
    Artwork *last = edited.back();
    last->setTitle(QStringLiteral("Alder at Dusk"));
    ASSERT_TRUE(document->database()->exec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON artwork WHEN OLD.pk = %1 BEGIN "
                       "SELECT RAISE(ABORT, 'disk says no'); END")
            .arg(last->primaryKey())));
    const Result<> refused = document->close();
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.message().contains(QStringLiteral("disk says no")))
        << refused.message().toStdString();
    EXPECT_TRUE(document->isOpen());
    for (const Artwork *artwork : edited)
        EXPECT_TRUE(artwork->isDirty()) << artwork->title().toStdString();
    ASSERT_TRUE(document->database()->exec("DROP TRIGGER refuse"));
    ASSERT_TRUE(succeeded(document->close()));
    reopen();
    QStringList stored;
    for (const auto &artwork : document->artworks()) {
        ASSERT_EQ(artwork->hydrate(), 0);
        stored << artwork->title() + QLatin1Char(':') + artwork->notes();
    }
    EXPECT_EQ(stored.join(QLatin1Char(',')),
              QStringLiteral("Alder at Dusk:edited Alder,Birch:edited Birch,Cedar:edited Cedar"));
}

TEST_F(FileHandling, BadPackagesFailClearly)
{
    auto databaseIn = [&](const char *package) {
        EXPECT_TRUE(QDir().mkdir(folder.filePath(QString::fromUtf8(package))));
        return folder.filePath(QString::fromUtf8(package) + QStringLiteral("/velumark.db"));
    };
    auto failure = [](const QString &database) {
        VelumarkDatabase doc;
        const Result<> opened = doc.readFromURL(QFileInfo(database).path());
        EXPECT_FALSE(opened);
        return opened.message().toStdString();
    };
    const QString empty = databaseIn("Empty.vdb");
    EXPECT_NE(failure(empty).find("velumark.db"), std::string::npos) << failure(empty);
    EXPECT_FALSE(QFileInfo::exists(empty)) << "no stray empty file";

    QFile junk(databaseIn("Junk.vdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'j'));
    junk.close();
    EXPECT_FALSE(failure(junk.fileName()).empty());

    const QString partial = databaseIn("Partial.vdb");
    ASSERT_TRUE(succeeded(DatabaseFile::copyTemplate(partial)));
    ASSERT_TRUE(SqliteConnection::open(partial)->exec("DROP TABLE client"));
    EXPECT_NE(failure(partial).find("client"), std::string::npos) << failure(partial);

    // A version row naming no version: the file is named with the reason, and left as it was.
    for (const char *version : {"0", "-1", "'abc'"}) {
        const QString odd =
            databaseIn(QStringLiteral("Version%1.vdb").arg(QLatin1String(version)).toUtf8().constData());
        ASSERT_TRUE(succeeded(DatabaseFile::copyTemplate(odd)));
        ASSERT_TRUE(SqliteConnection::open(odd)->exec(
            QStringLiteral("INSERT INTO version (version_num) VALUES (%1)").arg(QLatin1String(version))));
        const QByteArray before = [&] {
            QFile file(odd);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const std::string message = failure(odd);
        EXPECT_NE(message.find(odd.toStdString()), std::string::npos) << message;
        EXPECT_NE(message.find("its version is"), std::string::npos) << message;
        QFile after(odd);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), before);
    }
}

TEST(DatabaseFile, UpgradesRunInOneTransactionAndForeignFilesOfOlderVersionsPassTheirCheck)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v2.db"));
    test::buildVersion2Database(path);
    auto db = SqliteConnection::open(path);
    // The second script's update of the images is refused after its columns were added.
    ASSERT_TRUE(
        db->exec("CREATE TRIGGER refuse BEFORE UPDATE ON image BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const Result<DatabaseFile::Upgrade> failed = DatabaseFile::upgrade(*db, 2);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.message(), QStringLiteral("refused"));
    auto version = db->prepare("SELECT version_num FROM version");
    ASSERT_EQ(version->step(), SqliteStatement::Step::Row);
    EXPECT_EQ(version->columnInt64(0), 2) << "the file stays at its old version";
    version.reset();
    EXPECT_FALSE(db->prepare("SELECT type FROM image")) << "nothing of the failed script remains";

    // A file of an older version passes the check of a file to import, unless it is cut short or
    // of a newer version.
    const QString old = dir.filePath(QStringLiteral("v2.vdbi"));
    test::buildVersion2Database(old);
    EXPECT_TRUE(succeeded(DatabaseFile::verifyForeign(old)));
    EXPECT_FALSE(DatabaseFile::verify(old)) << "not of the current schema";
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.resize(file.size() / 2);
    file.close();
    EXPECT_FALSE(DatabaseFile::verifyForeign(old));
    // Versions no version of ours wrote, and versions of the future, in plain words.
    for (const auto &[stored, words] : {std::pair("4", "made by a newer version of Velumark"),
                                        {"99", "made by a newer version"},
                                        {"9223372036854775807", "made by a newer version"},
                                        {"0", "its version is 0, which no version"},
                                        {"-1", "its version is -1"},
                                        {"'three'", "\"three\", which is not a version number"},
                                        {"3.5", "\"3.5\", which is not a version number"}}) {
        const QString foreignFile = dir.filePath(QStringLiteral("v%1.vdbi").arg(QString::fromLatin1(stored)));
        auto foreign = SqliteConnection::open(foreignFile);
        ASSERT_TRUE(foreign->exec("CREATE TABLE version (pk INTEGER PRIMARY KEY, version_num INTEGER)"));
        ASSERT_TRUE(foreign->exec(QStringLiteral("INSERT INTO version (version_num) VALUES (%1)")
                                      .arg(QString::fromLatin1(stored))));
        foreign.reset();
        const Result<> verified = DatabaseFile::verifyForeign(foreignFile);
        EXPECT_FALSE(verified) << stored;
        EXPECT_TRUE(verified.message().contains(QString::fromUtf8(words)))
            << verified.message().toStdString();
    }
}

TEST(DatabaseFile, UpgradesAddOnlyTheColumnsAFileLacks)
{
    QTemporaryDir dir;
    // A version-1 interchange file carries the export header; a version-2 file already has some
    // of the image columns of version 3.
    const QString v1 = dir.filePath(QStringLiteral("v1.db"));
    test::buildVersion1Database(v1);
    ASSERT_TRUE(SqliteConnection::open(v1)->exec("ALTER TABLE version ADD COLUMN app_identifier INTEGER; "
                                                 "ALTER TABLE version ADD COLUMN num_artworks INTEGER; "
                                                 "ALTER TABLE version ADD COLUMN NUM_IMAGES INTEGER"));
    const QString v2 = dir.filePath(QStringLiteral("v2.db"));
    test::buildVersion2Database(v2);
    ASSERT_TRUE(SqliteConnection::open(v2)->exec("ALTER TABLE image ADD COLUMN caption TEXT; "
                                                 "ALTER TABLE image ADD COLUMN type INTEGER; "
                                                 "ALTER TABLE image ADD COLUMN extra TEXT"));
    for (const auto &[path, version] : {std::pair(v1, 1), {v2, 2}}) {
        SCOPED_TRACE(path.toStdString());
        auto db = SqliteConnection::open(path);
        ASSERT_TRUE(succeeded(DatabaseFile::upgrade(*db, version)));
        db.reset();
        EXPECT_TRUE(succeeded(DatabaseFile::verify(path)));
    }
}

TEST_F(FileHandling, UntitledDocumentsLiveInTheApplicationDataFolder)
{
    VelumarkDatabase untitled;
    ASSERT_TRUE(succeeded(untitled.openUntitled(QStringLiteral("Untitled 3"))));
    EXPECT_TRUE(untitled.unsavedDocument());
    EXPECT_TRUE(untitled.packageFilename().endsWith(QStringLiteral("/Velumark/Untitled 3.vdb")))
        << untitled.packageFilename().toStdString();
    const QString target = folder.filePath(QStringLiteral("Named.vdb"));
    ASSERT_TRUE(succeeded(untitled.writeSafelyToURL(target)));
    EXPECT_FALSE(untitled.unsavedDocument());
    ASSERT_TRUE(succeeded(untitled.close()));
}

// Deletions leave free pages behind; closing gives them back once they are more than a quarter of
// the file, and only then.
TEST_F(FileHandling, ClosingCompactsAFileThatDeletionsLeftMostlyFree)
{
    for (int i = 0; i < 200; ++i)
        addArtwork(QStringLiteral("Artwork %1").arg(i))->setNotes(QString(2000, QLatin1Char('n')));
    reopen();
    const QString file = document->dbFilename();
    const qint64 full = QFileInfo(file).size();

    // A few deletions: the freed pages stay in the file.
    for (int i = 0; i < 10; ++i)
        document->removeArtwork(document->artworks().front().get());
    reopen();
    EXPECT_EQ(QFileInfo(file).size(), full);

    while (document->artworks().size() > 20)
        document->removeArtwork(document->artworks().front().get());
    reopen();
    EXPECT_LT(QFileInfo(file).size(), full / 2);
    EXPECT_EQ(document->artworks().size(), 20u);
}
