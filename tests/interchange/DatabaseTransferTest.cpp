#include "document/ArtworkListController.h"
#include "document/SubmissionListController.h"
#include "interchange/DatabaseExport.h"
#include "interchange/DatabaseImport.h"
#include "store/DatabaseFile.h"
#include "store/StandardFolders.h"
#include "support/Files.h"
#include "support/LegacyDatabases.h"
#include "support/OperationRunner.h"
#include "support/SampleCatalogue.h"
#include "support/Succeeded.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <unordered_set>
#include <utility>

using namespace velumark;

namespace {

test::OperationRun exportTo(VelumarkDatabase &document, const QString &destination, TransferScope scope,
                            double abortAt = -1)
{
    DatabaseExport operation(document, destination, scope);
    return test::runOperation(operation, abortAt);
}

test::OperationRun importFrom(VelumarkDatabase &document, DatabaseImport::Source source, const QString &path,
                              TransferScope scope, bool overwrite = false, double abortAt = -1)
{
    DatabaseImport operation(document, source, path, scope, overwrite);
    return test::runOperation(operation, abortAt);
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

// Every submission as "artwork title/client company", sorted.
QString submissionLinks(const VelumarkDatabase &document)
{
    QStringList links;
    for (const auto &s : document.submissions())
        links << (s->artwork() ? s->artwork()->title() : QString()) + u'/' +
                     (s->client() ? s->client()->company() : QString());
    links.sort();
    return links.join(u',');
}

qsizetype jpegCount(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files).size();
}

bool cacheIsEmpty()
{
    return QDir(StandardFolders::cacheFolder()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace

// Every scope, to an interchange file and to a package, into a catalogue that has records of its
// own (or in place of them): the copies get new keys and keep their links, photos and their older
// photo keys. The catalogue holds more clients than artworks, so that the two kinds of key are
// renumbered differently.
TEST(DatabaseTransfer, EveryScopeOfExportThenImportRenumbersKeys)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    source.addMedium(QStringLiteral("oil"));
    source.addArtist(QStringLiteral("carla ruiz"));
    Artwork *harbour = test::artworkTitled(source.document(), QStringLiteral("Harbour at Dusk"));
    harbour->setPhotoKey1(harbour->images()[0]->primaryKey());
    harbour->setPhotoKey2(harbour->images()[1]->primaryKey());

    struct Expected
    {
        TransferScope scope;
        bool restore; // a complete restore replaces what the catalogue held
        size_t artworks, clients, submissions, images;
    };
    for (const Expected e : {Expected{TransferScope::Complete, false, 2, 2, 3, 2},
                             Expected{TransferScope::ArtworksAndClients, false, 2, 2, 0, 2},
                             Expected{TransferScope::Artworks, false, 2, 0, 0, 2},
                             Expected{TransferScope::Clients, false, 0, 2, 0, 0},
                             Expected{TransferScope::Complete, true, 2, 2, 3, 2}}) {
        for (const bool package : {false, true}) {
            const QString file = source.folderPath(QStringLiteral("scope%1-%2.%3")
                                                       .arg(static_cast<int>(e.scope))
                                                       .arg(e.restore)
                                                       .arg(QLatin1String(package ? "vdb" : "vdbi")));
            SCOPED_TRACE(file.toStdString());
            const test::OperationRun exported = exportTo(source.document(), file, e.scope);
            ASSERT_EQ(exported.result, OperationResult::Done) << exported.message.toStdString();
            EXPECT_TRUE(
                succeeded(DatabaseFile::verify(package ? file + QStringLiteral("/velumark.db") : file)));

            test::SampleCatalogue target(QStringLiteral("Target"));
            const QString oldPhoto =
                target.addPhoto(target.addArtwork(QStringLiteral("Already here")))->photoFilePath();
            target.addClient(QStringLiteral("Existing Client"));
            target.addClient(QStringLiteral("Other Client"));
            target.addArtist(QStringLiteral("Ann Lee"));
            const test::OperationRun imported = importFrom(target.document(),
                                                           package ? DatabaseImport::Source::Package
                                                                   : DatabaseImport::Source::InterchangeFile,
                                                           file, e.scope, e.restore);
            ASSERT_EQ(imported.result, OperationResult::Done) << imported.message.toStdString();
            VelumarkDatabase &doc = target.document();
            const size_t kept = e.restore ? 0 : 1;
            EXPECT_EQ(doc.artworks().size(), kept + e.artworks);
            EXPECT_EQ(doc.clients().size(), 2 * kept + e.clients);
            EXPECT_EQ(doc.submissions().size(), e.submissions);
            EXPECT_EQ(doc.images().size(), kept + e.images);
            expectConsistent(doc);
            EXPECT_EQ(QFileInfo::exists(oldPhoto), !e.restore);
            EXPECT_EQ(jpegCount(target.packagePath()), qsizetype(doc.images().size() * 3));
            if (package) {
                EXPECT_EQ(jpegCount(file), qsizetype(e.images * 3))
                    << "pictures of the artworks alone, left in the source package";
            }
            if (e.scope != TransferScope::Clients) {
                EXPECT_NE(doc.mediumWithName(QStringLiteral("Encaustic")), nullptr)
                    << "the mediums of imported artworks are offered";
                const Artwork *copy = test::artworkTitled(doc, QStringLiteral("Harbour at Dusk"));
                ASSERT_NE(copy, nullptr);
                ASSERT_EQ(copy->images().size(), 2u);
                EXPECT_EQ(copy->photoKey1(), copy->images()[0]->primaryKey());
                EXPECT_EQ(copy->photoKey2(), copy->images()[1]->primaryKey());
                EXPECT_TRUE(copy->images()[1]->thumbnail().isNull()) << "pictures are loaded only on demand";
            }
            if (e.scope == TransferScope::Complete) {
                const Artwork *copy = test::artworkTitled(doc, QStringLiteral("Harbour at Dusk"));
                EXPECT_EQ(copy->submissions().size(), 2u);
                EXPECT_EQ(copy->totalIncome(), 950);
                EXPECT_EQ(submissionLinks(doc).toStdString(),
                          "Dunes/Gallery North,Harbour at Dusk/Art Fair,Harbour at Dusk/Gallery North");
            }
            if (e.scope == TransferScope::Complete && !e.restore) {
                // Mediums and artists equal under the locale are not added twice; imported artists
                // are capitalized, and the artists of artworks become artists.
                QStringList names;
                for (const auto &m : doc.mediums())
                    names << m->name();
                for (const auto &a : doc.artists())
                    names << a->name();
                names.sort(Qt::CaseInsensitive);
                const QRegularExpression ours(
                    QStringLiteral("^(ann lee|bob marsh|carla ruiz|encaustic|oil)$"),
                    QRegularExpression::CaseInsensitiveOption);
                EXPECT_EQ(names.filter(ours).join(u',').toStdString(),
                          "Ann Lee,Bob Marsh,Carla Ruiz,Encaustic,Oil");
            }
            target.reopen();
            expectConsistent(target.document());
        }
    }
}

TEST(DatabaseTransfer, OlderFilesAreUpgradedWithTheirPictures)
{
    for (const auto build : {&test::buildVersion1Database, &test::buildVersion2Database}) {
        SCOPED_TRACE(build == &test::buildVersion1Database ? "version 1" : "version 2");
        test::SampleCatalogue target(QStringLiteral("Target"));
        const QString file = target.folderPath(QStringLiteral("old.vdbi"));
        build(file);
        const QByteArray before = test::readFile(file);
        const test::OperationRun imported = importFrom(
            target.document(), DatabaseImport::Source::InterchangeFile, file, TransferScope::Complete);
        ASSERT_EQ(imported.result, OperationResult::Done) << imported.message.toStdString();
        const Artwork *harbour = test::artworkTitled(target.document(), QStringLiteral("Harbour at Dusk"));
        ASSERT_NE(harbour, nullptr);
        EXPECT_EQ(harbour->images().size(), 2u) << "old pictures come with their artwork";
        EXPECT_EQ(harbour->submissions().size(), 1u);
        expectConsistent(target.document());
        EXPECT_EQ(test::readFile(file), before) << "the chosen file itself is never changed";
    }
}

TEST(DatabaseTransfer, CancelLeavesEverythingAsItWas)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    for (int i = 0; i < 30; ++i)
        source.addArtwork(QStringLiteral("Extra %1").arg(i));
    const QString file = source.folderPath(QStringLiteral("all.vdbi"));
    for (const QString &destination : {file, source.folderPath(QStringLiteral("Copy.vdb"))}) {
        EXPECT_EQ(exportTo(source.document(), destination, TransferScope::Complete, 0).result,
                  OperationResult::Cancelled);
        EXPECT_FALSE(QFileInfo::exists(destination));
    }
    EXPECT_TRUE(QDir(source.folderPath(QString()))
                    .entryList({QStringLiteral(".*partial*")}, QDir::AllEntries | QDir::Hidden)
                    .isEmpty());

    ASSERT_EQ(exportTo(source.document(), file, TransferScope::Complete).result, OperationResult::Done);
    test::SampleCatalogue target(QStringLiteral("Target"));
    target.addArtwork(QStringLiteral("Mine"));
    EXPECT_EQ(importFrom(target.document(), DatabaseImport::Source::InterchangeFile, file,
                         TransferScope::Complete, false, 10)
                  .result,
              OperationResult::Cancelled);
    EXPECT_EQ(target.document().artworks().size(), 1u);
    EXPECT_EQ(target.count("artwork"), 1);
    EXPECT_EQ(jpegCount(target.packagePath()), 0);
    EXPECT_FALSE(target.document().isOperationRunning());
    EXPECT_TRUE(cacheIsEmpty()) << "temporary files are gone after a cancel";
}

TEST(DatabaseTransfer, BadForeignFilesFailAndChangeNothing)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    const QString good = source.folderPath(QStringLiteral("good.vdbi"));
    ASSERT_EQ(exportTo(source.document(), good, TransferScope::Complete).result, OperationResult::Done);
    test::SampleCatalogue target(QStringLiteral("Target"));
    target.addArtwork(QStringLiteral("Mine"));
    // Copies of the good file, changed by SQL.
    const auto altered = [&](const QString &name, std::initializer_list<const char *> statements) {
        const QString path = target.folderPath(name);
        QFile::copy(good, path);
        auto db = SqliteConnection::open(path);
        for (const char *sql : statements)
            EXPECT_TRUE(db->exec(sql)) << sql;
        return path;
    };
    const auto written = [&](const QString &name, const QByteArray &bytes) {
        const QString path = target.folderPath(name);
        EXPECT_TRUE(test::writeFile(path, bytes));
        return path;
    };
    const QByteArray bytes = test::readFile(good);

