#include "interchange/DatabaseMerge.h"

#include "interchange/DatabaseExport.h"
#include "interchange/InterchangeHeader.h"
#include "store/Artist.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/DefaultMediums.h"
#include "store/Image.h"
#include "store/Localization.h"
#include "store/Medium.h"
#include "store/Sqlite.h"
#include "store/Submission.h"
#include "store/TextCompare.h"

#include <QDir>
#include <algorithm>
#include <limits>
#include <memory>
#include <type_traits>
#include <unordered_set>

namespace velumark {

namespace {

bool containsLocalized(const QStringList &names, const QString &name)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const QString &n) { return localizedEquals(n, name); });
}

} // namespace

DatabaseMerge::DatabaseMerge(SqliteConnection &working, Settings settings)
    : m_working(working), m_settings(std::move(settings))
{}

bool DatabaseMerge::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

Result<> DatabaseMerge::run()
{
    QString openError;
    auto foreign =
        SqliteConnection::open(m_settings.foreignPath, SqliteConnection::Mode::ReadWrite, &openError);
    if (!foreign)
        return Failure{localized("The file to import cannot be opened: %1").arg(openError)};
    if (!foreign->exec(DatabaseFile::kCacheSizePragma))
        return Failure{
            localized("The file to import is not a catalogue database: %1").arg(foreign->errorMessage())};
    const TransferScope scope = m_settings.scope;
    bool ok = upgradeForeign(*foreign) && readExpectedRows(*foreign);
    // The records are read one by one: inside one read transaction each read is a seek, not a
    // lock of the file.
    const bool reading = ok && foreign->exec("BEGIN");
    ok = ok && importImages(*foreign) && (!carriesClients(scope) || importClients(*foreign)) &&
         (!carriesArtworks(scope) || importArtworks(*foreign));
    if (ok && carriesSubmissions(scope))
        ok = importSubmissions(*foreign) && addDefaultMediums() && importMediums(*foreign) &&
             importArtists(*foreign);
    if (reading)
        foreign->exec("COMMIT");
    if (ok && !cancelled())
        ok = relinkImportedImages();
    if (!foreign->close() && ok)
        ok = fail(localized("The file to import cannot be closed: %1").arg(foreign->errorMessage()));
    foreign.reset();
    if (ok && !cancelled())
        ok = addMissingArtistsAndMediums();
    if (!ok)
        return Failure{m_error};
    if (cancelled())
        return Failure{localized("The import was cancelled.")};
    return {};
}

bool DatabaseMerge::upgradeForeign(SqliteConnection &foreign)
{
    auto version = foreign.prepare("SELECT version_num FROM version");
    if (!version)
        return fail(
            localized("The file to import is not a catalogue database: %1").arg(foreign.errorMessage()));
    if (version->step() != SqliteStatement::Step::Row)
        return fail(localized("The file to import has no version information."));
    const qint64 stored = version->columnInt64(0);
    version.reset();
    const Result<DatabaseFile::Upgrade> upgrade = DatabaseFile::upgrade(foreign, stored);
    if (!upgrade)
        return fail(localized("The file to import cannot be upgraded: %1").arg(upgrade.message()));
    if (upgrade->mapUpgradedImages) {
        // Pictures of older files are linked only through the artworks' photo keys: give them
        // their owners here, so that they are imported with their artworks.
        if (!foreign.exec(
                "UPDATE image SET type=0, key=(SELECT pk FROM artwork WHERE photo1_key=image.pk LIMIT 1), "
                "tag=0 WHERE type=-2 AND EXISTS (SELECT 1 FROM artwork WHERE photo1_key=image.pk)") ||
            !foreign.exec(
                "UPDATE image SET type=0, key=(SELECT pk FROM artwork WHERE photo2_key=image.pk LIMIT 1), "
                "tag=1 WHERE type=-2 AND EXISTS (SELECT 1 FROM artwork WHERE photo2_key=image.pk)"))
            return fail(localized("The file to import cannot be upgraded: %1").arg(foreign.errorMessage()));
    }
    return true;
}

bool DatabaseMerge::readExpectedRows(SqliteConnection &foreign)
{
    auto counts = foreign.prepare("SELECT num_artworks, num_clients, num_submissions, num_mediums, "
                                  "num_artists, num_images FROM version");
    if (!counts || counts->step() != SqliteStatement::Step::Row)
        return fail(localized("The file to import has no export header."));
    const qint64 artworks = saneCount(*counts, 0);
    const qint64 clients = saneCount(*counts, 1);
    const qint64 submissions = saneCount(*counts, 2);
    const qint64 mediums = saneCount(*counts, 3);
    const qint64 artists = saneCount(*counts, 4);
    const qint64 images = saneCount(*counts, 5);
    const TransferScope scope = m_settings.scope;
    m_expectedRows = images + (carriesArtworks(scope) ? artworks : 0) +
                     (carriesClients(scope) ? clients : 0) +
                     (carriesSubmissions(scope) ? submissions + mediums + artists : 0);
    return true;
}

