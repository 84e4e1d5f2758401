#include "DocumentFixture.h"
#include "document/DocumentPackage.h"
#include "document/DocumentRegistry.h"
#include "store/DatabaseError.h"
#include "support/ChildProcess.h"
#include "support/Files.h"
#include "support/ScratchDisk.h"
#include "support/Succeeded.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSysInfo>
#include <functional>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace velumark;
using PackageAccess = test::DocumentFixture;

namespace {

// Lock file contents as a process writes them: its id, its name, its host.
QByteArray lockInfo(qint64 pid)
{
    return QByteArray::number(pid) + "\nVelumark\n" + QSysInfo::machineHostName().toUtf8() + "\n";
}

} // namespace

TEST_F(PackageAccess, ALockNoRunningProcessHoldsNeverBlocksAndItsImportIsTidiedAway)
{
    const qint64 kept = catalogue->addPhoto(addArtwork(QStringLiteral("Harbour")))->primaryKey();
    ASSERT_TRUE(succeeded(document->close()));
    const QDir package(packagePath);
    const QString lock = package.filePath(QStringLiteral(".velumark.lock"));
    // Empty (killed between making and writing it), unreadable, and of a process that ended.
    for (const QByteArray &left :
         {QByteArray(), QByteArray("not a lock\n"), lockInfo(test::endedProcessId())}) {
        SCOPED_TRACE(left.toStdString());
        ASSERT_TRUE(test::writeFile(lock, left));
        // What an import killed before its end left in the package.
        ASSERT_TRUE(
            test::writeFile(package.filePath(QStringLiteral(".velumark.db.importing")), "half a database"));
        ASSERT_TRUE(
            test::writeFile(package.filePath(QStringLiteral("vl-999.jpg")), "a picture no row names"));
        VelumarkDatabase reopened;
        ASSERT_TRUE(succeeded(reopened.readFromURL(packagePath)));
        EXPECT_FALSE(reopened.isReadOnly());
        EXPECT_FALSE(package.exists(QStringLiteral(".velumark.db.importing")));
        EXPECT_FALSE(package.exists(QStringLiteral("vl-999.jpg")));
        EXPECT_TRUE(package.exists(QStringLiteral("vl-%1.jpg").arg(kept)));
        ASSERT_TRUE(succeeded(reopened.close()));
        EXPECT_FALSE(QFileInfo::exists(lock)) << "a clean close lets go";
    }
    // Without a lock left behind, nothing of the package is touched.
    ASSERT_TRUE(test::writeFile(package.filePath(QStringLiteral("vl-998.jpg")), "not ours to judge"));
    VelumarkDatabase clean;
    ASSERT_TRUE(succeeded(clean.readFromURL(packagePath)));
    EXPECT_TRUE(package.exists(QStringLiteral("vl-998.jpg")));
}

TEST_F(PackageAccess, ALockARunningProcessHoldsIsRefusedNamingThatProcess)
{
    VelumarkDatabase second;
    QString error = second.readFromURL(packagePath).message();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("(process %1)").arg(QCoreApplication::applicationPid())))
        << error.toStdString();
    // The registry knows the package by any spelling of its path.
    EXPECT_TRUE(DocumentRegistry::shared().isDatabaseLoaded(packagePath + QStringLiteral("/")));
    EXPECT_TRUE(DocumentRegistry::shared().isDatabaseLoaded(QFileInfo(packagePath).path() +
                                                            QStringLiteral("/./Studio.vdb")));
    EXPECT_FALSE(DocumentRegistry::shared().isDatabaseLoaded(folder.filePath(QStringLiteral("Other.vdb"))));
    ASSERT_TRUE(succeeded(document->close()));

    // A process that has made the lock file (and holds it) but not yet written who it is.
    QFile held(QDir(packagePath).filePath(QStringLiteral(".velumark.lock")));
    ASSERT_TRUE(held.open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered));
    ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
    std::thread owner([&held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        held.write(lockInfo(4242));
    });
    VelumarkDatabase third;
    error = third.readFromURL(packagePath).message();
    owner.join();
    EXPECT_TRUE(error.contains(QStringLiteral("(process 4242)"))) << error.toStdString();

    // One that never writes it, or writes nonsense, is still a running owner, and no made-up
    // number is shown.
    for (const QByteArray &written : {QByteArray(), lockInfo(0)}) {
        ASSERT_TRUE(held.resize(0));
        held.seek(0);
        held.write(written);
        VelumarkDatabase fourth;
        error = fourth.readFromURL(packagePath).message();
        EXPECT_TRUE(error.contains(QStringLiteral("another program")) &&
                    !error.contains(QStringLiteral("process 0")))
            << error.toStdString();
    }
    held.close();
    VelumarkDatabase fifth;
    EXPECT_TRUE(succeeded(fifth.readFromURL(packagePath)));
}

