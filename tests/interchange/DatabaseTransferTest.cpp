#include "interchange/DatabaseExport.h"
#include "interchange/DatabaseImport.h"
#include "store/DatabaseFile.h"
#include "store/VelumarkUtility.h"
#include "support/LegacyDatabases.h"
#include "support/OperationRunner.h"
#include "support/SampleCatalogue.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unordered_set>

using namespace velumark;

namespace {

test::OperationRun exportTo(VelumarkDatabase &document, const QString &destination, int scope,
                            double abortAt = -1)
{
    DatabaseExport operation(document, destination, scope);
    return test::runOperation(operation, abortAt);
}

test::OperationRun importFrom(VelumarkDatabase &document, DatabaseImport::Source source, const QString &path,
                              int scope, bool overwrite = false, double abortAt = -1)
{
    DatabaseImport operation(document, source, path, scope, overwrite);
    return test::runOperation(operation, abortAt);
}

const Artwork *artworkTitled(VelumarkDatabase &document, const QString &title)
{
    for (const auto &artwork : document.artworks()) {
        if (artwork->title() == title)
            return artwork.get();
    }
    return nullptr;
}

// Every image the document holds has its three files, and every link points at a stored record.
void expectConsistent(VelumarkDatabase &document)
{
    std::unordered_set<qint64> artworkKeys, clientKeys, imageKeys;
    for (const auto &a : document.artworks())
        artworkKeys.insert(a->primaryKey());
    for (const auto &c : document.clients())
        clientKeys.insert(c->primaryKey());
    for (const auto &i : document.images()) {
        imageKeys.insert(i->primaryKey());
        EXPECT_TRUE(QFileInfo::exists(i->photoFilePath())) << i->photoFilePath().toStdString();
        EXPECT_TRUE(QFileInfo::exists(i->thumbnailFilePath()));
        EXPECT_TRUE(QFileInfo::exists(i->croppedThumbnailFilePath()));
        EXPECT_EQ(i->linkedType(), Image::kOwnerArtwork);
        EXPECT_TRUE(artworkKeys.count(i->linkedKey()));
    }
    for (const auto &s : document.submissions()) {
        EXPECT_TRUE(artworkKeys.count(s->artworkKey()));
        EXPECT_TRUE(clientKeys.count(s->clientKey()));
        ASSERT_NE(s->artwork(), nullptr);
        EXPECT_EQ(s->artwork()->primaryKey(), s->artworkKey());
    }
    for (const auto &a : document.artworks()) {
        if (a->photoKey1() > 0) {
            EXPECT_TRUE(imageKeys.count(a->photoKey1()));
        }
    }
}

} // namespace

TEST(DatabaseTransfer, EveryScopeOfExportThenImportRenumbersKeys)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    // The first artwork names its photos through the old photo keys too.
    Artwork *harbour =
        const_cast<Artwork *>(artworkTitled(source.document(), QStringLiteral("Harbour at Dusk")));
    harbour->setPhotoKey1(harbour->images()[0]->primaryKey());
    harbour->setPhotoKey2(harbour->images()[1]->primaryKey());

    struct Expected
    {
        int scope;
        size_t artworks, clients, submissions, images;
    };
    for (const Expected e : {Expected{0, 2, 2, 3, 2}, Expected{1, 2, 2, 0, 2}, Expected{2, 2, 0, 0, 2},
                             Expected{3, 0, 2, 0, 0}}) {
        SCOPED_TRACE(e.scope);
        const QString file = source.folderPath(QStringLiteral("scope%1.vdbi").arg(e.scope));
        const test::OperationRun exported = exportTo(source.document(), file, e.scope);
        ASSERT_EQ(exported.result, OperationResult::Done) << exported.message.toStdString();
        QString error;
        ASSERT_TRUE(DatabaseFile::verify(file, &error)) << error.toStdString();

        test::SampleCatalogue target(QStringLiteral("Target"));
        Artwork *existing = target.addArtwork(QStringLiteral("Already here"));
        target.addPhoto(existing);
        target.addClient(QStringLiteral("Existing Client"));
        const test::OperationRun imported =
            importFrom(target.document(), DatabaseImport::Source::InterchangeFile, file, e.scope);
        ASSERT_EQ(imported.result, OperationResult::Done) << imported.message.toStdString();
        VelumarkDatabase &doc = target.document();
        EXPECT_EQ(doc.artworks().size(), 1 + e.artworks);
        EXPECT_EQ(doc.clients().size(), 1 + e.clients);
        EXPECT_EQ(doc.submissions().size(), e.submissions);
        EXPECT_EQ(doc.images().size(), 1 + e.images);
        expectConsistent(doc);
        if (e.scope != 3) {
            const Artwork *copy = artworkTitled(doc, QStringLiteral("Harbour at Dusk"));
            ASSERT_NE(copy, nullptr);
            ASSERT_EQ(copy->images().size(), 2u);
            EXPECT_EQ(copy->photoKey1(), copy->images()[0]->primaryKey());
            EXPECT_EQ(copy->photoKey2(), copy->images()[1]->primaryKey());
            EXPECT_EQ(copy->images()[1]->thumbnail().isNull(), true) << "pictures are loaded only on demand";
        }
        if (e.scope == 0) {
            const Artwork *copy = artworkTitled(doc, QStringLiteral("Harbour at Dusk"));
            EXPECT_EQ(copy->submissions().size(), 2u);
            EXPECT_EQ(copy->totalIncome(), 950);
        }
        target.reopen();
        expectConsistent(target.document());
    }
}

