#include "gui/shell/ScreenshotTaker.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace velumark::test {
namespace {

using gui::ScreenshotTaker;

void fill(QWidget &window, const QColor &colour)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, colour);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.update();
}

// A window that is only shown for its picture and says it is ready once it turned green.
ScreenshotTaker::Subject subject(QWidget &window, int readyTimeoutMs)
{
    return {[&window] {
                window.resize(120, 80);
                window.show();
                return &window;
            },
            [&window] { window.hide(); },
            [&window] { return window.palette().color(QPalette::Window) == Qt::green; }, readyTimeoutMs};
}

QColor centre(const QString &file)
{
    const QImage picture(file);
    return picture.isNull() ? QColor() : picture.pixelColor(picture.rect().center());
}

TEST(ScreenshotTaker, WaitsForTheWindowToBeReadyAndTakesItAsItIsWhenItNeverIs)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QWidget late;
    QWidget never;
    fill(late, Qt::red);
    fill(never, Qt::red);
    // Well after the window is painted, and so after the picture would be taken without waiting.
    QTimer::singleShot(1500, &late, [&late] { fill(late, Qt::green); });

    ScreenshotTaker taker;
    taker.addSubject(QStringLiteral("late"), subject(late, 20000));
    taker.addSubject(QStringLiteral("never"), subject(never, 300));
    const QString latePicture = folder.filePath(QStringLiteral("late.png"));
    const QString neverPicture = folder.filePath(QStringLiteral("never.png"));
    ASSERT_TRUE(taker.addRequest(QStringLiteral("late=") + latePicture));
    ASSERT_TRUE(taker.addRequest(QStringLiteral("never=") + neverPicture));
    QSignalSpy done(&taker, &ScreenshotTaker::done);
    taker.start();
    ASSERT_TRUE(done.wait(30000));
    EXPECT_TRUE(done.at(0).at(0).toBool());
    EXPECT_EQ(centre(latePicture), QColor(Qt::green));
    EXPECT_EQ(centre(neverPicture), QColor(Qt::red));
}

} // namespace
} // namespace velumark::test
