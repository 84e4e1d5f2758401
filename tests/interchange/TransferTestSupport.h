#pragma once

#include "interchange/device/HTTPDownload.h"
#include "interchange/device/HTTPUpload.h"
#include "support/Files.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <type_traits>

namespace velumark::test {

// Runs the event loop until done() holds or the time is up; true when it holds.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 20000);

// Writes a file of that size whose bytes vary with their position, so that a lost, repeated
// or misplaced block shows; returns its content.
QByteArray writePatternFile(const QString &path, qint64 size);

// Everything an uploader or a downloader reported.
struct TransferRecord
{
    int finishedCount = 0;
    int failedCount = 0;
    int code = 0;
    QString message;
    QList<double> progress;

    bool ended() const { return finishedCount + failedCount > 0; }
    // Progress never goes back and stays within 0 to 100.
    bool progressIsOrderly() const;
};

// An HTTPUpload or HTTPDownload that keeps a record of what it reported.
template <class Transfer> class Recorded : public Transfer
{
public:
    Recorded()
    {
        QObject::connect(this, &Transfer::progress, this,
                         [this](double percent) { record.progress << percent; });
        QObject::connect(this, &Transfer::finished, this, [this] { ++record.finishedCount; });
        if constexpr (std::is_same_v<Transfer, HTTPUpload>)
            QObject::connect(this, &Transfer::failed, this,
                             [this](int code, const QString &message) { fail(code, message); });
        else
            QObject::connect(this, &Transfer::failed, this,
                             [this](const QString &message) { fail(0, message); });
    }

    // Runs the event loop until the transfer has ended; false when the time ran out first.
    bool waitForEnd(int timeoutMs = 20000)
    {
        return waitUntil([this] { return record.ended(); }, timeoutMs);
    }

    TransferRecord record;

private:
    void fail(int code, const QString &message)
    {
        ++record.failedCount;
        record.code = code;
        record.message = message;
    }
};

// Sends the bytes to 127.0.0.1:port and returns what comes back until the peer closes.
QByteArray exchangeRaw(quint16 port, const QByteArray &request, int timeoutMs = 10000);
// The status code of a raw HTTP response, 0 when there is none.
int statusOf(const QByteArray &response);

} // namespace velumark::test