    for (const QString &path :
         {written(QStringLiteral("text.vdbi"), "this is not a database"),
          written(QStringLiteral("truncated.vdbi"), bytes.left(bytes.size() / 3)),
          altered(QStringLiteral("noversion.vdbi"), {"DELETE FROM version"}),
          altered(QStringLiteral("nocounts.vdbi"),
                  {"DROP TABLE version",
                   "CREATE TABLE version (pk INTEGER PRIMARY KEY, version_num INTEGER, creation_date REAL)",
                   "INSERT INTO version (version_num) VALUES (3)"}),
          target.folderPath(QStringLiteral("missing.vdbi"))}) {
        SCOPED_TRACE(path.toStdString());
        const test::OperationRun run = importFrom(target.document(), DatabaseImport::Source::InterchangeFile,
                                                  path, TransferScope::Complete);
        EXPECT_EQ(run.result, OperationResult::Failed);
        EXPECT_FALSE(run.message.isEmpty());
        EXPECT_EQ(target.document().artworks().size(), 1u);
        EXPECT_EQ(target.count("artwork"), 1);
    }
    // Files of versions to come, of no version, and damaged where an artworks import does not
    // read: refused by name with the reason, in every scope. (Every version the check refuses is
    // tried in the database file's own test.)
    const QString damaged = altered(QStringLiteral("damaged.vdbi"), {});
    {
        auto db = SqliteConnection::open(damaged, SqliteConnection::Mode::ReadOnly);
        auto page = db->prepare("SELECT (SELECT rootpage FROM sqlite_master WHERE name = 'submission'), "
                                "(SELECT page_size FROM pragma_page_size)");
        ASSERT_EQ(page->step(), SqliteStatement::Step::Row);
        const qint64 offset = (page->columnInt64(0) - 1) * page->columnInt64(1);
        page.reset();
        db.reset();
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(offset));
        file.write(QByteArray(16, '\xFF'));
    }
    for (const auto &[path, reason] :
         {std::pair(altered(QStringLiteral("v99.vdbi"), {"UPDATE version SET version_num = 99"}),
                    "newer version"),
          {altered(QStringLiteral("vtext.vdbi"), {"UPDATE version SET version_num = 'x'"}),
           "not a version number"},
          {damaged, ""}}) {
        SCOPED_TRACE(path.toStdString());
        const test::OperationRun run = importFrom(target.document(), DatabaseImport::Source::InterchangeFile,
                                                  path, TransferScope::Artworks);
        EXPECT_EQ(run.result, OperationResult::Failed);
        EXPECT_TRUE(run.message.contains(QDir::toNativeSeparators(path)) &&
                    run.message.contains(QLatin1String(reason)))
            << run.message.toStdString();
        EXPECT_EQ(target.count("artwork"), 1);
    }
    const QString hostile =
        altered(QStringLiteral("hostile.vdbi"),
                {"UPDATE artwork SET title = 'x''); DROP TABLE artwork; --', notes = zeroblob(0)",
                 "UPDATE image SET photo = X'00112233', thumbnail = X'FFD8FF00'",
                 "UPDATE version SET num_images = -5, num_artworks = 9223372036854775807"});
    const test::OperationRun run = importFrom(target.document(), DatabaseImport::Source::InterchangeFile,
                                              hostile, TransferScope::Complete);
    ASSERT_EQ(run.result, OperationResult::Done) << run.message.toStdString();
    EXPECT_EQ(target.document().artworks().size(), 3u);
    EXPECT_NE(test::artworkTitled(target.document(), QStringLiteral("x'); DROP TABLE artwork; --")), nullptr);
    EXPECT_EQ(target.document().images().size(), 2u) << "rows whose blobs are not pictures still import";
    EXPECT_TRUE(cacheIsEmpty()) << "temporary files are gone after failures and successes";
}

