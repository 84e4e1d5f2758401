#include "gui/shell/ScreenshotTaker.h"

#include "store/Localization.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace velumark::gui {

namespace {
constexpr int kPollMs = 50;
constexpr int kMostPolls = 100;
// After the window is exposed: time for the first paints and late layout passes.
constexpr int kSettleMs = 400;
} // namespace

void ScreenshotTaker::addSubject(const QString &name, Subject subject)
{
    m_subjects[name] = std::move(subject);
}

Result<> ScreenshotTaker::addRequest(const QString &request)
{
    const qsizetype equals = request.indexOf(QLatin1Char('='));
    const QString name = request.left(equals);
    const QString file = request.mid(equals + 1);
    if (equals <= 0 || file.isEmpty())
        return Failure{localized("A screenshot is asked for as NAME=FILE.png, not \"%1\".").arg(request)};
    if (m_subjects.find(name) == m_subjects.end()) {
        QStringList known;
        for (const auto &entry : m_subjects)
            known.append(entry.first);
        return Failure{localized("There is no window named \"%1\" to take a picture of (known: %2).")
                           .arg(name, known.join(QStringLiteral(", ")))};
    }
    m_requests.emplace_back(name, QFileInfo(file).absoluteFilePath());
    return {};
}

void ScreenshotTaker::start()
{
    QTimer::singleShot(0, this, &ScreenshotTaker::takeNext);
}

void ScreenshotTaker::takeNext()
{
    if (m_next >= m_requests.size()) {
        emit done(m_allTaken);
        return;
    }
    QWidget *window = m_subjects[m_requests[m_next].first].show();
    if (!window) {
        std::fprintf(stderr, "velumark: no window for the screenshot \"%s\"\n",
                     qPrintable(m_requests[m_next].first));
        m_allTaken = false;
        ++m_next;
        QTimer::singleShot(0, this, &ScreenshotTaker::takeNext);
        return;
    }
    m_waits = 0;
    waitForExposure(window);
}

void ScreenshotTaker::waitForExposure(QWidget *window)
{
    const bool exposed = window->windowHandle() && window->windowHandle()->isExposed();
    if (!exposed && ++m_waits < kMostPolls) {
        QTimer::singleShot(kPollMs, this, [this, window] { waitForExposure(window); });
        return;
    }
    m_readySince.start();
    waitUntilReady(window);
}

void ScreenshotTaker::waitUntilReady(QWidget *window)
{
    const Subject &subject = m_subjects[m_requests[m_next].first];
    if (subject.ready && !subject.ready()) {
        if (m_readySince.elapsed() < subject.readyTimeoutMs) {
            QTimer::singleShot(kPollMs, this, [this, window] { waitUntilReady(window); });
            return;
        }
        std::fprintf(stderr,
                     "velumark: the window for the screenshot \"%s\" was not ready after %d ms; "
                     "taking it as it is\n",
                     qPrintable(m_requests[m_next].first), subject.readyTimeoutMs);
    }
    QTimer::singleShot(kSettleMs, this, [this, window] { grab(window); });
}

void ScreenshotTaker::grab(QWidget *window)
{
    const auto &[name, file] = m_requests[m_next];
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!window->grab().save(file, "PNG")) {
        std::fprintf(stderr, "velumark: cannot write the screenshot %s\n", qPrintable(file));
        m_allTaken = false;
    }
    if (const Subject &subject = m_subjects[name]; subject.hide)
        subject.hide();
    ++m_next;
    QTimer::singleShot(0, this, &ScreenshotTaker::takeNext);
}

void ScreenshotTaker::useDarkPalette()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    const QColor window(0x2b, 0x2d, 0x31);
    const QColor base(0x1e, 0x1f, 0x22);
    const QColor text(0xe6, 0xe6, 0xe6);
    const QColor disabledText(0x80, 0x80, 0x80);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    QApplication::setPalette(dark);
}

} // namespace velumark::gui
