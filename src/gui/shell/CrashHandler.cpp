#include "gui/shell/CrashHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <array>
#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace velumark::gui {

namespace {

constexpr std::array kSignals{std::pair{SIGSEGV, "SIGSEGV"}, std::pair{SIGABRT, "SIGABRT"},
                              std::pair{SIGBUS, "SIGBUS"}, std::pair{SIGFPE, "SIGFPE"},
                              std::pair{SIGILL, "SIGILL"}};
constexpr size_t kPathCapacity = 4096;
constexpr size_t kHeaderCapacity = 256;
constexpr int kMostFrames = 64;
constexpr size_t kAlternateStackSize = 64 * 1024;

// Prepared by install(), read by the handler.
char reportFolder[kPathCapacity];
char reportHeader[kHeaderCapacity];
alignas(16) char alternateStack[kAlternateStackSize];

// A bounded text in a fixed buffer; the handler may not allocate.
class Line
{
public:
    void add(const char *text)
    {
        while (*text && m_length + 1 < sizeof(m_text))
            m_text[m_length++] = *text++;
        m_text[m_length] = '\0';
    }
    void addNumber(unsigned long long value, unsigned base = 10)
    {
        char digits[32];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value != 0 && count < int(sizeof(digits)));
        char reversed[33];
        for (int i = 0; i < count; ++i)
            reversed[i] = digits[count - 1 - i];
        reversed[count] = '\0';
        add(reversed);
    }
    const char *text() const { return m_text; }
    void writeTo(int fd) const
    {
        size_t written = 0;
        while (written < m_length) {
            const ssize_t n = ::write(fd, m_text + written, m_length - written);
            if (n <= 0)
                return;
            written += size_t(n);
        }
    }

private:
    char m_text[kPathCapacity + 128] = {};
    size_t m_length = 0;
};

const char *signalName(int signal)
{
    for (const auto &[number, name] : kSignals) {
        if (number == signal)
            return name;
    }
    return "signal";
}

void onFatalSignal(int signal, siginfo_t *info, void *)
{
    const unsigned long long now = static_cast<unsigned long long>(std::time(nullptr));
    Line path;
    path.add(reportFolder);
    path.add("/crash-");
    path.addNumber(now);
    path.add("-");
    path.addNumber(static_cast<unsigned long long>(getpid()));
    path.add(".txt");
    const int fd = ::open(path.text(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        Line report;
        report.add(reportHeader);
        report.add("signal: ");
        report.add(signalName(signal));
        report.add(" (");
        report.addNumber(static_cast<unsigned long long>(signal));
        report.add(")\naddress: 0x");
        report.addNumber(reinterpret_cast<unsigned long long>(info ? info->si_addr : nullptr), 16);
        report.add("\ntime: ");
        report.addNumber(now);
        report.add("\nstack:\n");
        report.writeTo(fd);
        void *frames[kMostFrames];
        backtrace_symbols_fd(frames, backtrace(frames, kMostFrames), fd);
        ::close(fd);
    }
    // The handler was reset on entry: the signal now ends the process as it would have.
    ::raise(signal);
}

void copyInto(char *target, size_t capacity, const QByteArray &text)
{
    const size_t length = std::min(size_t(text.size()), capacity - 1);
    std::memcpy(target, text.constData(), length);
    target[length] = '\0';
}

} // namespace

bool CrashHandler::install(const QString &folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    copyInto(reportFolder, sizeof(reportFolder), QFile::encodeName(QDir(folder).absolutePath()));
    copyInto(reportHeader, sizeof(reportHeader),
             QStringLiteral("%1 %2 ended abnormally.\n")
                 .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion())
                 .toUtf8());
    // backtrace() loads its unwinder on first use, which allocates: do that now, not in the handler.
    void *frame = nullptr;
    backtrace(&frame, 1);

    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    sigaltstack(&stack, nullptr); // a stack overflow still leaves room for the report

    struct sigaction action
    {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const auto &entry : kSignals)
        sigaction(entry.first, &action, nullptr);
    return true;
}

} // namespace velumark::gui