// Photo files missing, empty or not files: both kinds of export carry the rest and name those,
// with the reason, without blaming the destination.
TEST(DatabaseTransfer, ExportsLeaveOutPhotosThatCannotBeReadAndSaySo)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    Artwork *harbour = source.addArtwork(QStringLiteral("Harbour"));
    const Image *whole = source.addPhoto(harbour);
    const Image *missing = source.addPhoto(harbour);
    const Image *empty = source.addPhoto(source.addArtwork(QStringLiteral("Dunes")));
    const Image *folderPhoto = source.addPhoto(source.addArtwork(QStringLiteral("Moon")));
    ASSERT_TRUE(QFile::remove(missing->photoFilePath()));
    ASSERT_TRUE(QFile(empty->thumbnailFilePath()).resize(0));
    ASSERT_TRUE(QFile::remove(folderPhoto->photoFilePath()) && QDir().mkdir(folderPhoto->photoFilePath()));
    const QStringList problems{
        QStringLiteral("%1: the file is missing (a photo of \"Harbour\")").arg(missing->photoFilePath()),
        QStringLiteral("%1: the file is empty (a photo of \"Dunes\")").arg(empty->thumbnailFilePath()),
        QStringLiteral("%1: it is not a file (a photo of \"Moon\")").arg(folderPhoto->photoFilePath())};

    for (const char *name : {"photos.vdbi", "Photos.vdb"}) {
        SCOPED_TRACE(name);
        const QString destination = source.folderPath(QString::fromLatin1(name));
        const test::OperationRun run = exportTo(source.document(), destination, TransferScope::Complete);
        ASSERT_EQ(run.result, OperationResult::Done) << run.message.toStdString();
        for (const QString &problem : problems)
            EXPECT_TRUE(run.message.contains(problem)) << run.message.toStdString();
        EXPECT_FALSE(run.message.contains(destination)) << "the destination is not at fault";

        test::SampleCatalogue target(QStringLiteral("Target"));
        const test::OperationRun imported = importFrom(target.document(),
                                                       DatabaseExport::isInterchangePath(destination)
                                                           ? DatabaseImport::Source::InterchangeFile
                                                           : DatabaseImport::Source::Package,
                                                       destination, TransferScope::Complete);
        ASSERT_EQ(imported.result, OperationResult::Done) << imported.message.toStdString();
        const Artwork *copy = test::artworkTitled(target.document(), QStringLiteral("Harbour"));
        ASSERT_NE(copy, nullptr);
        ASSERT_FALSE(copy->images().empty());
        Image *picture = copy->images().front();
        ASSERT_EQ(picture->hydrate(), 0);
        EXPECT_EQ(picture->photo().size(), QImage(whole->photoFilePath()).size())
            << "the readable photo is there";
    }
}