TEST(DatabaseTransfer, MediumsAndArtistsAreNotImportedTwice)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    source.addMedium(QStringLiteral("oil"));
    source.addArtist(QStringLiteral("carla ruiz"));
    const QString file = source.folderPath(QStringLiteral("all.vdbi"));
    ASSERT_EQ(exportTo(source.document(), file, 0).result, OperationResult::Done);

    test::SampleCatalogue target(QStringLiteral("Target"));
    target.addArtist(QStringLiteral("Ann Lee"));
    ASSERT_EQ(importFrom(target.document(), DatabaseImport::Source::InterchangeFile, file, 0).result,
              OperationResult::Done);
    QStringList mediums, artists;
    for (const auto &m : target.document().mediums())
        mediums << m->name();
    for (const auto &a : target.document().artists())
        artists << a->name();
    EXPECT_EQ(mediums.count(QStringLiteral("Oil")), 1);
    EXPECT_FALSE(mediums.contains(QStringLiteral("oil"))) << "a medium equal under the locale is skipped";
    EXPECT_EQ(mediums.count(QStringLiteral("Encaustic")), 1);
    EXPECT_TRUE(artists.contains(QStringLiteral("Carla Ruiz"))) << "imported artists are capitalized";
    EXPECT_EQ(artists.filter(QStringLiteral("ann lee"), Qt::CaseInsensitive).size(), 1);
    EXPECT_TRUE(artists.contains(QStringLiteral("Bob Marsh"))) << "artworks' artists become artists";
}

TEST(DatabaseTransfer, CompleteRestoreReplacesRecordsAndOldPictures)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    const QString file = source.folderPath(QStringLiteral("backup.vdbi"));
    ASSERT_EQ(exportTo(source.document(), file, 0).result, OperationResult::Done);

    test::SampleCatalogue target(QStringLiteral("Target"));
    Artwork *old = target.addArtwork(QStringLiteral("Old work"));
    for (int i = 0; i < 4; ++i)
        target.addPhoto(old);
    QStringList oldFiles;
    for (const Image *image : old->images())
        oldFiles << image->photoFilePath();
    const test::OperationRun restored =
        importFrom(target.document(), DatabaseImport::Source::InterchangeFile, file, 0, true);
    ASSERT_EQ(restored.result, OperationResult::Done) << restored.message.toStdString();
    VelumarkDatabase &doc = target.document();
    EXPECT_EQ(doc.artworks().size(), 2u);
    EXPECT_EQ(artworkTitled(doc, QStringLiteral("Old work")), nullptr);
    EXPECT_EQ(doc.images().size(), 2u);
    expectConsistent(doc);
    for (const QString &f : oldFiles)
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    const QStringList jpgs = QDir(target.packagePath()).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    EXPECT_EQ(jpgs.size(), 6) << jpgs.join(QLatin1Char(' ')).toStdString();
}

