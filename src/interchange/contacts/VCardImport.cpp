#include "interchange/contacts/VCardImport.h"

#include "interchange/contacts/ClientFromPerson.h"
#include "interchange/contacts/VCardReader.h"
#include "store/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace velumark {

namespace {

constexpr char kBeginMarker[] = "begin:vcard";
constexpr char kEndMarker[] = "end:vcard";

// Byte order marks: UTF-8's is dropped; text in UTF-16 (written by some programs on other
// systems) is turned into UTF-8, so that its cards can be found.
QByteArray withoutByteOrderMark(const QByteArray &text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        return text.sliced(3);
    const bool littleEndian = text.startsWith("\xFF\xFE");
    if (littleEndian || text.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        const QString decoded = decoder(QByteArrayView(text).sliced(2));
        return decoded.toUtf8();
    }
    return text;
}

// The position of the next marker that starts a line, from `from` on; -1 when there is none.
// `lowered` is the text in lower case: the markers are ASCII, so positions are those of the text.
qsizetype findMarker(const QByteArray &lowered, const char *marker, qsizetype from)
{
    for (qsizetype at = lowered.indexOf(marker, from); at >= 0; at = lowered.indexOf(marker, at + 1)) {
        if (at == 0 || lowered[at - 1] == '\n' || lowered[at - 1] == '\r')
            return at;
    }
    return -1;
}

} // namespace

VCardImport::VCardImport(AddPersonFunction addPerson) : m_addPerson(std::move(addPerson)) {}

bool VCardImport::parsevCardsInString(const QByteArray &input, const QString &source)
{
    const QByteArray text = withoutByteOrderMark(input);
    const QByteArray lowered = text.toLower();
    qsizetype begin = findMarker(lowered, kBeginMarker, 0);
    if (begin < 0) {
        skip(localized("%1: no contact card found").arg(source));
        return false;
    }
    bool anyAdded = false;
    int number = 0;
    // Ends are searched again only once the cards have passed the one found, so that a text of
    // many cards without an end is still read in one pass.
    qsizetype end = -1;
    bool noMoreEnds = false;
    while (begin >= 0) {
        const qsizetype bodyStart = begin + qsizetype(sizeof(kBeginMarker) - 1);
        const qsizetype nextBegin = findMarker(lowered, kBeginMarker, bodyStart);
        if (!noMoreEnds && end < bodyStart) {
            end = findMarker(lowered, kEndMarker, bodyStart);
            noMoreEnds = end < 0;
        }
        qsizetype cardEnd = text.size();
        if (!noMoreEnds && (nextBegin < 0 || end < nextBegin))
            cardEnd = end + qsizetype(sizeof(kEndMarker) - 1);
        else if (nextBegin >= 0)
            cardEnd = nextBegin;

        ++number;
        switch (addCard(QByteArrayView(text).sliced(begin, cardEnd - begin))) {
        case CardResult::Added:
            anyAdded = true;
            break;
        case CardResult::NotAdded:
            skip(
                localized("%1, card %2: the client could not be added").arg(source, QString::number(number)));
            break;
        case CardResult::NoContactData:
            skip(localized("%1, card %2: no name, organization or contact details")
                     .arg(source, QString::number(number)));
            break;
        }
        begin = nextBegin;
    }
    return anyAdded;
}

bool VCardImport::processvCard(QByteArrayView card)
{
    return addCard(card) == CardResult::Added;
}

bool VCardImport::importFile(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    // Only regular files: reading a device or a pipe might never end.
    if (!info.isFile()) {
        skip(localized("%1: not a file").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (info.size() > kMaxFileSize) {
        skip(localized("%1: larger than %2 MB").arg(name, QString::number(kMaxFileSize >> 20)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        skip(localized("%1: could not be read (%2)").arg(name, file.errorString()));
        return false;
    }
    // The file as large as it was when opened; checked again, as it may have grown meanwhile.
    const QByteArray text = file.read(std::min(file.size(), kMaxFileSize) + 1);
    if (file.error() != QFileDevice::NoError) {
        skip(localized("%1: could not be read (%2)").arg(name, file.errorString()));
        return false;
    }
    if (text.size() > kMaxFileSize) {
        skip(localized("%1: larger than %2 MB").arg(name, QString::number(kMaxFileSize >> 20)));
        return false;
    }
    return parsevCardsInString(text, name);
}

bool VCardImport::importFolder(const QString &path)
{
    const QDir folder(path);
    if (!QFileInfo(path).isDir()) {
        skip(localized("%1: not a folder").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    const QStringList files = folder.entryList({QStringLiteral("*.vcf"), QStringLiteral("*.vcard")},
                                               QDir::Files | QDir::Hidden, QDir::Name);
    if (files.isEmpty()) {
        skip(localized("%1: no vCard files (.vcf)").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    bool anyAdded = false;
    for (const QString &file : files)
        anyAdded |= importFile(folder.filePath(file));
    return anyAdded;
}

VCardImport::CardResult VCardImport::addCard(QByteArrayView card)
{
    const std::optional<Person> person = readVCardPerson(card);
    if (!person)
        return CardResult::NoContactData;
    if (!m_addPerson(&*person))
        return CardResult::NotAdded;
    if (m_added.size() < kMaxListed)
        m_added.append(clientCompany(*person));
    ++m_addedCount;
    return CardResult::Added;
}

void VCardImport::skip(const QString &message)
{
    if (m_skipped.size() < kMaxListed)
        m_skipped.append(message);
    ++m_skippedCount;
}

} // namespace velumark
