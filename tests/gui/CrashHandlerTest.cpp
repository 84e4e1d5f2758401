#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace velumark::test {
namespace {

// The handler runs in a child process of this suite that crashes for real.
TEST(CrashHandler, ACrashLeavesAReportAndStillEndsTheProcessByItsSignal)
{
    for (const auto &[name, number] : {std::pair{"SIGSEGV", SIGSEGV}, std::pair{"SIGABRT", SIGABRT}}) {
        SCOPED_TRACE(name);
        QTemporaryDir folder;
        const QString reports = folder.filePath(QStringLiteral("crashes"));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--crash"), QString::fromLatin1(name), reports});
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(child.exitCode(), number);

        const QStringList files = QDir(reports).entryList({QStringLiteral("crash-*.txt")}, QDir::Files);
        ASSERT_EQ(files.size(), 1);
        QFile report(QDir(reports).filePath(files.first()));
        ASSERT_TRUE(report.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(report.readAll());
        EXPECT_TRUE(text.startsWith(QStringLiteral("Velumark 1.3 ended abnormally.\n")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("signal: %1 (%2)").arg(QLatin1String(name)).arg(number)));
        // The stack names at least a few frames below the handler.
        const QString stack = text.section(QStringLiteral("stack:\n"), 1);
        EXPECT_GE(stack.count(QLatin1Char('\n')), 3) << text.toStdString();
    }
}

} // namespace
} // namespace velumark::test
