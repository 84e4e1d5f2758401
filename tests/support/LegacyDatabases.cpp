#include "support/LegacyDatabases.h"

#include "store/Sqlite.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace velumark::test {

QByteArray jpegBytes(int width, int height, const QColor &color)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(color);
    // A gradient stripe, so that crops and scales are visible in the pixels.
    for (int x = 0; x < width; ++x)
        picture.setPixelColor(x, height / 2, QColor(x % 256, 0, 255 - x % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, "JPEG", 90));
    return bytes;
}

namespace {

const char kVersion1[] = R"(
CREATE TABLE version (pk INTEGER PRIMARY KEY, version_num INTEGER, creation_date REAL, comments TEXT);
CREATE TABLE artwork (pk INTEGER PRIMARY KEY, title TEXT, artist TEXT, medium TEXT, photo1_key INTEGER,
  photo2_key INTEGER, sale_loan INTEGER, size TEXT, created REAL, price REAL, effort INTEGER,
  effort_units INTEGER, material_cost REAL, location TEXT, notes TEXT);
CREATE TABLE client (pk INTEGER PRIMARY KEY, company TEXT, status INTEGER, deadline REAL, response_time INTEGER,
  response_time_units INTEGER, client_type INTEGER, commission REAL, contact TEXT, address TEXT, web TEXT,
  email TEXT, phone TEXT, fax TEXT, notes TEXT, payrate REAL);
CREATE TABLE submission (pk INTEGER PRIMARY KEY, artwork_key INTEGER, client_key INTEGER, sent_date REAL,
  response INTEGER, response_date REAL, state INTEGER, income REAL, valid_due_date INTEGER,
  response_due_date REAL, exhibited INTEGER, notes TEXT, release_signed INTEGER, submission_type INTEGER);
CREATE TABLE medium (pk INTEGER PRIMARY KEY, name TEXT);
CREATE TABLE image (pk INTEGER PRIMARY KEY, photo BLOB, thumbnail BLOB);
INSERT INTO version (version_num, creation_date, comments) VALUES (1, 1300000000, 'Full');
INSERT INTO artwork (pk, title, artist, medium, photo1_key, photo2_key, sale_loan, size, created, price)
  VALUES (1, 'Harbour at Dusk', 'ann lee', 'Oil', 11, 12, 1, '40 x 50 cm', 1300000000, 1200),
         (2, 'Blue Study', 'Bob Marsh', 'Watercolour', -1, -1, 0, '', 0, 0);
INSERT INTO client (pk, company, status, deadline, response_time, response_time_units)
  VALUES (1, 'Gallery North', 1, 0, 2, 2);
INSERT INTO submission (pk, artwork_key, client_key, sent_date, response, response_date, state, income,
  valid_due_date, response_due_date, exhibited, notes, release_signed, submission_type)
  VALUES (1, 1, 1, 1300000000, 1, 1301000000, 1, 950, 0, 0, 1, 'sold at the opening', 1, 3);
INSERT INTO medium (name) VALUES ('Oil');
)";

// Version 2 adds the artist table and the export header columns.
const char kVersion2[] = R"(
CREATE TABLE artist (pk INTEGER PRIMARY KEY, name TEXT);
INSERT INTO artist (name) VALUES ('Ann Lee');
ALTER TABLE version ADD COLUMN app_identifier INTEGER;
ALTER TABLE version ADD COLUMN app_version REAL;
ALTER TABLE version ADD COLUMN export_date REAL;
ALTER TABLE version ADD COLUMN num_artworks INTEGER;
ALTER TABLE version ADD COLUMN num_clients INTEGER;
ALTER TABLE version ADD COLUMN num_submissions INTEGER;
ALTER TABLE version ADD COLUMN num_mediums INTEGER;
ALTER TABLE version ADD COLUMN num_artists INTEGER;
ALTER TABLE version ADD COLUMN num_images INTEGER;
UPDATE version SET version_num = 2;
)";

void build(const QString &path, std::initializer_list<const char *> scripts)
{
    QFile::remove(path);
    auto db = SqliteConnection::open(path);
    ASSERT_TRUE(db);
    for (const char *script : scripts)
        ASSERT_TRUE(db->exec(script)) << db->errorMessage().toStdString();
    auto insert = db->prepare("INSERT INTO image (pk, photo, thumbnail) VALUES (?, ?, ?)");
    ASSERT_TRUE(insert);
    // Two photos of the first artwork, and one that belongs to no artwork.
    for (const auto &[key, photo, thumbnail, color] :
         {std::tuple{11, QSize(1280, 960), QSize(320, 240), Qt::red},
          {12, QSize(800, 1000), QSize(256, 320), Qt::blue},
          {13, QSize(640, 480), QSize(320, 240), Qt::green}}) {
        insert->bindInt64(1, key);
        insert->bindBlob(2, jpegBytes(photo.width(), photo.height(), color));
        insert->bindBlob(3, jpegBytes(thumbnail.width(), thumbnail.height(), color));
        ASSERT_EQ(insert->step(), SqliteStatement::Step::Done);
        insert->reset();
    }
}

} // namespace

void buildVersion1Database(const QString &path)
{
    build(path, {kVersion1});
}

void buildVersion2Database(const QString &path)
{
    build(path, {kVersion1, kVersion2});
}

} // namespace velumark::test