TEST(DatabaseTransfer, PackagesCarryPictureFilesExceptForClients)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    const QString artworksOnly = source.folderPath(QStringLiteral("Artworks.vdb"));
    ASSERT_EQ(exportTo(source.document(), artworksOnly, 2).result, OperationResult::Done);
    EXPECT_EQ(QDir(artworksOnly).entryList({QStringLiteral("*.jpg")}, QDir::Files).size(), 6);
    const QString clientsOnly = source.folderPath(QStringLiteral("Clients.vdb"));
    ASSERT_EQ(exportTo(source.document(), clientsOnly, 3).result, OperationResult::Done);
    EXPECT_TRUE(QDir(clientsOnly).entryList({QStringLiteral("*.jpg")}, QDir::Files).isEmpty());

    test::SampleCatalogue target(QStringLiteral("Target"));
    const test::OperationRun imported =
        importFrom(target.document(), DatabaseImport::Source::Package, artworksOnly, 2);
    ASSERT_EQ(imported.result, OperationResult::Done) << imported.message.toStdString();
    EXPECT_EQ(target.document().images().size(), 2u);
    expectConsistent(target.document());
    EXPECT_EQ(QDir(artworksOnly).entryList({QStringLiteral("*.jpg")}, QDir::Files).size(), 6)
        << "the source package is left as it was";
}

TEST(DatabaseTransfer, OlderFilesAreUpgradedWithTheirPictures)
{
    for (int version : {1, 2}) {
        SCOPED_TRACE(version);
        test::SampleCatalogue target(QStringLiteral("Target"));
        const QString file = target.folderPath(QStringLiteral("old%1.vdbi").arg(version));
        if (version == 1)
            test::buildVersion1Database(file);
        else
            test::buildVersion2Database(file);
        const QByteArray before = [&] {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        const test::OperationRun imported =
            importFrom(target.document(), DatabaseImport::Source::InterchangeFile, file, 0);
        ASSERT_EQ(imported.result, OperationResult::Done) << imported.message.toStdString();
        const Artwork *harbour = artworkTitled(target.document(), QStringLiteral("Harbour at Dusk"));
        ASSERT_NE(harbour, nullptr);
        EXPECT_EQ(harbour->images().size(), 2u) << "old pictures come with their artwork";
        EXPECT_EQ(harbour->submissions().size(), 1u);
        expectConsistent(target.document());
        QFile after(file);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), before) << "the chosen file itself is never changed";
    }
}

TEST(DatabaseTransfer, CancelLeavesEverythingAsItWas)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    for (int i = 0; i < 30; ++i)
        source.addArtwork(QStringLiteral("Extra %1").arg(i));
    const QString file = source.folderPath(QStringLiteral("all.vdbi"));
    const test::OperationRun cancelledExport = exportTo(source.document(), file, 0, 0);
    EXPECT_EQ(cancelledExport.result, OperationResult::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(file));
    const QString package = source.folderPath(QStringLiteral("Copy.vdb"));
    EXPECT_EQ(exportTo(source.document(), package, 0, 0).result, OperationResult::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(package));
    EXPECT_TRUE(QDir(source.folderPath(QString()))
                    .entryList({QStringLiteral(".*partial*")}, QDir::AllEntries | QDir::Hidden)
                    .isEmpty());

    ASSERT_EQ(exportTo(source.document(), file, 0).result, OperationResult::Done);
    test::SampleCatalogue target(QStringLiteral("Target"));
    target.addArtwork(QStringLiteral("Mine"));
    const test::OperationRun cancelledImport =
        importFrom(target.document(), DatabaseImport::Source::InterchangeFile, file, 0, false, 10);
    EXPECT_EQ(cancelledImport.result, OperationResult::Cancelled);
    EXPECT_EQ(target.document().artworks().size(), 1u);
    EXPECT_EQ(target.count("artwork"), 1);
    EXPECT_EQ(QDir(target.packagePath()).entryList({QStringLiteral("*.jpg")}, QDir::Files).size(), 0);
    EXPECT_FALSE(target.document().isOperationRunning());
    EXPECT_TRUE(
        QDir(VelumarkUtility::cacheFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty())
        << "temporary files are gone after a cancel";
}