TEST(DatabaseTransfer, OneOperationAtATimeAndNoExportIntoTheOpenPackage)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    DatabaseExport first(source.document(), source.folderPath(QStringLiteral("a.vdbi")),
                         TransferScope::Complete);
    ASSERT_TRUE(succeeded(first.start()));
    DatabaseExport second(source.document(), source.folderPath(QStringLiteral("b.vdbi")),
                          TransferScope::Complete);
    const Result<> refused = second.start();
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.message().contains(QStringLiteral("Another import or export")))
        << refused.message().toStdString();
    QEventLoop loop;
    QObject::connect(&first, &LongOperation::finished, &loop, &QEventLoop::quit);
    if (first.isRunning())
        loop.exec();
    EXPECT_EQ(first.result(), OperationResult::Done);

    DatabaseExport inside(source.document(), QDir(source.packagePath()).filePath(QStringLiteral("x.vdbi")),
                          TransferScope::Complete);
    EXPECT_FALSE(inside.start());
    EXPECT_FALSE(importFrom(source.document(), DatabaseImport::Source::Package, source.packagePath(),
                            TransferScope::Complete)
                     .started);
}

// The import's worker loads the records of the new file in the orders the lists had at its
// start; the document takes them over at the end. A list turned round meanwhile is sorted again,
// and a new file that cannot take the old one's place leaves the catalogue and its records in use.
TEST(DatabaseTransfer, TheDocumentTakesOverWhatTheWorkerLoaded)
{
    test::SampleCatalogue source(QStringLiteral("Source"));
    source.fillWithSamples();
    const QString file = source.folderPath(QStringLiteral("all.vdbi"));
    ASSERT_EQ(exportTo(source.document(), file, TransferScope::Complete).result, OperationResult::Done);

    test::SampleCatalogue target(QStringLiteral("Target"));
    Artwork *mine = target.addArtwork(QStringLiteral("Mine"));
    target.addSubmission(mine, target.addClient(QStringLiteral("Gallery")), QDateTime::currentDateTime());
    VelumarkDatabase &document = target.document();
    RecordList &submissions = *document.submissionListController();
    RecordList &artworks = *document.artworkListController();
    auto importWith = [&](const std::function<void(double)> &onProgress) {
        DatabaseImport operation(document, DatabaseImport::Source::InterchangeFile, file,
                                 TransferScope::Complete, false);
        QObject::connect(&operation, &LongOperation::progress, onProgress);
        return test::runOperation(operation);
    };

    artworks.setSortOrder(0, !artworks.isSortAscending());
    ASSERT_EQ(importWith([](double) {}).result, OperationResult::Done);
    EXPECT_FALSE(Artwork::isSortAscending());
    EXPECT_TRUE(
        std::is_sorted(document.artworks().begin(), document.artworks().end(),
                       [](const auto &a, const auto &b) { return a->compareTitleThenArtist(*b) < 0; }))
        << "the worker sorted the artworks in the list's direction";

    bool flipped = false;
    ASSERT_EQ(importWith([&](double) {
                  if (!std::exchange(flipped, true))
                      submissions.setSortOrder(0, !submissions.isSortAscending());
              }).result,
              OperationResult::Done);
    ASSERT_TRUE(flipped);
    ASSERT_EQ(document.submissions().size(), 7u);
    auto inListOrder = [](const auto &list) {
        return std::is_sorted(list.begin(), list.end(),
                              [](const auto &a, const auto &b) { return a->compareSubmission(*b) < 0; });
    };
    EXPECT_EQ(Submission::isSortAscending(), submissions.isSortAscending());
    EXPECT_TRUE(inListOrder(document.submissions()));
    for (const auto &artwork : document.artworks())
        EXPECT_TRUE(inListOrder(artwork->submissions())) << artwork->title().toStdString();

    const qsizetype artworksBefore = document.artworks().size();
    const QString staged =
        QDir(target.packagePath()).filePath(QString::fromLatin1(VelumarkDatabase::kImportStagingName));
    // The staged file goes after the worker loaded it and before it can take the catalogue's place.
    const test::OperationRun failed = importWith([&](double percent) {
        if (percent >= 100)
            QFile::remove(staged);
    });
    EXPECT_EQ(failed.result, OperationResult::Failed);
    EXPECT_TRUE(failed.message.contains(QStringLiteral("cannot replace"))) << failed.message.toStdString();
    EXPECT_EQ(document.artworks().size(), artworksBefore) << "the records of the catalogue stay";
    EXPECT_EQ(target.count("artwork"), static_cast<qint64>(artworksBefore));
    Artwork *kept = document.artworks().front().get();
    kept->setTitle(QStringLiteral("Edited after the failure"));
    document.updateArtwork(kept);
    ASSERT_TRUE(succeeded(document.saveChanges())) << "the records work on the catalogue's file again";
    target.reopen();
    EXPECT_NE(test::artworkTitled(target.document(), QStringLiteral("Edited after the failure")), nullptr);
}