bool DatabaseMerge::forEachForeignRow(SqliteConnection &foreign, const char *sql,
                                      const std::function<bool(qint64)> &row)
{
    std::vector<qint64> keys;
    {
        auto query = foreign.prepare(sql);
        if (!query)
            return fail(localized("The file to import cannot be read: %1").arg(foreign.errorMessage()));
        for (;;) {
            const SqliteStatement::Step step = query->step();
            if (step == SqliteStatement::Step::Done)
                break;
            if (step == SqliteStatement::Step::Error)
                return fail(localized("The file to import cannot be read: %1").arg(foreign.errorMessage()));
            keys.push_back(query->columnInt64(0));
        }
    }
    for (qint64 key : keys) {
        if (cancelled())
            return true;
        if (!row(key))
            return false;
        ++m_rowsRead;
        if (m_settings.progress && m_expectedRows > 0) {
            // The expected count is stretched by a tenth, so the bar does not sit at 100 while the
            // merge finishes.
            const qint64 stretched = std::max<qint64>(1, m_expectedRows * 110 / 100);
            m_settings.progress(
                std::min(100.0, static_cast<double>(m_rowsRead) * 100.0 / static_cast<double>(stretched)));
        }
    }
    return true;
}

template <typename R> bool DatabaseMerge::importTable(SqliteConnection &foreign, const Table<R> &table)
{
    return forEachForeignRow(foreign, table.keys, [&](qint64 key) {
        int status = 0;
        std::unique_ptr<R> record;
        if constexpr (std::is_same_v<R, Image>)
            record = std::make_unique<Image>(key, &foreign, m_settings.pictureFolder, false, &status);
        else
            record = std::make_unique<R>(key, &foreign, false, &status);
        if (status != 0 || record->hydrate() != 0)
            return fail(table.unreadable.arg(foreign.errorMessage()));
        if (table.keep && !table.keep(*record))
            return true;
        record->reopen(&m_working);
        if constexpr (std::is_same_v<R, Image>) {
            // Raised rather than returned, so that the reason (a picture file that cannot be
            // written, a full disk) reaches the message.
            record->setAbortOnError(true);
            try {
                status = record->insertIntoDatabase(&m_working, m_settings.tempPhotos, false);
            } catch (const DatabaseError &failure) {
                return fail(table.refused.arg(failure.message()));
            }
            record->setAbortOnError(false);
        } else {
            status = record->insertIntoDatabase(&m_working);
        }
        if (status != 0)
            return fail(table.refused.arg(m_working.errorMessage()));
        return !table.inserted || table.inserted(key, *record);
    });
}

bool DatabaseMerge::importImages(SqliteConnection &foreign)
{
    if (!QDir().mkpath(m_settings.tempPhotos) || !QDir().mkpath(m_settings.pictureFolder))
        return fail(localized("The folders for imported pictures cannot be created."));
    Table<Image> images{"SELECT pk FROM image",
                        localized("A picture of the file to import cannot be read: %1"),
                        localized("A picture cannot be imported: %1"),
                        [&](const Image &image) {
                            // Pictures come only with the artworks they belong to.
                            return image.linkedKey() != Image::kNone &&
                                   image.linkedType() == Image::kOwnerArtwork &&
                                   carriesArtworks(m_settings.scope);
                        },
                        [&](qint64 key, Image &image) {
                            // The owner is still the foreign artwork's key; relinkImportedImages renumbers
                            // it.
                            m_newImageKey.emplace(key, image.primaryKey());
                            m_imageOwners.emplace_back(image.primaryKey(), image.linkedKey());
                            m_importedImageKeys.push_back(image.primaryKey());
                            return image.dehydrate() == 0 || fail(m_working.errorMessage());
                        }};
    return importTable(foreign, images);
}

bool DatabaseMerge::importClients(SqliteConnection &foreign)
{
    return importTable(foreign, Table<Client>{"SELECT pk FROM client",
                                              localized("A client of the file to import cannot be read: %1"),
                                              localized("A client cannot be imported: %1"),
                                              {},
                                              [&](qint64 key, Client &client) {
                                                  m_newClientKey.emplace(key, client.primaryKey());
                                                  return true;
                                              }});
}

