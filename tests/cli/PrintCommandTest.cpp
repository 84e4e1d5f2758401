#include "CliProcess.h"
#include "support/PrintedPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velumark::test::PrintedPdf;
using velumark::test::runCli;

namespace {

class PrintCommand : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(runCli({u"demo", m_sample}).exitCode, 0); }
    QString output(const char *name) const { return m_folder.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_folder;
    const QString m_sample = m_folder.filePath(QStringLiteral("Sample.vdb"));
};

TEST_F(PrintCommand, PrintsListsAndSheetsWithoutADisplay)
{
    // No display and no platform chosen: the command finds its own.
    QProcessEnvironment bare;
    bare.insert(QStringLiteral("QT_QPA_PLATFORM"), QString());
    bare.insert(QStringLiteral("DISPLAY"), QString());
    bare.insert(QStringLiteral("WAYLAND_DISPLAY"), QString());
    const auto list =
        runCli({u"print", m_sample, u"submissions", output("list.pdf"), u"--paper", u"A4"}, bare);
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_TRUE(list.out.contains(QStringLiteral("Printed 2 pages"))) << list.out.toStdString();
    EXPECT_EQ(PrintedPdf(output("list.pdf")).pageSize(), QSizeF(595, 842));
    EXPECT_TRUE(
        PrintedPdf(output("list.pdf")).text().contains(QStringLiteral("Exported from Velumark v1.3 on")));

    const auto sheet = runCli(
        {u"print", m_sample, u"artworks", output("sheet.pdf"), u"--record", u"Blue Light", u"--landscape"});
    ASSERT_EQ(sheet.exitCode, 0) << sheet.err.toStdString();
    const QString text = PrintedPdf(output("sheet.pdf")).text();
    EXPECT_TRUE(text.contains(QStringLiteral("For Sale/Loan?")));
    EXPECT_TRUE(text.contains(QStringLiteral("Submission History")));

    const auto searched =
        runCli({u"print", m_sample, u"clients", output("found.pdf"), u"--search", u"gallery"});
    ASSERT_EQ(searched.exitCode, 0) << searched.err.toStdString();
    EXPECT_TRUE(PrintedPdf(output("found.pdf")).text().contains(QStringLiteral("Gallery North")));
    EXPECT_FALSE(PrintedPdf(output("found.pdf")).text().contains(QStringLiteral("Riverside Art Fair")));

    const auto out = runCli(
        {u"print", m_sample, u"clients", output("out.pdf"), u"--record", u"Gallery North", u"--outstanding"});
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_TRUE(out.out.contains(QStringLiteral("Printed 1 page to"))) << out.out.toStdString();
    EXPECT_TRUE(PrintedPdf(output("out.pdf")).text().contains(QStringLiteral("Out at Gallery North")));
}

TEST_F(PrintCommand, RefusesWhatItCannotPrintAndLeavesNoFile)
{
    const auto unknown =
        runCli({u"print", m_sample, u"artworks", output("x.pdf"), u"--record", u"No Such Title"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("No Such Title")));
    const auto unwritable = runCli({u"print", m_sample, u"artworks", output("missing/x.pdf")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("could not be written")))
        << unwritable.err.toStdString();
    for (const QStringList &usage :
         {QStringList{QStringLiteral("print"), m_sample, QStringLiteral("paintings"), output("x.pdf")},
          QStringList{QStringLiteral("print"), m_sample, QStringLiteral("artworks"), output("x.pdf"),
                      QStringLiteral("--outstanding")},
          QStringList{QStringLiteral("print"), m_sample, QStringLiteral("artworks"), output("x.pdf"),
                      QStringLiteral("--paper"), QStringLiteral("napkin")}})
        EXPECT_EQ(runCli(usage).exitCode, 2) << usage.join(u' ').toStdString();
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList());
    // The catalogue is closed again: another command may open it.
    EXPECT_EQ(runCli({u"stats", m_sample}).exitCode, 0);
}

} // namespace
