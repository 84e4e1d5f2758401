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
constexpr qint64 kRowsPerTransaction = 500;

// One fill: the records go in through the document's add operations, in batches that share a
// transaction. Every draw comes from one generator in a fixed order, so a seed gives one catalogue.
class Filler
{
public:
    Filler(VelumarkDatabase &document, const DemoCatalogue::Options &options,
           const std::function<void(double)> &progress)
        : m_document(document), m_options(options), m_progress(progress), m_random(options.seed),
          m_today(CalendarArithmetic::roundDate(Clock::now())),
          m_total(qint64(options.artworks) + options.clients + options.submissions + options.photos)
    {}

    // Raises DatabaseError when the document refused a record.
    void fill()
    {
        m_transaction = std::make_unique<SqliteTransaction>(*m_document.database());
        addArtworks();
        addArtists();
        addClients();
        addSubmissions();
        addPhotos();
        commit();
    }

private:
    void commit()
    {
        if (!m_transaction->commit())
            throw DatabaseError(QStringLiteral("fill"), QStringLiteral("DemoCatalogue"),
                                QStringLiteral(__FILE__), __LINE__, m_document.database()->errorMessage());
    }

    // After each record: thousands of rows cost a few commits.
    void recordAdded(qint64 countOfItsKind)
    {
        if (countOfItsKind % kRowsPerTransaction == 0) {
            commit();
            m_transaction = std::make_unique<SqliteTransaction>(*m_document.database());
        }
        ++m_done;
        if (m_progress && m_total > 0 && (m_done % 64 == 0 || m_done == m_total))
            m_progress(100.0 * static_cast<double>(m_done) / static_cast<double>(m_total));
    }

    void addArtworks()
    {
        for (int i = 0; i < m_options.artworks; ++i) {
            auto artwork = std::make_unique<Artwork>();
            QString title = QStringLiteral("%1 %2").arg(QString::fromUtf8(m_random.pick(kAdjectives)),
                                                        QString::fromUtf8(m_random.pick(kNouns)));
            if (i >= 12)
                title += QStringLiteral(" No. %1").arg(i / 12 + 1);
            artwork->setTitle(title);
            if (!m_random.chance(10))
                artwork->setArtist(QString::fromUtf8(m_random.pick(kArtists)));
            artwork->setMedium(QString::fromUtf8(m_random.pick(kMediums)));
            artwork->setSize(QString::fromUtf8(m_random.pick(kSizes)));
            artwork->setCreationDate(daysFrom(m_today, -30 - m_random.below(5 * 365)));
            artwork->setSale_loan(!m_random.chance(20));
            artwork->setPrice(100.0 * (2 + m_random.below(60)) + (m_random.chance(30) ? 0.5 : 0));
            artwork->setEffort(1 + m_random.below(40));
            artwork->setEffortUnits(2 + m_random.below(2));
            artwork->setMaterialCost(5.0 * (1 + m_random.below(40)));
            artwork->setLocation(QString::fromUtf8(m_random.pick(kLocations)));
            if (m_random.chance(40))
                artwork->setNotes(
                    QStringLiteral("Signed lower right.\nVarnished %1.").arg(2018 + m_random.below(6)));
            m_artworks.push_back(m_document.addArtwork(std::move(artwork)));
            recordAdded(i + 1);
        }
    }

    void addArtists()
    {
        for (const char *name : kArtists) {
            if (!m_document.artistWithName(QString::fromUtf8(name))) {
                auto artist = std::make_unique<Artist>();
                artist->setName(QString::fromUtf8(name));
                m_document.addArtist(std::move(artist));
            }
        }
        m_document.updateArtist();
    }

    void addClients()
    {
        for (int i = 0; i < m_options.clients; ++i) {
            auto client = std::make_unique<Client>();
            QString company = QString::fromUtf8(kClientNames[i % std::size(kClientNames)]);
            if (i >= static_cast<int>(std::size(kClientNames)))
                company += QStringLiteral(" %1").arg(i / std::size(kClientNames) + 1);
            client->setCompany(company);
            client->setClientType(i % 8);
            client->setStatus(i % 5 != 4);
            client->setCommission(10.0 * (2 + m_random.below(4)));
            client->setResponseTime(1 + m_random.below(6));
            client->setResponseTimeUnits(1 + m_random.below(3));
            client->setContact(QStringLiteral("Contact %1").arg(i + 1));
            client->setEmail(QStringLiteral("info%1@example.org").arg(i + 1));
            client->setPhone(QStringLiteral("+1 555 01%1").arg(i % 100, 2, 10, QLatin1Char('0')));
            // The first client's deadline is three days away: near, under the default warning week.
            if (i == 0)
                client->setDeadline(daysFrom(m_today, 3));
            else if (m_random.chance(40))
                client->setDeadline(daysFrom(m_today, 30 + m_random.below(300)));
            m_clients.push_back(m_document.addClient(std::move(client)));
            recordAdded(i + 1);
        }
    }

    template <typename T> T *pickFrom(const std::vector<T *> &records)
    {
        return records[static_cast<size_t>(m_random.below(static_cast<int>(records.size())))];
    }

