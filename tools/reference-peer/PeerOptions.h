#pragma once

#include <QString>
#include <QtGlobal>

namespace velumark::peer {

// How a reference peer behaves: the mode a device is in, where its files are, and the ways it
// can be told to misbehave so that the desktop's handling of a bad peer can be tried.
struct PeerOptions
{
    // 0 Backup Database and 2 Export Data serve files; 1 Restore Database and 3 Import Data
    // accept an upload.
    int mode = 0;
    // Files are served from and uploads stored into this folder.
    QString folder;

    // Answer every request with this status once its body has been read; 0 handles requests
    // normally.
    int forcedStatus = 0;
    // Close the connection after this many body bytes have been read (upload) or sent
    // (download); -1 never.
    qint64 cutAfterBytes = -1;
    // Serve only this many bytes of a file while announcing its full length; -1 serves it whole.
    qint64 truncateAt = -1;
    // Serve files without a length: the end of the connection ends the body.
    bool omitContentLength = false;
    // Wait this long before answering, and between pieces of a body read or sent.
    int responseDelayMs = 0;
    int chunkDelayMs = 0;
    // Keep the body of each request here, byte for byte (the last request wins); empty keeps
    // nothing.
    QString rawBodyPath;

    // Largest request head and request body accepted.
    qsizetype maximumHeadSize = 16 * 1024;
    qint64 maximumBodyLength = qint64(16) * 1024 * 1024 * 1024;
    // A connection that sends nothing for this long is closed.
    int idleTimeoutMs = 30000;
};

} // namespace velumark::peer
