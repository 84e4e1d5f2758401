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

void writeJpeg(const QString &path, int width, int height, const QColor &color)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(jpegBytes(width, height, color));
}

namespace {

void exec(SqliteConnection &db, const char *sql)
{
    ASSERT_TRUE(db.exec(sql)) << db.errorMessage().toStdString() << "\n" << sql;
}

void insertImage(SqliteConnection &db, qint64 key, const QByteArray &photo, const QByteArray &thumbnail)
{
    auto insert = db.prepare("INSERT INTO image (pk, photo, thumbnail) VALUES (?, ?, ?)");
    ASSERT_TRUE(insert);
    insert->bindInt64(1, key);
    insert->bindBlob(2, photo);
    insert->bindBlob(3, thumbnail);
    ASSERT_EQ(insert->step(), SqliteStatement::Step::Done);
}

void buildVersion1Into(SqliteConnection &db)
{
    exec(db, "CREATE TABLE version (pk INTEGER PRIMARY KEY, version_num INTEGER, creation_date REAL, "
             "comments TEXT)");
    exec(db, "CREATE TABLE artwork (pk INTEGER PRIMARY KEY, title TEXT, artist TEXT, medium TEXT, photo1_key "
             "INTEGER, "
             "photo2_key INTEGER, sale_loan INTEGER, size TEXT, created REAL, price REAL, effort INTEGER, "
             "effort_units INTEGER, material_cost REAL, location TEXT, notes TEXT)");
    exec(db, "CREATE TABLE client (pk INTEGER PRIMARY KEY, company TEXT, status INTEGER, deadline REAL, "
             "response_time INTEGER, response_time_units INTEGER, client_type INTEGER, commission REAL, "
             "contact TEXT, "
             "address TEXT, web TEXT, email TEXT, phone TEXT, fax TEXT, notes TEXT, payrate REAL)");
    exec(
        db,
        "CREATE TABLE submission (pk INTEGER PRIMARY KEY, artwork_key INTEGER, client_key INTEGER, sent_date "
        "REAL, response INTEGER, response_date REAL, state INTEGER, income REAL, valid_due_date INTEGER, "
        "response_due_date REAL, exhibited INTEGER, notes TEXT, release_signed INTEGER, submission_type "
        "INTEGER)");
    exec(db, "CREATE TABLE medium (pk INTEGER PRIMARY KEY, name TEXT)");
    exec(db, "CREATE TABLE image (pk INTEGER PRIMARY KEY, photo BLOB, thumbnail BLOB)");
    exec(db, "INSERT INTO version (version_num, creation_date, comments) VALUES (1, 1300000000, 'Full')");
    exec(db, "INSERT INTO artwork (pk, title, artist, medium, photo1_key, photo2_key, sale_loan, size, "
             "created, price) "
             "VALUES (1, 'Harbour at Dusk', 'ann lee', 'Oil', 11, 12, 1, '40 x 50 cm', 1300000000, 1200)");
    exec(db, "INSERT INTO artwork (pk, title, artist, medium, photo1_key, photo2_key, sale_loan, size, "
             "created, price) "
             "VALUES (2, 'Blue Study', 'Bob Marsh', 'Watercolour', -1, -1, 0, '', 0, 0)");
    exec(db, "INSERT INTO client (pk, company, status, deadline, response_time, response_time_units) "
             "VALUES (1, 'Gallery North', 1, 0, 2, 2)");
    exec(db, "INSERT INTO submission (pk, artwork_key, client_key, sent_date, response, response_date, "
             "state, income, "
             "valid_due_date, response_due_date, exhibited, notes, release_signed, submission_type) "
             "VALUES (1, 1, 1, 1300000000, 1, 1301000000, 1, 950, 0, 0, 1, 'sold at the opening', 1, 3)");
    exec(db, "INSERT INTO medium (name) VALUES ('Oil')");
    insertImage(db, 11, jpegBytes(1280, 960, Qt::red), jpegBytes(320, 240, Qt::red));
    insertImage(db, 12, jpegBytes(800, 1000, Qt::blue), jpegBytes(256, 320, Qt::blue));
    insertImage(db, 13, jpegBytes(640, 480, Qt::green), jpegBytes(320, 240, Qt::green));
}

std::unique_ptr<SqliteConnection> create(const QString &path)
{
    QFile::remove(path);
    auto db = SqliteConnection::open(path);
    EXPECT_TRUE(db);
    return db;
}

} // namespace

void buildVersion1Database(const QString &path)
{
    auto db = create(path);
    buildVersion1Into(*db);
}

void buildVersion2Database(const QString &path)
{
    auto db = create(path);
    buildVersion1Into(*db);
    exec(*db, "CREATE TABLE artist (pk INTEGER PRIMARY KEY, name TEXT)");
    exec(*db, "INSERT INTO artist (name) VALUES ('Ann Lee')");
    for (const char *column : {"app_identifier INTEGER", "app_version REAL", "export_date REAL",
                               "num_artworks INTEGER", "num_clients INTEGER", "num_submissions INTEGER",
                               "num_mediums INTEGER", "num_artists INTEGER", "num_images INTEGER"})
        exec(*db, QByteArray("ALTER TABLE version ADD COLUMN ").append(column).constData());
    exec(*db, "UPDATE version SET version_num = 2");
}

} // namespace velumark::test
