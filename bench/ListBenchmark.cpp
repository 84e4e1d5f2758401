// Speed and memory of the lists of the desktop application on the large catalogue, on the
// offscreen platform, each beside a baseline measured in the same run:
//   - a search keystroke on the submission list: the document's search, the model's reset, the
//     rows' heights and the repaint of the window (slowest of 14 keystrokes, best of 3 each);
//   - scrolling the artwork list from top to bottom a screen at a time, every frame painted
//     (the slowest frame of the better of 2 passes);
//   - resident memory after the scroll;
//   - how the row heights were chosen: one keystroke that shows every submission again, with the
//     table's rows sized three ways.
//
//   cmake --build build-release -j2 --target list_benchmark
//   build-release/bench/list_benchmark --data /work/bench-data
//
// --only search|scroll|heights runs one part (for profiling).
// The catalogue is the large one of catalogue_benchmark (made there once and kept; --data DIR
// names the folder that holds it). It is read through a package of this run's own beside the
// build (its database copied, its pictures linked), so that other benchmarks may hold it open.
#include "BenchCatalogues.h"
#include "BenchSupport.h"
#include "document/ArtworkListController.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "gui/window/ListModel.h"
#include "gui/window/ListPane.h"
#include "gui/window/ListPictures.h"
#include "gui/window/ListTableView.h"
#include "gui/window/VLTableCell.h"
#include "store/AppPreferences.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMainWindow>
#include <QScrollBar>
#include <QStringListModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>

using namespace velumark;
using namespace velumark::bench;
using velumark::gui::ListPane;

