#include "document/VelumarkDatabase.h"
#include "editing/CatalogueDestination.h"
#include "editing/CataloguePath.h"
#include "support/Succeeded.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velumark::editing {
namespace {

using Kind = CataloguePath::Kind;
using State = CatalogueDestination::State;

class CatalogueLocationTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    // A closed catalogue with a marker file beside its database.
    QString makeCatalogue(const QString &name)
    {
        VelumarkDatabase document;
        EXPECT_TRUE(succeeded(document.readFromURL(path(name))));
        EXPECT_TRUE(succeeded(document.close()));
        writeFile(path(name + QStringLiteral("/marker")));
        return path(name);
    }
    static void writeFile(const QString &file)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("x");
    }

    QTemporaryDir m_folder;
};

TEST_F(CatalogueLocationTest, WhatAChosenPathOpens)
{
    const QString package = makeCatalogue(QStringLiteral("Studio.vdb"));
    QDir().mkdir(path(QStringLiteral("Plain")));
    writeFile(path(QStringLiteral("Export.vdbi")));
    writeFile(path(QStringLiteral("notes.txt")));

    const auto folder = CataloguePath::forOpening(package);
    EXPECT_EQ(folder.kind(), Kind::Catalogue);
    const auto inside = CataloguePath::forOpening(package + QStringLiteral("/velumark.db"));
    EXPECT_EQ(inside.kind(), Kind::Catalogue);
    EXPECT_EQ(inside.path(), package);
    EXPECT_EQ(CataloguePath::forOpening(path(QStringLiteral("Plain"))).kind(), Kind::Unknown);
    EXPECT_EQ(CataloguePath::forOpening(path(QStringLiteral("Export.vdbi"))).kind(), Kind::Interchange);
    EXPECT_EQ(CataloguePath::forOpening(path(QStringLiteral("notes.txt"))).kind(), Kind::Unknown);
    // Opening never makes a catalogue where there is none.
    EXPECT_EQ(CataloguePath::forOpening(path(QStringLiteral("Gone.vdb"))).kind(), Kind::Missing);

    EXPECT_EQ(CataloguePath::withPackageExtension(QStringLiteral("/a/Studio")),
              QStringLiteral("/a/Studio.vdb"));
    EXPECT_EQ(CataloguePath::withPackageExtension(QStringLiteral("/a/Studio.vdb")),
              QStringLiteral("/a/Studio.vdb"));
    EXPECT_EQ(CataloguePath::displayName(package), QStringLiteral("Studio"));
}

TEST_F(CatalogueLocationTest, WhatMayBeReplaced)
{
    const QString closed = makeCatalogue(QStringLiteral("Closed.vdb"));
    writeFile(path(QStringLiteral("File.vdb")));
    QDir().mkdir(path(QStringLiteral("Folder.vdb")));

    EXPECT_EQ(CatalogueDestination::check(path(QStringLiteral("New.vdb"))).state(), State::Free);
    EXPECT_EQ(CatalogueDestination::check(closed).state(), State::ReplaceablePackage);
    EXPECT_EQ(CatalogueDestination::check(path(QStringLiteral("File.vdb"))).state(), State::NotACatalogue);
    EXPECT_EQ(CatalogueDestination::check(path(QStringLiteral("Folder.vdb"))).state(), State::NotACatalogue);
    EXPECT_EQ(CatalogueDestination::check(closed + QStringLiteral("/Nested.vdb")).state(),
              State::InsideCatalogue);

    VelumarkDatabase open;
    ASSERT_TRUE(open.readFromURL(closed));
    EXPECT_EQ(CatalogueDestination::check(closed).state(), State::OpenHere);
}

TEST_F(CatalogueLocationTest, ReplacingKeepsTheOldCatalogueUntilTheNewOneExists)
{
    const QString package = makeCatalogue(QStringLiteral("Studio.vdb"));
    const auto entries = [this] {
        return QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList before = entries();

    // The new catalogue cannot be made: the old one is back as it was, and can be opened.
    const Result<> refused = CatalogueDestination::replacePackage(package, [&]() -> Result<> {
        EXPECT_FALSE(QFileInfo::exists(package + QStringLiteral("/marker")));
        QDir().mkdir(package); // a half-made package
        return Failure{QStringLiteral("disk full")};
    });
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.message(), QStringLiteral("disk full"));
    EXPECT_TRUE(QFileInfo::exists(package + QStringLiteral("/marker")));
    EXPECT_EQ(entries(), before);
    VelumarkDatabase reopened;
    ASSERT_TRUE(succeeded(reopened.readFromURL(package)));
    ASSERT_TRUE(succeeded(reopened.close()));

    // It can: the old one is gone, the new one keeps the lock it took.
    VelumarkDatabase fresh;
    EXPECT_TRUE(
        succeeded(CatalogueDestination::replacePackage(package, [&] { return fresh.readFromURL(package); })));
    EXPECT_FALSE(QFileInfo::exists(package + QStringLiteral("/marker")));
    EXPECT_EQ(entries(), before);
    QLockFile other(package + QStringLiteral("/") + QString::fromLatin1(VelumarkDatabase::kLockFileName));
    EXPECT_TRUE(QFileInfo::exists(other.fileName()));
    EXPECT_TRUE(succeeded(fresh.close()));
}

} // namespace
} // namespace velumark::editing
