#include "document/DemoCatalogue.h"

#include "document/VelumarkDatabase.h"
#include "store/CalendarArithmetic.h"
#include "store/Clock.h"
#include "store/DatabaseError.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <random>

namespace velumark {

namespace {

const char *const kAdjectives[] = {"Quiet", "Blue",    "Golden", "Northern", "Broken", "Silent",
                                   "Red",   "Evening", "Winter", "Open",     "Hidden", "Early"};
const char *const kNouns[] = {"Harbour", "Study", "Garden",  "Field", "Window", "River",
                              "Figure",  "Dunes", "Orchard", "Light", "Tide",   "Horizon"};
const char *const kArtists[] = {"Ann Lee",   "Bob Marsh",      "Carla Ruiz",
                                "Dev Patel", "Elena Sokolova", "Finn O'Hara"};
const char *const kMediums[] = {"Oil",       "Acrylic", "Watercolor", "Photograph", "Pen and Ink",
                                "Sculpture", "Digital", "Pottery",    "Encaustic"};
const char *const kSizes[] = {"30 x 40 cm",   "40 x 50 cm",      "60 x 80 cm",
                              "100 x 120 cm", "20 x 20 x 35 cm", "8 x 10 in"};
const char *const kLocations[] = {"Studio shelf", "Storage B", "On loan", "Flat files", "Gallery North"};
const char *const kClientNames[] = {"Gallery North",        "Harbour Museum of Art",
                                    "Northwind Design Co.", "Maria Keller",
                                    "James Whitfield",      "Riverside Art Fair",
                                    "Summer Salon Show",    "Gallery 9",
                                    "Gallery 10",           "Atelier Ost"};

class Random
{
public:
    explicit Random(quint64 seed) : m_engine(seed) {}
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(m_engine() % static_cast<quint64>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, size_t N> const T &pick(const T (&items)[N])
    {
        return items[below(static_cast<int>(N))];
    }

private:
    std::mt19937_64 m_engine;
};

QDateTime daysFrom(const QDateTime &day, qint64 days)
{
    return CalendarArithmetic::roundDate(day.toLocalTime().addDays(days));
}

// A painting-like picture: a gradient sky, a horizon and a few shapes in the seed's colours.
QImage paintPhoto(Random &random, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor top = QColor::fromHsv(random.below(360), 60 + random.below(120), 160 + random.below(90));
    const QColor bottom = QColor::fromHsv(random.below(360), 80 + random.below(150), 60 + random.below(120));
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    painter.fillRect(picture.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        painter.setBrush(
            QColor::fromHsv(random.below(360), 120 + random.below(130), 90 + random.below(160), 170));
        const int w = width / 8 + random.below(width / 3);
        const int h = height / 8 + random.below(height / 3);
        painter.drawEllipse(random.below(width), random.below(height), w, h);
    }
    return picture;
}

constexpr int kPhotoPoolSize = 15;

} // namespace

Result<> DemoCatalogue::fill(VelumarkDatabase &document, const std::function<void(double)> &progress)
{
    Random random(m_options.seed);
    const QDateTime today = CalendarArithmetic::roundDate(Clock::now());
    const qint64 total =
        qint64(m_options.artworks) + m_options.clients + m_options.submissions + m_options.photos;
    qint64 done = 0;
    auto step = [&] {
        ++done;
        if (progress && total > 0 && (done % 64 == 0 || done == total))
            progress(100.0 * static_cast<double>(done) / static_cast<double>(total));
    };

    try {
        // Batches of records share one transaction: thousands of rows cost a few commits.
        auto transaction = std::make_unique<SqliteTransaction>(*document.database());
        auto commit = [&] {
            if (!transaction->commit())
                throw DatabaseError(QStringLiteral("fill"), QStringLiteral("DemoCatalogue"),
                                    QStringLiteral(__FILE__), __LINE__, document.database()->errorMessage());
        };
        auto commitEvery = [&](qint64 count) {
            if (count % 500 == 0) {
                commit();
                transaction = std::make_unique<SqliteTransaction>(*document.database());
            }
        };

        std::vector<Artwork *> artworks;
        for (int i = 0; i < m_options.artworks; ++i) {
            auto artwork = std::make_unique<Artwork>();
            QString title = QStringLiteral("%1 %2").arg(QString::fromUtf8(random.pick(kAdjectives)),
                                                        QString::fromUtf8(random.pick(kNouns)));
            if (i >= 12)
                title += QStringLiteral(" No. %1").arg(i / 12 + 1);
            artwork->setTitle(title);
            if (!random.chance(10))
                artwork->setArtist(QString::fromUtf8(random.pick(kArtists)));
            artwork->setMedium(QString::fromUtf8(random.pick(kMediums)));
            artwork->setSize(QString::fromUtf8(random.pick(kSizes)));
            artwork->setCreationDate(daysFrom(today, -30 - random.below(5 * 365)));
            artwork->setSale_loan(!random.chance(20));
            artwork->setPrice(100.0 * (2 + random.below(60)) + (random.chance(30) ? 0.5 : 0));
            artwork->setEffort(1 + random.below(40));
            artwork->setEffortUnits(2 + random.below(2));
            artwork->setMaterialCost(5.0 * (1 + random.below(40)));
            artwork->setLocation(QString::fromUtf8(random.pick(kLocations)));
            if (random.chance(40))
                artwork->setNotes(
                    QStringLiteral("Signed lower right.\nVarnished %1.").arg(2018 + random.below(6)));
            artworks.push_back(document.addArtwork(std::move(artwork)));
            commitEvery(i + 1);
            step();
        }
        for (const char *name : kArtists) {
            if (!document.artistWithName(QString::fromUtf8(name))) {
                auto artist = std::make_unique<Artist>();
                artist->setName(QString::fromUtf8(name));
                document.addArtist(std::move(artist));
            }
        }
        document.updateArtist();

        std::vector<Client *> clients;
        for (int i = 0; i < m_options.clients; ++i) {
            auto client = std::make_unique<Client>();
            QString company = QString::fromUtf8(kClientNames[i % std::size(kClientNames)]);
            if (i >= static_cast<int>(std::size(kClientNames)))
                company += QStringLiteral(" %1").arg(i / std::size(kClientNames) + 1);
            client->setCompany(company);
            client->setClientType(i % 8);
            client->setStatus(i % 5 != 4);
            client->setCommission(10.0 * (2 + random.below(4)));
            client->setResponseTime(1 + random.below(6));
            client->setResponseTimeUnits(1 + random.below(3));
            client->setContact(QStringLiteral("Contact %1").arg(i + 1));
            client->setEmail(QStringLiteral("info%1@example.org").arg(i + 1));
            client->setPhone(QStringLiteral("+1 555 01%1").arg(i % 100, 2, 10, QLatin1Char('0')));
            // The first client's deadline is three days away: near, under the default warning week.
            if (i == 0)
                client->setDeadline(daysFrom(today, 3));
            else if (random.chance(40))
                client->setDeadline(daysFrom(today, 30 + random.below(300)));
            clients.push_back(document.addClient(std::move(client)));
            commitEvery(i + 1);
            step();
        }

        for (int i = 0; i < m_options.submissions && !artworks.empty() && !clients.empty(); ++i) {
            auto submission = std::make_unique<Submission>();
            Artwork *artwork = artworks[static_cast<size_t>(random.below(static_cast<int>(artworks.size())))];
            Client *client = clients[static_cast<size_t>(random.below(static_cast<int>(clients.size())))];
            submission->setArtwork(artwork);
            submission->setArtworkKey(artwork->primaryKey());
            submission->setClient(client);
            submission->setClientKey(client->primaryKey());
            const QDateTime sent = daysFrom(today, -5 - random.below(3 * 365));
            submission->setSendDate(sent);
            submission->setSubmissionType(random.below(7));
            // The first rows show every outcome once: the seven states, a withdrawal, an overdue
            // wait and a wait that is not yet due; the rest are drawn at random.
            const int kind = i < 10 ? i : random.below(10);
            if (kind <= 6) {
                submission->setResponseReceived(1);
                submission->setSubmissionState(kind);
                submission->setResponseDate(std::min(daysFrom(sent, 3 + random.below(60)), today));
                if (kind == 1 || kind == 2)
                    submission->setIncome(artwork->price() * (kind == 1 ? 1.0 : 0.25));
                submission->setExhibited(kind == 4 || random.chance(20));
                submission->setReleaseSigned(random.chance(50));
            } else if (kind == 7) {
                submission->setResponseReceived(2);
                submission->setResponseDate(std::min(daysFrom(sent, 10), today));
            } else if (kind == 8 && i < 10) {
                submission->setSendDate(daysFrom(today, -40));
                submission->setValidDueDate(true);
                submission->setResponseDueDate(daysFrom(today, -5));
            } else {
                submission->setSendDate(daysFrom(today, -random.below(20)));
                submission->setValidDueDate(true);
                submission->setResponseDueDate(daysFrom(today, 10 + random.below(60)));
            }
            document.addSubmission(std::move(submission));
            commitEvery(i + 1);
            step();
        }

        const int sizes[][2] = {{1600, 1200}, {900, 1200}, {2400, 1600}, {1024, 1024}, {640, 480}};
        // Many photos come from a pool painted once, in sizes that need no scaling down: a large
        // catalogue then costs the encoding of its pictures, not their painting.
        const bool pooled = m_options.photos > kPaintedPhotoLimit;
        std::vector<QImage> pool;
        if (pooled && !artworks.empty()) {
            const int pooledSizes[][2] = {{1280, 960}, {960, 1280}, {1024, 768}, {800, 800}, {640, 480}};
            Random painter(m_options.seed ^ 0x5eed);
            for (int i = 0; i < kPhotoPoolSize; ++i) {
                const auto &size = pooledSizes[i % std::size(pooledSizes)];
                pool.push_back(paintPhoto(painter, size[0], size[1]));
            }
        }
        for (int i = 0; i < m_options.photos && !artworks.empty(); ++i) {
            Artwork *artwork = artworks[static_cast<size_t>(i) % artworks.size()];
            const auto &size = sizes[random.below(static_cast<int>(std::size(sizes)))];
            auto image = std::make_unique<Image>();
            image->setLinkedType(Image::kOwnerArtwork);
            image->setLinkedKey(artwork->primaryKey());
            image->setTagValue(static_cast<qint64>(artwork->images().size()) + 1);
            image->setCaption(
                QStringLiteral("%1, view %2").arg(artwork->title()).arg(artwork->images().size() + 1));
            if (pooled)
                image->setPhoto(pool[static_cast<size_t>(random.below(kPhotoPoolSize))]);
            else
                image->setPhoto(paintPhoto(random, size[0], size[1]));
            artwork->addImage(document.addImage(std::move(image)), -1);
            if (artwork->photoKey1() == -1)
                artwork->setPhotoKey1(artwork->images().front()->primaryKey());
            commitEvery(i + 1);
            step();
        }
        commit();
        if (const Result<> saved = document.saveChanges(); !saved)
            return saved;
    } catch (const DatabaseError &failure) {
        return Failure{failure.message()};
    }
    if (progress)
        progress(100);
    return {};
}

} // namespace velumark
