#include "cli/ProgressReporter.h"

#include "cli/Cli.h"
#include "cli/InterruptHandler.h"
#include "interchange/LongOperation.h"
#include "store/Localization.h"

#include <QEventLoop>
#include <cstdio>
#include <unistd.h>

namespace velumark::cli {

ProgressReporter::Texts ProgressReporter::importTexts()
{
    return {
        localized("Import Complete"), localized("Database import complete!"), localized("Import Error"),
        localized(
            "An error occurred during the import! Database import was aborted and no changes were made.")};
}

ProgressReporter::Texts ProgressReporter::exportTexts()
{
    return {
        localized("Export Complete"), localized("Database export complete!"), localized("Export Error"),
        localized(
            "An error occurred during the export! Database export was aborted and no changes were made.")};
}

ProgressReporter::Texts ProgressReporter::reportTexts()
{
    return {localized("Export Complete"), localized("Report export complete!"), localized("Export Error"),
            localized("An error occurred during report export.")};
}

ProgressReporter::ProgressReporter(QString label, Texts texts)
    : m_label(std::move(label)), m_texts(std::move(texts)), m_terminal(::isatty(STDERR_FILENO) == 1)
{}

void ProgressReporter::progressUpdate(double percent)
{
    if (!m_terminal)
        return;
    constexpr int kWidth = 40;
    const int filled = static_cast<int>(percent * kWidth / 100.0);
    if (filled == m_lastWidth)
        return;
    m_lastWidth = filled;
    const QString bar = QString(filled, QLatin1Char('#')) + QString(kWidth - filled, QLatin1Char('.'));
    std::fprintf(stderr, "\r%s [%s] %3d%%", m_label.toUtf8().constData(), bar.toUtf8().constData(),
                 static_cast<int>(percent));
    std::fflush(stderr);
}

void ProgressReporter::operationFinished(OperationResult result, const QString &message)
{
    if (m_terminal && m_lastWidth >= 0) {
        std::fputc('\n', stderr);
        m_lastWidth = -1;
    }
    m_result = result;
    switch (result) {
    case OperationResult::Done:
        printOut(m_texts.complete);
        if (!message.isEmpty())
            printOut(message);
        break;
    case OperationResult::Cancelled:
        printError(localized("Cancelled."));
        break;
    case OperationResult::Failed:
        printError(QStringLiteral("%1: %2").arg(m_texts.errorTitle, m_texts.error));
        if (!message.isEmpty())
            printError(message);
        break;
    }
}

int ProgressReporter::waitFor(LongOperation &operation)
{
    const InterruptHandler interrupt([&operation] { operation.abort(); });
    QEventLoop loop;
    QObject::connect(&operation, &LongOperation::finished, &loop, &QEventLoop::quit);
    if (operation.isRunning())
        loop.exec();
    return m_result == OperationResult::Done ? kSuccess : kFailure;
}

} // namespace velumark::cli