TEST_F(PackageAccess, AWriteProtectedCatalogueIsReadOnlyAndRefusesEveryChange)
{
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    addSubmission(artwork, addClient(QStringLiteral("Gallery North")), local(2024, 3, 1));
    catalogue->addPhoto(artwork);
    catalogue->addArtist(QStringLiteral("Ann Lee"));
    ASSERT_TRUE(succeeded(document->close()));
    const QString file = QDir(packagePath).filePath(QStringLiteral("velumark.db"));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = test::readFile(file);

    VelumarkDatabase readOnly;
    ASSERT_TRUE(succeeded(readOnly.readFromURL(packagePath)));
    EXPECT_TRUE(readOnly.isReadOnly());
    ASSERT_EQ(readOnly.artworks().size(), 1u);
    ASSERT_EQ(readOnly.images().size(), 1u);
    const QString reason = readOnly.checkEditable().message();
    EXPECT_TRUE(reason.contains(packagePath) && reason.contains(QStringLiteral("write-protected")))
        << reason.toStdString();

    Artwork *kept = readOnly.artworks().front().get();
    Client *client = readOnly.clients().front().get();
    Submission *submission = readOnly.submissions().front().get();
    Medium *medium = readOnly.mediums().front().get();
    Artist *artist = readOnly.artists().front().get();
    Image *image = readOnly.images().front().get();
    // Every kind of change is refused with the reason, before it touches the file or the lists.
    const auto refused = [&](const char *name, const std::function<void()> &change) {
        try {
            change();
            ADD_FAILURE() << name << " was not refused";
        } catch (const DatabaseError &refusal) {
            EXPECT_EQ(refusal.message(), reason) << name;
        }
    };
    refused("addArtwork", [&] { readOnly.addArtwork(std::make_unique<Artwork>()); });
    refused("updateArtwork", [&] { readOnly.updateArtwork(kept); });
    refused("removeArtwork", [&] { readOnly.removeArtwork(kept); });
    refused("addClient", [&] { readOnly.addClient(std::make_unique<Client>()); });
    refused("updateClient", [&] { readOnly.updateClient(client); });
    refused("removeClient", [&] { readOnly.removeClient(client); });
    refused("addSubmission", [&] { readOnly.addSubmission(std::make_unique<Submission>()); });
    refused("updateSubmission", [&] { readOnly.updateSubmission(submission); });
    refused("removeSubmission", [&] { readOnly.removeSubmission(submission); });
    refused("addMedium", [&] { readOnly.addMedium(std::make_unique<Medium>()); });
    refused("updateMedium", [&] { readOnly.updateMedium(); });
    refused("removeMedium", [&] { readOnly.removeMedium(medium); });
    refused("addArtist", [&] { readOnly.addArtist(std::make_unique<Artist>()); });
    refused("updateArtist", [&] { readOnly.updateArtist(); });
    refused("removeArtist", [&] { readOnly.removeArtist(artist); });
    refused("addImage", [&] { readOnly.addImage(std::make_unique<Image>()); });
    refused("removeImage", [&] { readOnly.removeImage(image); });
    EXPECT_EQ(readOnly.artworks().size() + readOnly.clients().size() + readOnly.submissions().size(), 3u);
    ASSERT_EQ(readOnly.images().size(), 1u);
    EXPECT_TRUE(QFileInfo::exists(readOnly.images().front()->photoFilePath()));
    ASSERT_TRUE(succeeded(readOnly.close()));
    EXPECT_EQ(test::readFile(file), before) << "not a byte of the file changed";
}

TEST_F(PackageAccess, APackageWhereNothingCanBeWrittenIsReadWithoutALock)
{
    addArtwork(QStringLiteral("Harbour"));
    ASSERT_TRUE(succeeded(document->close()));
    // Read-only media where the test may mount them; elsewhere a folder without write permission,
    // which root would write into all the same.
    test::ScratchDisk disk(4 << 20);
    QString media = folder.filePath(QStringLiteral("media"));
    if (disk.isMounted())
        media = disk.path();
    else if (::geteuid() == 0)
        GTEST_SKIP() << disk.reason().toStdString();
    else
        ASSERT_TRUE(QDir().mkdir(media));
    const QString package = QDir(media).filePath(QStringLiteral("Studio.vdb"));
    ASSERT_TRUE(succeeded(DocumentPackage::copyPackage(packagePath, package, ExistingCatalogue::Keep)));
    if (disk.isMounted())
        ASSERT_TRUE(disk.makeReadOnly()) << disk.reason().toStdString();
    else
        ASSERT_TRUE(QFile::setPermissions(package, QFile::ReadOwner | QFile::ExeOwner));
    const auto writable = qScopeGuard(
        [&] { QFile::setPermissions(package, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });

    VelumarkDatabase first;
    VelumarkDatabase second;
    for (VelumarkDatabase *reader : {&first, &second}) {
        ASSERT_TRUE(succeeded(reader->readFromURL(package)));
        EXPECT_TRUE(reader->isReadOnly());
        EXPECT_EQ(reader->artworks().size(), 1u);
    }
    const QString reason = first.checkEditable().message();
    EXPECT_TRUE(reason.contains(QStringLiteral("read-only disk"))) << reason.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(package).filePath(QStringLiteral(".velumark.lock"))));
    EXPECT_TRUE(succeeded(second.close()));
    // Saved where it can be written, the copy takes changes.
    ASSERT_TRUE(succeeded(first.writeSafelyToURL(folder.filePath(QStringLiteral("Writable.vdb")))));
    EXPECT_FALSE(first.isReadOnly());
    first.addArtwork(std::make_unique<Artwork>());
    EXPECT_TRUE(succeeded(first.close()));
}