bool DatabaseMerge::importArtworks(SqliteConnection &foreign)
{
    auto newImageKey = [&](qint64 old) {
        if (old == -1)
            return qint64(-1);
        auto it = m_newImageKey.find(old);
        return it == m_newImageKey.end() ? qint64(0) : it->second;
    };
    return importTable(foreign,
                       Table<Artwork>{"SELECT pk FROM artwork",
                                      localized("An artwork of the file to import cannot be read: %1"),
                                      localized("An artwork cannot be imported: %1"),
                                      [&](Artwork &artwork) {
                                          artwork.setPhotoKey1(newImageKey(artwork.photoKey1()));
                                          artwork.setPhotoKey2(newImageKey(artwork.photoKey2()));
                                          return true;
                                      },
                                      [&](qint64 key, Artwork &artwork) {
                                          m_newArtworkKey.emplace(key, artwork.primaryKey());
                                          return true;
                                      }});
}

bool DatabaseMerge::importSubmissions(SqliteConnection &foreign)
{
    auto renumber = [](const std::unordered_map<qint64, qint64> &keys, qint64 old) {
        auto it = keys.find(old);
        return it == keys.end() ? qint64(0) : it->second;
    };
    return importTable(
        foreign,
        Table<Submission>{"SELECT pk FROM submission",
                          localized("A submission of the file to import cannot be read: %1"),
                          localized("A submission cannot be imported: %1"),
                          [&](Submission &submission) {
                              submission.setArtworkKey(renumber(m_newArtworkKey, submission.artworkKey()));
                              submission.setClientKey(renumber(m_newClientKey, submission.clientKey()));
                              return true;
                          },
                          {}});
}

QStringList DatabaseMerge::namesIn(const char *sql)
{
    QStringList names;
    auto query = m_working.prepare(sql);
    if (!query) {
        fail(m_working.errorMessage());
        return names;
    }
    while (query->step() == SqliteStatement::Step::Row)
        names << query->columnText(0);
    return names;
}

bool DatabaseMerge::addDefaultMediums()
{
    const QStringList names =
        mediumNamesToAdd(namesIn("SELECT medium FROM artwork"), namesIn("SELECT name FROM medium"));
    for (const QString &name : names) {
        Medium medium;
        medium.setName(name);
        medium.setAbortOnError(false);
        if (medium.insertIntoDatabase(&m_working) != 0)
            return fail(localized("A medium cannot be imported: %1").arg(m_working.errorMessage()));
    }
    return m_error.isEmpty();
}

bool DatabaseMerge::importMediums(SqliteConnection &foreign)
{
    const QStringList held = namesIn("SELECT name FROM medium");
    return importTable(foreign, Table<Medium>{"SELECT pk FROM medium",
                                              localized("A medium of the file to import cannot be read: %1"),
                                              localized("A medium cannot be imported: %1"),
                                              [&](Medium &medium) {
                                                  return !medium.name().isEmpty() &&
                                                         !containsLocalized(held, medium.name());
                                              },
                                              {}});
}

bool DatabaseMerge::importArtists(SqliteConnection &foreign)
{
    const QStringList held = namesIn("SELECT name FROM artist");
    return importTable(foreign, Table<Artist>{"SELECT pk FROM artist",
                                              localized("An artist of the file to import cannot be read: %1"),
                                              localized("An artist cannot be imported: %1"),
                                              [&](Artist &artist) {
                                                  if (artist.name().isEmpty())
                                                      return false;
                                                  const QString name = capitalized(artist.name());
                                                  if (containsLocalized(held, name))
                                                      return false;
                                                  artist.setName(name);
                                                  return true;
                                              },
                                              {}});
}

bool DatabaseMerge::relinkImportedImages()
{
    for (const auto &[imageKey, oldOwner] : m_imageOwners) {
        Image image(imageKey, &m_working, m_settings.tempPhotos, false);
        auto it = m_newArtworkKey.find(oldOwner);
        image.setLinkedKey(it == m_newArtworkKey.end() ? 0 : it->second);
        if (image.save() != 0)
            return fail(
                localized("A picture cannot be linked to its artwork: %1").arg(m_working.errorMessage()));
    }
    return true;
}

bool DatabaseMerge::addMissingArtistsAndMediums()
{
    auto addMissing = [&](const char *textsSql, const char *namesSql, auto makeRecord) {
        QStringList present = namesIn(namesSql);
        QStringList texts = namesIn(textsSql);
        texts.removeDuplicates();
        for (const QString &text : texts) {
            if (containsLocalized(present, text))
                continue;
            auto record = makeRecord();
            record.setName(text);
            record.setAbortOnError(false);
            if (record.insertIntoDatabase(&m_working) != 0)
                return fail(m_working.errorMessage());
            present << text;
        }
        return m_error.isEmpty();
    };
    return addMissing("SELECT artist FROM artwork WHERE artist IS NOT NULL AND artist <> ''",
                      "SELECT name FROM artist", [] { return Artist(); }) &&
           addMissing("SELECT medium FROM artwork WHERE medium IS NOT NULL AND medium <> ''",
                      "SELECT name FROM medium", [] { return Medium(); });
}

} // namespace velumark