namespace {

constexpr double kMs = 1000;
constexpr double kKiBPerMB = 1024;
constexpr QSize kWindowSize(1000, 680);

// A package holding a copy of the catalogue's database and hard links to its pictures.
QString privateCopy(const QString &catalogue, const QString &target)
{
    removePath(target);
    QDir().mkpath(target);
    const QDir source(catalogue);
    for (const QString &name : source.entryList(QDir::Files)) {
        const QByteArray from = QFile::encodeName(source.filePath(name));
        const QByteArray to = QFile::encodeName(QDir(target).filePath(name));
        const bool made =
            name == QLatin1String(VelumarkDatabase::kDatabaseFileName)
                ? QFile::copy(QString::fromLocal8Bit(from), QString::fromLocal8Bit(to))
                : name.startsWith(QLatin1String("vl-")) && ::link(from.constData(), to.constData()) == 0;
        if (!made && !name.startsWith(QLatin1Char('.')))
            qFatal("Cannot copy %s into %s", qPrintable(name), qPrintable(target));
    }
    return target;
}

// A window showing one widget, on the (offscreen) screen.
std::unique_ptr<QMainWindow> shown(QWidget *content)
{
    auto window = std::make_unique<QMainWindow>();
    window->setCentralWidget(content);
    window->resize(kWindowSize);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("The window was not shown");
    QCoreApplication::processEvents();
    return window;
}

// Every frame of a scroll from the top to the bottom, one screen per frame: the scroll, what it
// posted, and the paint of the visible rows.
Runs scrollFrames(QAbstractScrollArea &view)
{
    QScrollBar *bar = view.verticalScrollBar();
    bar->setValue(0);
    QCoreApplication::processEvents();
    const int step = view.viewport()->height();
    Runs frames;
    for (int value = 0;; value += step) {
        const int target = std::min(value, bar->maximum());
        frames.add(timed([&] {
            bar->setValue(target);
            QCoreApplication::sendPostedEvents();
            view.viewport()->repaint();
        }));
        if (target >= bar->maximum())
            break;
    }
    return frames;
}

double slowest(const Runs &runs)
{
    return runs.seconds.empty() ? 0 : *std::max_element(runs.seconds.begin(), runs.seconds.end());
}

QString ms(double seconds)
{
    return QStringLiteral("%1 ms").arg(seconds * kMs, 0, 'f', seconds * kMs < 10 ? 2 : 1);
}

QString row(const QString &figure, const QString &ours, const QString &baseline, double ratio,
            const QString &target, bool met)
{
    return QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |")
        .arg(figure, ours, baseline, ratio > 0 ? QString::number(ratio, 'f', 2) : QStringLiteral("-"), target,
             met ? QStringLiteral("yes") : QStringLiteral("NO"));
}

const QStringList &typedTexts()
{
    static const QStringList typed = {
        QStringLiteral("g"),     QStringLiteral("ga"),     QStringLiteral("gal"),     QStringLiteral("gall"),
        QStringLiteral("galle"), QStringLiteral("galler"), QStringLiteral("gallery"), QStringLiteral("w"),
        QStringLiteral("wi"),    QStringLiteral("wit"),    QStringLiteral("2"),       QStringLiteral("days!"),
        QStringLiteral("sold"),  QStringLiteral("quiet h")};
    return typed;
}

// The slowest keystroke of the typed texts (best of 3 each): with the window, and the
// document's search alone.
std::pair<double, double> searchKeystrokes(VelumarkDatabase &document, QWidget &window)
{
    double worstWindow = 0;
    double worstCore = 0;
    for (const QString &text : typedTexts()) {
        Runs withWindow;
        Runs core;
        for (int run = 0; run < 3; ++run) {
            withWindow.add(timed([&] {
                document.handleSearch(text);
                QCoreApplication::sendPostedEvents();
                window.repaint();
            }));
            core.add(timed([&] {
                document.handleSearch(text);
                document.submissionListController()->isSectionHeading(0);
            }));
            QCoreApplication::processEvents();
        }
        worstWindow = std::max(worstWindow, withWindow.best());
        worstCore = std::max(worstCore, core.best());
    }
    document.handleSearch(QString());
    QCoreApplication::processEvents();
    return {worstWindow, worstCore};
}

// One keystroke that brings back every submission after a narrow search, in a table over the
// list's model and the cell delegate whose rows are sized as `prepare` makes them.
double everyRowAgain(VelumarkDatabase &document, const std::function<QTableView *(gui::ListModel &)> &make)
{
    RecordList &list = *document.submissionListController();
    gui::ListModel model(list, gui::ListDescription::of(list));
    gui::ListPictures pictures;
    gui::VLTableCell cell(document, pictures);
    QTableView *table = make(model);
    table->setItemDelegate(&cell);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->verticalHeader()->hide();
    auto window = shown(table);
    Runs runs;
    for (int run = 0; run < 2; ++run) {
        document.handleSearch(QStringLiteral("quiet h"));
        QCoreApplication::processEvents();
        runs.add(timed([&] {
            document.handleSearch(QString());
            QCoreApplication::sendPostedEvents();
            window->repaint();
        }));
    }
    window.reset();
    return runs.best();
}

void compareRowHeights(VelumarkDatabase &document, QStringList &out)
{
    document.setCurrentList(VelumarkDatabase::ListKind::Submissions);
    const double ours =
        everyRowAgain(document, [](gui::ListModel &model) { return new gui::ListTableView(model); });
    const double fromHints = everyRowAgain(document, [](gui::ListModel &model) {
        auto *table = new QTableView;
        table->setModel(&model);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        return table;
    });
    const double everyRow = everyRowAgain(document, [](gui::ListModel &model) {
        auto *table = new QTableView;
        table->setModel(&model);
        QObject::connect(&model, &QAbstractItemModel::modelReset, table, [table, &model] {
            for (int row = 0; row < model.rowCount(); ++row)
                table->setRowHeight(row, model.rowHeight(row));
        });
        return table;
    });
    out << QStringLiteral("| normal height for all, band rows set higher (ours) | %1 |").arg(ms(ours))
        << QStringLiteral("| every row sized from its size hint (header in ResizeToContents) | %1 |")
               .arg(ms(fromHints))
        << QStringLiteral("| every row's height set after each reset | %1 |").arg(ms(everyRow));
}

void scrollFigures(VelumarkDatabase &document, QStringList &table)
{
    note(QStringLiteral("scroll"));
    document.setCurrentList(VelumarkDatabase::ListKind::Artworks);
    const qint64 beforeScroll = statusKiB("VmRSS");
    Runs better;
    {
        auto *pane = new ListPane(document, *document.artworkListController());
        auto window = shown(pane);
        for (int pass = 0; pass < 2; ++pass) {
            const Runs frames = scrollFrames(*pane->tableView());
            if (better.seconds.empty() || slowest(frames) < slowest(better))
                better = frames;
        }
    }
    const qint64 afterScroll = statusKiB("VmRSS");
    Runs plain;
    {
        // The same rows' titles in a plain table with Qt's own delegate, rows as high.
        QStringList titles;
        for (const auto &artwork : document.artworks())
            titles << artwork->title();
        QStringListModel titlesModel(titles);
        auto *view = new QTableView;
        view->setModel(&titlesModel);
        view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(120);
        auto window = shown(view);
        plain = scrollFrames(*view);
    }
    table << row(QStringLiteral("scrolling the artwork list top to bottom, a screen per frame: slowest frame "
                                "(median %1, %2 frames)")
                     .arg(ms(better.median()))
                     .arg(better.seconds.size()),
                 ms(slowest(better)),
                 QStringLiteral("titles in a plain table, same rows: %1 (median %2)")
                     .arg(ms(slowest(plain)), ms(plain.median())),
                 slowest(better) / slowest(plain), QStringLiteral("<= 16 ms"), slowest(better) * kMs <= 16);
    table << row(QStringLiteral("resident memory after the scroll"),
                 QStringLiteral("%1 MB").arg(afterScroll / kKiBPerMB, 0, 'f', 1),
                 QStringLiteral("before the scroll: %1 MB").arg(beforeScroll / kKiBPerMB, 0, 'f', 1), 0,
                 QStringLiteral("<= 300 MB"), afterScroll / kKiBPerMB <= 300);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString data = optionValue(QStringLiteral("--data"), QStringLiteral(VELUMARK_BENCH_DATA));
    const QString only = optionValue(QStringLiteral("--only"));
    auto wanted = [&only](const char *part) {
        return only.isEmpty() || only == QLatin1String(part);
    };
    QTemporaryDir preferences;
    // A preferences file of this run: sections by artist on, so the artwork list has its bands.
    configureRun(QDir(data).filePath(QStringLiteral("home")),
                 preferences.filePath(QStringLiteral("preferences.ini")));
    getPreferences().setSortArtworksByArtist(true);
    const QString catalogue = privateCopy(preparedCatalogue(data, largeSize(), true),
                                          QStringLiteral(VELUMARK_BENCH_SCRATCH "/list-large.vdb"));

    note(QStringLiteral("opening %1").arg(catalogue));
    auto document = std::make_unique<VelumarkDatabase>();
    if (const Result<> opened = document->readFromURL(catalogue); !opened)
        qFatal("Cannot open %s: %s", qPrintable(catalogue), qPrintable(opened.message()));
    document->prepareSearch();
    QStringList table = {
        QStringLiteral("| Figure (large catalogue) | Ours | Baseline | Ratio | Target | Met |"),
        QStringLiteral("|---|---|---|---|---|---|")};

    document->setCurrentList(VelumarkDatabase::ListKind::Submissions);
    if (wanted("search")) {
        note(QStringLiteral("search"));
        auto window = shown(new ListPane(*document, *document->submissionListController()));
        const auto [withWindow, core] = searchKeystrokes(*document, *window);
        table << row(
            QStringLiteral("search keystroke on the submission list, model reset and repaint included "
                           "(slowest of 14)"),
            ms(withWindow), QStringLiteral("the document's search alone: %1").arg(ms(core)),
            withWindow / core, QStringLiteral("<= 30 ms"), withWindow * kMs <= 30);
    }

    if (wanted("scroll"))
        scrollFigures(*document, table);
    if (wanted("heights")) {
        note(QStringLiteral("row heights"));
        QStringList heights = {
            QStringLiteral("| Rows of the submission list sized | every submission shown again |"),
            QStringLiteral("|---|---|")};
        compareRowHeights(*document, heights);
        table << QString() << heights;
    }
    if (const Result<> closed = document->close(); !closed)
        qFatal("close: %s", qPrintable(closed.message()));
    std::printf("%s\n", qPrintable(table.join(QLatin1Char('\n'))));
    return 0;
}