    void addSubmissions()
    {
        for (int i = 0; i < m_options.submissions && !m_artworks.empty() && !m_clients.empty(); ++i) {
            auto submission = std::make_unique<Submission>();
            Artwork *artwork = pickFrom(m_artworks);
            Client *client = pickFrom(m_clients);
            submission->setArtwork(artwork);
            submission->setArtworkKey(artwork->primaryKey());
            submission->setClient(client);
            submission->setClientKey(client->primaryKey());
            const QDateTime sent = daysFrom(m_today, -5 - m_random.below(3 * 365));
            submission->setSendDate(sent);
            submission->setSubmissionType(m_random.below(7));
            // The first rows show every outcome once; the rest are drawn at random.
            setOutcome(*submission, i < 10 ? i : m_random.below(10), i < 10, sent, artwork->price());
            m_document.addSubmission(std::move(submission));
            recordAdded(i + 1);
        }
    }

    // Kinds 0 to 6 are the seven answered states, 7 a withdrawal, 8 an overdue wait (only among
    // the first rows, so that there is exactly one) and the rest a wait that is not yet due.
    void setOutcome(Submission &submission, int kind, bool firstRows, const QDateTime &sent, double price)
    {
        if (kind <= 6) {
            submission.setResponseReceived(1);
            submission.setSubmissionState(kind);
            submission.setResponseDate(std::min(daysFrom(sent, 3 + m_random.below(60)), m_today));
            if (kind == 1 || kind == 2)
                submission.setIncome(price * (kind == 1 ? 1.0 : 0.25));
            submission.setExhibited(kind == 4 || m_random.chance(20));
            submission.setReleaseSigned(m_random.chance(50));
        } else if (kind == 7) {
            submission.setResponseReceived(2);
            submission.setResponseDate(std::min(daysFrom(sent, 10), m_today));
        } else if (kind == 8 && firstRows) {
            submission.setSendDate(daysFrom(m_today, -40));
            submission.setValidDueDate(true);
            submission.setResponseDueDate(daysFrom(m_today, -5));
        } else {
            submission.setSendDate(daysFrom(m_today, -m_random.below(20)));
            submission.setValidDueDate(true);
            submission.setResponseDueDate(daysFrom(m_today, 10 + m_random.below(60)));
        }
    }

    // Many photos come from a pool painted once, in sizes that need no scaling down: a large
    // catalogue then costs the encoding of its pictures, not their painting.
    std::vector<QImage> paintPool() const
    {
        std::vector<QImage> pool;
        if (m_options.photos <= DemoCatalogue::kPaintedPhotoLimit || m_artworks.empty())
            return pool;
        const int pooledSizes[][2] = {{1280, 960}, {960, 1280}, {1024, 768}, {800, 800}, {640, 480}};
        Random painter(m_options.seed ^ 0x5eed);
        for (int i = 0; i < kPhotoPoolSize; ++i) {
            const auto &size = pooledSizes[i % std::size(pooledSizes)];
            pool.push_back(paintPhoto(painter, size[0], size[1]));
        }
        return pool;
    }

    void addPhotos()
    {
        const int sizes[][2] = {{1600, 1200}, {900, 1200}, {2400, 1600}, {1024, 1024}, {640, 480}};
        const std::vector<QImage> pool = paintPool();
        for (int i = 0; i < m_options.photos && !m_artworks.empty(); ++i) {
            Artwork *artwork = m_artworks[static_cast<size_t>(i) % m_artworks.size()];
            const auto &size = sizes[m_random.below(static_cast<int>(std::size(sizes)))];
            auto image = std::make_unique<Image>();
            image->setLinkedType(Image::kOwnerArtwork);
            image->setLinkedKey(artwork->primaryKey());
            image->setTagValue(static_cast<qint64>(artwork->images().size()) + 1);
            image->setCaption(
                QStringLiteral("%1, view %2").arg(artwork->title()).arg(artwork->images().size() + 1));
            if (!pool.empty())
                image->setPhoto(pool[static_cast<size_t>(m_random.below(kPhotoPoolSize))]);
            else
                image->setPhoto(paintPhoto(m_random, size[0], size[1]));
            artwork->addImage(m_document.addImage(std::move(image)), -1);
            if (artwork->photoKey1() == -1)
                artwork->setPhotoKey1(artwork->images().front()->primaryKey());
            recordAdded(i + 1);
        }
    }

    VelumarkDatabase &m_document;
    const DemoCatalogue::Options &m_options;
    const std::function<void(double)> &m_progress;
    Random m_random;
    const QDateTime m_today;
    const qint64 m_total;
    qint64 m_done = 0;
    std::unique_ptr<SqliteTransaction> m_transaction;
    std::vector<Artwork *> m_artworks;
    std::vector<Client *> m_clients;
};

} // namespace

Result<> DemoCatalogue::fill(VelumarkDatabase &document, const std::function<void(double)> &progress)
{
    try {
        Filler(document, m_options, progress).fill();
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
