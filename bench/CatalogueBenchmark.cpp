// Speed and memory of the catalogue at two sizes, each figure beside a baseline measured in the
// same run. Run from the source folder (one command; the first run also makes the catalogues,
// which later runs find under build-release/bench-data/):
//
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build-release -j2
//   --target catalogue_benchmark && build-release/bench/catalogue_benchmark
//
// Options: --data DIR (where the catalogues are kept), --skip-upload (leave out the 500 MB upload),
// --only open|search|sort|flush|csv-export|csv-import|interchange|photo and --size small|large
// (one part, for profiling).
// The table goes to standard output and to DIR/results.md. Every time is the fastest of several
// runs (the machine is shared: the fastest run is the least disturbed one).
#include "Baselines.h"
#include "BenchCatalogues.h"
#include "BenchSupport.h"
#include "document/ArtworkListController.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "interchange/DatabaseExport.h"
#include "interchange/DatabaseImport.h"
#include "interchange/csv/CsvExport.h"
#include "interchange/csv/CsvImport.h"
#include "store/TextCompare.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace velumark;
using namespace velumark::bench;

namespace {

QString g_data;

QString scratch(const QString &name)
{
    const QString folder = QDir(g_data).filePath(QStringLiteral("scratch"));
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

std::unique_ptr<VelumarkDatabase> openDocument(const QString &package)
{
    auto document = std::make_unique<VelumarkDatabase>();
    if (const Result<> opened = document->readFromURL(package); !opened)
        qFatal("Cannot open %s: %s", qPrintable(package), qPrintable(opened.message()));
    return document;
}

void closeDocument(std::unique_ptr<VelumarkDatabase> &document)
{
    if (const Result<> closed = document->close(); !closed)
        qFatal("Cannot close: %s", qPrintable(closed.message()));
    document.reset();
}

// One figure at one size: ours and the baseline, in seconds or in MB/s.
struct Measure
{
    double ours = 0;
    double baseline = 0;
    bool measured = false;
};

struct Figure
{
    QString name;
    QString baselineName;
    bool throughput = false; // MB/s (higher is better) instead of milliseconds
    // The target: ours/baseline at most maxRatio (time) or at least minRatio (throughput).
    double maxRatio = 0;
    double minRatio = 0;
    double maxMilliseconds = 0; // an absolute limit as well, 0 for none
    QString targetText;
    Measure at[2];      // small, large
    QString remark;     // shown beside the figure
    bool growth = true; // whether the x4 growth applies
};

double ratioOf(const Figure &figure, int size)
{
    const Measure &m = figure.at[size];
    return m.baseline > 0 ? m.ours / m.baseline : 0;
}

bool targetMet(const Figure &figure, int size)
{
    const Measure &m = figure.at[size];
    if (!m.measured)
        return false;
    const double ratio = ratioOf(figure, size);
    bool met =
        figure.throughput ? ratio >= figure.minRatio : (figure.maxRatio <= 0 || ratio <= figure.maxRatio);
    if (figure.maxMilliseconds > 0 && m.ours * 1000 >= figure.maxMilliseconds)
        met = false;
    return met;
}

// Time ratio large/small (for throughputs: bytes grow x4, so the time ratio is 4 * small/large).
double growthOf(const Figure &figure)
{
    const Measure &small = figure.at[0];
    const Measure &large = figure.at[1];
    if (!small.measured || !large.measured || small.ours <= 0 || large.ours <= 0)
        return 0;
    return figure.throughput ? 4.0 * small.ours / large.ours : large.ours / small.ours;
}

double baselineGrowthOf(const Figure &figure)
{
    const Measure &small = figure.at[0];
    const Measure &large = figure.at[1];
    if (!small.measured || !large.measured || small.baseline <= 0 || large.baseline <= 0)
        return 0;
    return figure.throughput ? 4.0 * small.baseline / large.baseline : large.baseline / small.baseline;
}

QString value(const Figure &figure, double v)
{
    return figure.throughput ? QStringLiteral("%1 MB/s").arg(v, 0, 'f', 1)
                             : QStringLiteral("%1 ms").arg(v * 1000, 0, 'f', v < 0.01 ? 2 : 1);
}

double megabytesPerSecond(qint64 bytes, double seconds)
{
    return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
}

// ---- The figures -------------------------------------------------------------------------------

void measureOpen(Figure &figure, int size, const QString &catalogue, int runs)
{
    Runs ours;
    Runs baseline;
    const QString database = QDir(catalogue).filePath(QStringLiteral("velumark.db"));
    for (int r = 0; r < runs; ++r) {
        baseline.add(timed([&] { rawEagerRead(database); }));
        auto document = std::make_unique<VelumarkDatabase>();
        ours.add(timed([&] {
            if (const Result<> opened = document->readFromURL(catalogue); !opened)
                qFatal("open: %s", qPrintable(opened.message()));
        }));
        closeDocument(document);
    }
    figure.at[size] = {ours.best(), baseline.best(), true};
}

QString foldedRowText(const Submission &submission)
{
    const QString title = submission.artwork() ? submission.artwork()->title() : QString();
    const QString company = submission.client() ? submission.client()->company() : QString();
    return (title + QLatin1Char('\n') + company + QLatin1Char('\n') + submission.statusString() +
            QLatin1Char('\n') + submission.moreSubText())
        .toCaseFolded();
}

void measureSearch(Figure &figure, Figure &idle, Figure &first, int size, VelumarkDatabase &document)
{
    document.setCurrentList(VelumarkDatabase::ListKind::Submissions);
    // What the window does when it is idle after the open, beside making what the baseline scans:
    // one folded text per row.
    std::vector<std::pair<QString, Submission *>> rows;
    const double idleOurs = timed([&] { document.prepareSearch(); });
    const double idleBaseline = timed([&] {
        for (const auto &submission : document.submissions())
            rows.emplace_back(foldedRowText(*submission), submission.get());
    });
    idle.at[size] = {idleOurs, idleBaseline, true};
    std::vector<Submission *> found;
    auto scan = [&](const QString &text) {
        const QString needle = text.toCaseFolded();
        found.clear();
        for (const auto &[row, submission] : rows) {
            if (QStringView(row).contains(needle))
                found.push_back(submission);
        }
    };

    // The first keystroke after opening (and the idle moment).
    // A keystroke is done when the view can lay out its rows: the bands are read too.
    auto keystroke = [&](const QString &text) {
        document.handleSearch(text);
        document.submissionListController()->isSectionHeading(0);
    };
    const double firstOurs = timed([&] { keystroke(QStringLiteral("g")); });
    const double firstBaseline = timed([&] { scan(QStringLiteral("g")); });
    first.at[size] = {firstOurs, firstBaseline, true};

    const QStringList typed = {QStringLiteral("g"),       QStringLiteral("ga"),     QStringLiteral("gal"),
                               QStringLiteral("gall"),    QStringLiteral("galle"),  QStringLiteral("galler"),
                               QStringLiteral("gallery"), QStringLiteral("w"),      QStringLiteral("wi"),
                               QStringLiteral("wit"),     QStringLiteral("2"),      QStringLiteral("days!"),
                               QStringLiteral("sold"),    QStringLiteral("quiet h")};
    double worstOurs = 0;
    double worstBaseline = 0;
    double sumOurs = 0;
    double sumBaseline = 0;
    for (const QString &text : typed) {
        Runs ours;
        Runs baseline;
        for (int r = 0; r < 3; ++r) {
            ours.add(timed([&] { keystroke(text); }));
            baseline.add(timed([&] { scan(text); }));
        }
        const qsizetype shown = document.submissionListController()->rowCount();
        if (static_cast<size_t>(shown) != found.size())
            note(QStringLiteral("WARNING: the search for \"%1\" found %2 rows, the plain scan %3")
                     .arg(text)
                     .arg(shown)
                     .arg(found.size()));
        worstOurs = std::max(worstOurs, ours.best());
        worstBaseline = std::max(worstBaseline, baseline.best());
        sumOurs += ours.best();
        sumBaseline += baseline.best();
    }
    // The slowest keystroke is the figure; the ratio is that of the whole typed sequence.
    figure.at[size] = {worstOurs, worstOurs * sumBaseline / sumOurs, true};
    (void)worstBaseline;
    document.handleSearch(QString());
    document.setCurrentList(VelumarkDatabase::ListKind::Artworks);
}

void measureSortSubmissions(Figure &figure, int size, VelumarkDatabase &document)
{
    struct Keyed
    {
        qint64 sent;
        QByteArray title;
        bool hasTitle;
        Submission *submission;
    };
    std::vector<Keyed> keyed;
    for (const auto &submission : document.submissions()) {
        const QString title = submission->artwork() ? submission->artwork()->title() : QString();
        const QDateTime &sent = submission->sendDate();
        keyed.push_back({sent.isValid() ? sent.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min(),
                         localizedCaseInsensitiveSortKey(title), !title.isEmpty(), submission.get()});
    }
    Runs ours;
    Runs baseline;
    for (int r = 0; r < 6; ++r) {
        const bool ascending = r % 2 == 1;
        ours.add(timed([&] { document.submissionListController()->setSortOrder(0, ascending); }));
        baseline.add(timed([&] {
            std::sort(keyed.begin(), keyed.end(), [ascending](const Keyed &a, const Keyed &b) {
                int order = 0;
                if (a.sent != b.sent)
                    order = a.sent > b.sent ? -1 : 1;
                else if (a.hasTitle != b.hasTitle)
                    order = a.hasTitle ? 1 : -1;
                else
                    order = a.title.compare(b.title);
                return ascending ? order < 0 : order > 0;
            });
        }));
    }
    document.submissionListController()->setSortOrder(0, true);
    figure.at[size] = {ours.best(), baseline.best(), true};
}

void measureSortArtworks(Figure &figure, int size, VelumarkDatabase &document)
{
    struct Keyed
    {
        QString title;
        QByteArray artist;
        bool hasArtist;
        Artwork *artwork;
    };
    std::vector<Keyed> keyed;
    for (const auto &artwork : document.artworks())
        keyed.push_back({artwork->title(), localizedCaseInsensitiveSortKey(artwork->artist()),
                         !artwork->artist().isEmpty(), artwork.get()});
    Runs ours;
    Runs baseline;
    for (int r = 0; r < 6; ++r) {
        const bool ascending = r % 2 == 1;
        ours.add(timed([&] { document.artworkListController()->setSortOrder(0, ascending); }));
        baseline.add(timed([&] {
            std::sort(keyed.begin(), keyed.end(), [ascending](const Keyed &a, const Keyed &b) {
                int order = QString::compare(a.title, b.title);
                if (order == 0)
                    order = a.hasArtist != b.hasArtist ? (a.hasArtist ? 1 : -1) : a.artist.compare(b.artist);
                return ascending ? order < 0 : order > 0;
            });
        }));
    }
    document.artworkListController()->setSortOrder(0, true);
    figure.at[size] = {ours.best(), baseline.best(), true};
}

void measureFlush(Figure &figure, int size, const QString &catalogue)
{
    const QString ourCopy = scratchPackage(catalogue, scratch(QStringLiteral("flush.vdb")));
    const QString rawCopy = scratchPackage(catalogue, scratch(QStringLiteral("flush-raw.vdb")));
    auto document = openDocument(ourCopy);
    Runs ours;
    Runs baseline;
    for (int r = 1; r <= 5; ++r) {
        const double delta = r;
        // Every tenth record of each list is edited as an editor does it: loaded whole, then changed.
        for (const auto &artwork : document->artworks()) {
            if (artwork->primaryKey() % 10 == 0) {
                artwork->hydrate();
                artwork->setPrice(artwork->price() + delta);
            }
        }
        for (const auto &client : document->clients()) {
            if (client->primaryKey() % 10 == 0) {
                client->hydrate();
                client->setCommission(client->commission() + delta);
            }
        }
        for (const auto &submission : document->submissions()) {
            if (submission->primaryKey() % 10 == 0) {
                submission->hydrate();
                submission->setIncome(submission->income() + delta);
            }
        }
        const QString rawDatabase = QDir(rawCopy).filePath(QStringLiteral("velumark.db"));
        const std::vector<RawUpdate> updates = rawUpdatesFor(rawDatabase, 10, delta);
        // Both commits wait for the disk: what earlier figures wrote is settled first, and the two
        // take turns at going first.
        ::sync();
        auto flushOurs = [&] {
            ours.add(timed([&] {
                if (const Result<> saved = document->saveChanges(); !saved)
                    qFatal("flush: %s", qPrintable(saved.message()));
            }));
        };
        auto flushRaw = [&] {
            baseline.add(timed([&] { rawFlush(rawDatabase, updates); }));
        };
        if (r % 2) {
            flushOurs();
            flushRaw();
        } else {
            flushRaw();
            flushOurs();
        }
    }
    closeDocument(document);
    figure.at[size] = {ours.best(), baseline.best(), true};
}

void measureCsvExport(Figure &figure, int size, VelumarkDatabase &document, QString *csvPath)
{
    *csvPath = scratch(QStringLiteral("export.csv"));
    const QString shellCsv = scratch(QStringLiteral("shell.csv"));
    Runs ours;
    Runs baseline;
    qint64 ourBytes = 0;
    qint64 shellBytes = 0;
    for (int r = 0; r < 2; ++r) {
        CsvExport csv(document, *csvPath, TransferScope::Complete);
        ours.add(timed([&] {
            if (const Result<> ran = runOperation(csv); !ran)
                qFatal("CSV export: %s", qPrintable(ran.message()));
        }));
        ourBytes = fileSize(*csvPath);
        double seconds = 0;
        shellBytes = sqliteShellCsv(QDir(document.packageFilename()).filePath(QStringLiteral("velumark.db")),
                                    shellCsv, &seconds);
        baseline.add(seconds);
    }
    figure.at[size] = {megabytesPerSecond(ourBytes, ours.best()),
                       megabytesPerSecond(shellBytes, baseline.best()), true};
    figure.remark = QStringLiteral("files of %1 MB (ours) and %2 MB (sqlite3) at the large size")
                        .arg(static_cast<double>(ourBytes) / 1e6, 0, 'f', 1)
                        .arg(static_cast<double>(shellBytes) / 1e6, 0, 'f', 1);
}

void measureCsvImport(Figure &figure, int size, const QString &csvPath)
{
    const qint64 bytes = fileSize(csvPath);
    Runs ours;
    Runs baseline;
    for (int r = 0; r < 2; ++r) {
        const QString target = scratch(QStringLiteral("csv-import.vdb"));
        removePath(target);
        auto document = openDocument(target);
        CsvImport import(*document, csvPath, TransferScope::Complete);
        ours.add(timed([&] {
            if (const Result<> ran = runOperation(import); !ran)
                qFatal("CSV import: %s", qPrintable(ran.message()));
        }));
        if (document->submissions().empty())
            qFatal("CSV import stored no submission");
        closeDocument(document);
        baseline.add(sqliteShellImport(csvPath, scratch(QStringLiteral("shell-import.db"))));
    }
    figure.at[size] = {megabytesPerSecond(bytes, ours.best()), megabytesPerSecond(bytes, baseline.best()),
                       true};
}

void measureInterchange(Figure &figure, int size, const QString &catalogue)
{
    auto document = openDocument(catalogue);
    const QString file = scratch(QStringLiteral("exchange.vdbi"));
    Runs ours;
    Runs baseline;
    for (int r = 0; r < 2; ++r) {
        removePath(file);
        const QString target = scratch(QStringLiteral("exchange-import.vdb"));
        removePath(target);
        auto imported = openDocument(target);
        ours.add(timed([&] {
            DatabaseExport exporting(*document, file, TransferScope::Complete);
            if (const Result<> ran = runOperation(exporting); !ran)
                qFatal("export: %s", qPrintable(ran.message()));
            DatabaseImport importing(*imported, DatabaseImport::Source::InterchangeFile, file,
                                     TransferScope::Complete, false);
            if (const Result<> ran = runOperation(importing); !ran)
                qFatal("import: %s", qPrintable(ran.message()));
        }));
        if (imported->submissions().size() != document->submissions().size())
            qFatal("the import lost submissions");
        closeDocument(imported);
        baseline.add(attachedCopy(QDir(catalogue).filePath(QStringLiteral("velumark.db")),
                                  scratch(QStringLiteral("attached.db"))));
    }
    closeDocument(document);
    figure.at[size] = {ours.best(), baseline.best(), true};
}

void measurePhoto(Figure &figure, int size, const QString &picture)
{
    const QString package = scratch(QStringLiteral("photo.vdb"));
    removePath(package);
    auto document = openDocument(package);
    const QString vipsFolder = scratch(QStringLiteral("vips"));
    QDir().mkpath(vipsFolder);
    Runs ours;
    Runs baseline;
    for (int r = 0; r < 4; ++r) {
        Image *added = nullptr;
        ours.add(timed([&] {
            auto image = std::make_unique<Image>();
            if (!image->setPhotoFromFile(picture))
                qFatal("cannot read %s", qPrintable(picture));
            added = document->addImage(std::move(image));
        }));
        if (added->photo().width() != 1280)
            qFatal("unexpected photo size");
        document->removeImage(added);
        baseline.add(vipsPhoto(picture, vipsFolder));
    }
    closeDocument(document);
    figure.at[size] = {ours.best(), baseline.best(), true};
}

qint64 childPeakMemory(const QString &catalogue)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--open-peak-memory"), catalogue, QStringLiteral("--data"), g_data});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("peak memory child failed: %s", child.readAllStandardError().constData());
    return child.readAllStandardOutput().trimmed().toLongLong();
}

qint64 uploadGrowth()
{
    QProcess child;
    child.start(QStringLiteral(VELUMARK_UPLOAD_BENCHMARK), {QStringLiteral("--benchmark_format=json")});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return -1;
    const QJsonArray runs = QJsonDocument::fromJson(child.readAllStandardOutput())
                                .object()
                                .value(QStringLiteral("benchmarks"))
                                .toArray();
    return runs.isEmpty() ? -1
                          : static_cast<qint64>(
                                runs.first().toObject().value(QStringLiteral("rss_growth_KiB")).toDouble());
}

// ---- The report --------------------------------------------------------------------------------

QString report(const std::vector<Figure> &figures, qint64 peakSmall, qint64 peakLarge, qint64 upload)
{
    QString out;
    out += QStringLiteral("| Figure (large catalogue) | Ours | Baseline | Ratio | Target | Met |\n");
    out += QStringLiteral("|---|---|---|---|---|---|\n");
    // A run of one part (--only, --size) leaves the other figures unmeasured: they are left out,
    // and a run of the small catalogue alone shows its figures.
    for (const Figure &figure : figures) {
        const int size = figure.at[1].measured ? 1 : 0;
        const Measure &m = figure.at[size];
        if (!m.measured)
            continue;
        const QString name = size == 1 ? figure.name : figure.name + QStringLiteral(" (small catalogue)");
        out += QStringLiteral("| %1 | %2 | %3: %4 | %5 | %6 | %7 |\n")
                   .arg(name, value(figure, m.ours), figure.baselineName, value(figure, m.baseline))
                   .arg(ratioOf(figure, size), 0, 'f', 2)
                   .arg(figure.targetText, figure.targetText.isEmpty() ? QStringLiteral("-")
                                           : targetMet(figure, size)   ? QStringLiteral("yes")
                                                                       : QStringLiteral("NO"));
    }
    if (peakLarge > 0)
        out +=
            QStringLiteral("| peak memory opening the catalogue | %1 MB resident | - | - | < 200 MB | %2 |\n")
                .arg(static_cast<double>(peakLarge) / 1024, 0, 'f', 1)
                .arg(peakLarge < 200 * 1024 ? QStringLiteral("yes") : QStringLiteral("NO"));
    if (upload >= 0)
        out += QStringLiteral("| memory growth uploading a 500 MB file | %1 KiB | - | - | < 2 MB | %2 |\n")
                   .arg(upload)
                   .arg(upload < 2048 ? QStringLiteral("yes") : QStringLiteral("NO"));
    else
        out +=
            QStringLiteral("| memory growth uploading a 500 MB file | not measured | - | - | < 2 MB | - |\n");

    out += QStringLiteral(
        "\n| Growth x1 -> x4 | Ours small | Ours large | Time x | Baseline x | Target | Met |\n");
    out += QStringLiteral("|---|---|---|---|---|---|---|\n");
    for (const Figure &figure : figures) {
        if (!figure.growth || !figure.at[0].measured || !figure.at[1].measured)
            continue;
        const double growth = growthOf(figure);
        out += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | <= 4.6 | %6 |\n")
                   .arg(figure.name, value(figure, figure.at[0].ours), value(figure, figure.at[1].ours))
                   .arg(growth, 0, 'f', 2)
                   .arg(baselineGrowthOf(figure), 0, 'f', 2)
                   .arg(growth > 0 && growth <= 4.6 ? QStringLiteral("yes") : QStringLiteral("NO"));
    }
    if (peakSmall > 0 && peakLarge > 0) {
        const double growth = static_cast<double>(peakLarge) / static_cast<double>(peakSmall);
        out += QStringLiteral("| peak memory opening | %1 MB | %2 MB | %3 | - | <= 4.6 | %4 |\n")
                   .arg(static_cast<double>(peakSmall) / 1024, 0, 'f', 1)
                   .arg(static_cast<double>(peakLarge) / 1024, 0, 'f', 1)
                   .arg(growth, 0, 'f', 2)
                   .arg(growth <= 4.6 ? QStringLiteral("yes") : QStringLiteral("NO"));
    }
    for (const Figure &figure : figures) {
        if (!figure.remark.isEmpty())
            out += QStringLiteral("\n- %1: %2").arg(figure.name, figure.remark);
    }
    out += QLatin1Char('\n');
    return out;
}

int openPeakMemory(const QString &catalogue)
{
    std::unique_ptr<VelumarkDatabase> document;
    const double seconds = timed([&] { document = openDocument(catalogue); });
    const qint64 peak = statusKiB("VmHWM");
    note(QStringLiteral("opened in %1 ms").arg(seconds * 1000, 0, 'f', 1));
    closeDocument(document);
    std::printf("%lld\n", static_cast<long long>(peak));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    g_data = optionValue(QStringLiteral("--data"), QStringLiteral(VELUMARK_BENCH_DATA));
    QDir().mkpath(g_data);
    configureRun(QDir(g_data).filePath(QStringLiteral("home")));
    if (arguments.size() >= 3 && arguments.at(1) == QLatin1String("--open-peak-memory"))
        return openPeakMemory(arguments.at(2));
    const bool skipUpload = arguments.contains(QStringLiteral("--skip-upload"));
    const QString only = optionValue(QStringLiteral("--only"));
    const QString onlySize = optionValue(QStringLiteral("--size"));
    if (!initVips(argv[0]))
        qFatal("libvips cannot start");

    const CatalogueSize sizes[2] = {smallSize(), largeSize()};
    QString catalogues[2];
    QString photoless[2];
    for (int s = 0; s < 2; ++s) {
        catalogues[s] = preparedCatalogue(g_data, sizes[s], true);
        photoless[s] = preparedCatalogue(g_data, sizes[s], false);
    }
    const QString pictures[2] = {preparedCameraPicture(g_data, 4000, 3000),
                                 preparedCameraPicture(g_data, 6000, 4000)};

    std::vector<Figure> figures(11);
    Figure &open = figures[0];
    open = {QStringLiteral("open (load all lists, link, count overdue)"),
            QStringLiteral("raw N+1 eager read"),
            false,
            2.5,
            0,
            0,
            QStringLiteral("<= 2.5x"),
            {},
            {},
            true};
    Figure &search = figures[1];
    search = {QStringLiteral("search keystroke over all submissions (slowest of 14)"),
              QStringLiteral("plain folded substring scan"),
              false,
              3,
              0,
              30,
              QStringLiteral("< 30 ms, <= 3x"),
              {},
              {},
              true};
    Figure &firstSearch = figures[2];
    firstSearch = {QStringLiteral("first search keystroke after opening"),
                   QStringLiteral("plain folded substring scan"),
                   false,
                   0,
                   0,
                   50,
                   QStringLiteral("<= 50 ms"),
                   {},
                   QStringLiteral("after the window's idle call of prepareSearch() (next figure)"),
                   true};
    Figure &idleSearch = figures[3];
    idleSearch = {QStringLiteral("search texts made while idle after opening (prepareSearch)"),
                  QStringLiteral("one folded text per row"),
                  false,
                  0,
                  0,
                  0,
                  QString(),
                  {},
                  QString(),
                  true};
    Figure &sortSubmissions = figures[4];
    sortSubmissions = {QStringLiteral("sort all submissions"),
                       QStringLiteral("std::sort by precomputed key"),
                       false,
                       3,
                       0,
                       0,
                       QStringLiteral("<= 3x"),
                       {},
                       {},
                       true};
    Figure &sortArtworks = figures[5];
    sortArtworks = {QStringLiteral("sort all artworks"),
                    QStringLiteral("std::sort by precomputed key"),
                    false,
                    3,
                    0,
                    0,
                    QStringLiteral("<= 3x"),
                    {},
                    {},
                    true};
    Figure &flush = figures[6];
    flush = {QStringLiteral("flush with 10% of the records changed"),
             QStringLiteral("raw updates in one exclusive transaction"),
             false,
             1.5,
             0,
             0,
             QStringLiteral("<= 1.5x"),
             {},
             {},
             true};
    Figure &csvExport = figures[7];
    csvExport = {QStringLiteral("CSV export"),
                 QStringLiteral("sqlite3 .mode csv"),
                 true,
                 0,
                 0.5,
                 0,
                 QStringLiteral(">= 0.5x its MB/s"),
                 {},
                 {},
                 true};
    Figure &csvImport = figures[8];
    csvImport = {QStringLiteral("CSV import into an empty catalogue"),
                 QStringLiteral("sqlite3 .import --csv"),
                 true,
                 0,
                 1.0 / 3,
                 0,
                 QStringLiteral(">= 0.33x its MB/s"),
                 {},
                 {},
                 true};
    Figure &exchange = figures[9];
    exchange = {QStringLiteral("interchange export then import, no photos"),
                QStringLiteral("INSERT INTO ... SELECT between attached databases"),
                false,
                6,
                0,
                0,
                QStringLiteral("<= 6x"),
                {},
                {},
                true};
    Figure &photo = figures[10];
    photo = {QStringLiteral("photo import 6000x4000 (small: 4000x3000)"),
             QStringLiteral("libvips vips_thumbnail, same three files"),
             false,
             0.6,
             0,
             0,
             QStringLiteral("<= 0.6x"),
             {},
             QStringLiteral("the x4 column is 4000x3000 -> 6000x4000, twice the pixels"),
             false};

    // --only FIGURE and --size small|large measure a part, for profiling; the table is then partial.
    auto wanted = [&](const char *name) {
        return only.isEmpty() || only == QLatin1String(name);
    };
    for (int s = 0; s < 2; ++s) {
        if (!onlySize.isEmpty() && onlySize != sizes[s].name)
            continue;
        const int runs = s == 0 ? 5 : 3;
        note(QStringLiteral("== %1 catalogue").arg(sizes[s].name));
        if (wanted("open")) {
            note(QStringLiteral("open"));
            measureOpen(open, s, catalogues[s], runs);
        }
        auto document = openDocument(catalogues[s]);
        if (wanted("search")) {
            note(QStringLiteral("search"));
            measureSearch(search, idleSearch, firstSearch, s, *document);
        }
        if (wanted("sort")) {
            note(QStringLiteral("sort"));
            measureSortSubmissions(sortSubmissions, s, *document);
            measureSortArtworks(sortArtworks, s, *document);
        }
        QString csv;
        if (wanted("csv-export") || wanted("csv-import")) {
            note(QStringLiteral("CSV export"));
            measureCsvExport(csvExport, s, *document, &csv);
        }
        closeDocument(document);
        if (wanted("flush")) {
            note(QStringLiteral("flush"));
            measureFlush(flush, s, catalogues[s]);
        }
        if (wanted("csv-import")) {
            note(QStringLiteral("CSV import"));
            measureCsvImport(csvImport, s, csv);
        }
        if (wanted("interchange")) {
            note(QStringLiteral("interchange"));
            measureInterchange(exchange, s, photoless[s]);
        }
        if (wanted("photo")) {
            note(QStringLiteral("photo"));
            measurePhoto(photo, s, pictures[s]);
        }
    }
    if (!only.isEmpty() || !onlySize.isEmpty()) {
        std::printf("%s", report(figures, 0, 0, -1).toUtf8().constData());
        return 0;
    }
    note(QStringLiteral("peak memory"));
    const qint64 peakSmall = childPeakMemory(catalogues[0]);
    const qint64 peakLarge = childPeakMemory(catalogues[1]);
    qint64 upload = -1;
    if (!skipUpload) {
        note(QStringLiteral("upload memory (upload_memory_benchmark)"));
        upload = uploadGrowth();
    }

    const QString table = report(figures, peakSmall, peakLarge, upload);
    std::printf("%s", table.toUtf8().constData());
    QFile results(QDir(g_data).filePath(QStringLiteral("results.md")));
    if (results.open(QIODevice::WriteOnly))
        results.write(table.toUtf8());
    return 0;
}
