#include "cli/ProgressReporter.h"

#include "cli/Cli.h"
#include "cli/InterruptHandler.h"
#include "interchange/LongOperation.h"
#include "store/Localization.h"

#include <QEventLoop>
#include <cstdio>
#include <unistd.h>

namespace velumark::cli {

ProgressReporter::ProgressReporter(OperationTexts texts)
    : m_texts(std::move(texts)), m_terminal(::isatty(STDERR_FILENO) == 1)
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
    std::fprintf(stderr, "\r%s [%s] %3d%%", m_texts.title.toUtf8().constData(), bar.toUtf8().constData(),
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
        printOut(m_texts.doneText);
        if (!message.isEmpty())
            printOut(message);
        break;
    case OperationResult::Cancelled:
        printError(localized("Cancelled."));
        break;
    case OperationResult::Failed:
        printError(QStringLiteral("%1: %2").arg(m_texts.failedTitle, m_texts.failedText));
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