TEST(DatabaseTransfer, BadForeignFilesFailAndChangeNothing)
{
    test::SampleCatalogue target(QStringLiteral("Target"));
    target.addArtwork(QStringLiteral("Mine"));
    auto write = [&](const QString &name, const QByteArray &bytes) {
        const QString path = target.folderPath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    };
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    const QString good = source.folderPath(QStringLiteral("good.vdbi"));
    ASSERT_EQ(exportTo(source.document(), good, 0).result, OperationResult::Done);
    QFile goodFile(good);
    goodFile.open(QIODevice::ReadOnly);
    const QByteArray bytes = goodFile.readAll();

    const QString noVersion = target.folderPath(QStringLiteral("noversion.vdbi"));
    QFile::copy(good, noVersion);
    SqliteConnection::open(noVersion)->exec("DELETE FROM version");
    const QString noCounts = target.folderPath(QStringLiteral("nocounts.vdbi"));
    DatabaseFile::copyTemplate(noCounts, nullptr);
    {
        auto db = SqliteConnection::open(noCounts);
        db->exec("DROP TABLE version");
        db->exec("CREATE TABLE version (pk INTEGER PRIMARY KEY, version_num INTEGER, creation_date REAL)");
        db->exec("INSERT INTO version (version_num) VALUES (3)");
    }
    const QString hostile = target.folderPath(QStringLiteral("hostile.vdbi"));
    QFile::copy(good, hostile);
    {
        auto db = SqliteConnection::open(hostile);
        db->exec("UPDATE artwork SET title = 'x''); DROP TABLE artwork; --', notes = zeroblob(0)");
        db->exec("UPDATE image SET photo = X'00112233', thumbnail = X'FFD8FF00'");
        db->exec("UPDATE version SET num_images = -5, num_artworks = 9223372036854775807");
    }

    for (const QString &path : {write(QStringLiteral("text.vdbi"), "this is not a database"),
                                write(QStringLiteral("truncated.vdbi"), bytes.left(bytes.size() / 3)),
                                noVersion, noCounts, target.folderPath(QStringLiteral("missing.vdbi"))}) {
        SCOPED_TRACE(path.toStdString());
        const test::OperationRun run =
            importFrom(target.document(), DatabaseImport::Source::InterchangeFile, path, 0);
        EXPECT_EQ(run.result, OperationResult::Failed);
        EXPECT_FALSE(run.message.isEmpty());
        EXPECT_EQ(target.document().artworks().size(), 1u);
        EXPECT_EQ(target.count("artwork"), 1);
    }
    const test::OperationRun run =
        importFrom(target.document(), DatabaseImport::Source::InterchangeFile, hostile, 0);
    ASSERT_EQ(run.result, OperationResult::Done) << run.message.toStdString();
    EXPECT_EQ(target.document().artworks().size(), 3u);
    EXPECT_NE(artworkTitled(target.document(), QStringLiteral("x'); DROP TABLE artwork; --")), nullptr);
    EXPECT_EQ(target.document().images().size(), 2u) << "rows whose blobs are not pictures still import";
    EXPECT_TRUE(
        QDir(VelumarkUtility::cacheFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty())
        << "temporary files are gone after failures and successes";
}

TEST(DatabaseTransfer, OneOperationAtATimeAndNoExportIntoTheOpenPackage)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    DatabaseExport first(source.document(), source.folderPath(QStringLiteral("a.vdbi")), 0);
    QString error;
    ASSERT_TRUE(first.start(&error)) << error.toStdString();
    DatabaseExport second(source.document(), source.folderPath(QStringLiteral("b.vdbi")), 0);
    EXPECT_FALSE(second.start(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("Another import or export"))) << error.toStdString();
    test::runOperation(second);
    QEventLoop loop;
    QObject::connect(&first, &LongOperation::finished, &loop, &QEventLoop::quit);
    if (first.isRunning())
        loop.exec();
    EXPECT_EQ(first.result(), OperationResult::Done);

    DatabaseExport inside(source.document(), QDir(source.packagePath()).filePath(QStringLiteral("x.vdbi")),
                          0);
    EXPECT_FALSE(inside.start(&error));
    EXPECT_EQ(importFrom(source.document(), DatabaseImport::Source::Package, source.packagePath(), 0).started,
              false);
}
