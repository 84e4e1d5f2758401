// Adding picture files to an artwork's photos.
#include "cli/Commands.h"
#include "cli/ProgressReporter.h"
#include "document/VelumarkDatabase.h"
#include "interchange/PhotoImport.h"
#include "store/DatabaseError.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace velumark::cli {

namespace {

// The one artwork of that title; null (with the reason printed) when there is none or several.
Artwork *artworkTitled(const VelumarkDatabase &document, const QString &title)
{
    std::vector<Artwork *> found;
    for (const auto &artwork : document.artworks()) {
        if (artwork->title() == title)
            found.push_back(artwork.get());
    }
    if (found.size() == 1)
        return found.front();
    printError(found.empty() ? localized("There is no artwork titled \"%1\".").arg(title)
                             : localized("%1 artworks are titled \"%2\"; give one a title of its own first.")
                                   .arg(found.size())
                                   .arg(title));
    return nullptr;
}

int addPhotos(VelumarkDatabase &document, Artwork &artwork, const QStringList &files)
{
    std::vector<Image *> photos = artwork.images();
    PhotoImport import(document, artwork.primaryKey(), files, qint64(photos.size()));
    ProgressReporter reporter(OperationTexts::photoImport());
    import.setWatcher(&reporter);
    if (const Result<> started = import.start(); !started) {
        printError(started.message());
        return kFailure;
    }
    int status = reporter.waitFor(import);
    // Whatever was added before a cancel or a failure is the artwork's now.
    photos.insert(photos.end(), import.addedImages().begin(), import.addedImages().end());
    try {
        document.setArtworkImages(&artwork, photos);
    } catch (const DatabaseError &failure) {
        printError(failure.describe());
        status = kFailure;
    }
    return import.skipped().isEmpty() ? status : kFailure;
}

int addPhotosCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Adds picture files (JPEG, PNG, TIFF and whatever else the installed image formats read) as photos "
        "of the artwork with that title, after its photos. Files that are not pictures are skipped and "
        "named; the exit status is then 1. Ctrl-C stops the import and keeps the photos added so far."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    parser.addPositionalArgument(QStringLiteral("TITLE"), localized("The artwork's title."));
    parser.addPositionalArgument(QStringLiteral("FILE"), localized("Picture files."),
                                 QStringLiteral("FILE..."));
    if (const int status = parseArguments(
            parser, QStringLiteral("add-photos"), arguments,
            {QStringLiteral("PATH.vdb"), QStringLiteral("TITLE"), QStringLiteral("FILE...")}, 3);
        status >= 0)
        return status;
    const QStringList positional = parser.positionalArguments();
    auto document = openCatalogue(positional.at(0));
    if (!document)
        return kFailure;
    QStringList files;
    for (const QString &file : positional.mid(2))
        files.append(QFileInfo(file).absoluteFilePath());
    Artwork *artwork = artworkTitled(*document, positional.at(1));
    const int status = artwork ? addPhotos(*document, *artwork, files) : kFailure;
    return closeCatalogue(*document) ? status : kFailure;
}

} // namespace

std::vector<Command> photoCommands()
{
    return {{QStringLiteral("add-photos"), localized("Add picture files as photos of an artwork."),
             addPhotosCommand}};
}

} // namespace velumark::cli
