#pragma once

#include "interchange/TransferScope.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCommandLineParser;

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::cli {

// Exit statuses of every command.
constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

void printOut(const QString &text);
void printError(const QString &text);

// One command of the tool: its name, a one-line summary and what it does with its arguments
// (the arguments after the command's name).
struct Command
{
    QString name;
    QString summary;
    std::function<int(const QStringList &arguments)> run;
};

const std::vector<Command> &commands();

// Parses a command's arguments with --help; returns -1 to go on, or the exit status to end with
// (0 after --help, 2 for a usage error, which is printed).
int parseArguments(QCommandLineParser &parser, const QString &command, const QStringList &arguments,
                   const QStringList &positionalNames, int minimumPositional, int maximumPositional = -1);

// Opens a catalogue package as the main document; null (with the error printed) when it cannot
// be opened. `create` allows a path that does not exist yet.
std::unique_ptr<VelumarkDatabase> openCatalogue(const QString &path, bool create = false);
// Saves and closes; false (with the error printed) when the save failed.
bool closeCatalogue(VelumarkDatabase &document);

// Scope names of the command line: complete, artworks-clients, artworks, clients.
std::optional<TransferScope> scopeFromName(const QString &name);
QString scopeNames();

} // namespace velumark::cli
