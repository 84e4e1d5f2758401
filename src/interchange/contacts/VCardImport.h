#pragma once

#include "interchange/contacts/Person.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <functional>

namespace velumark {

// Hands a person to the document, which makes a client of it; whether a client was added.
using AddPersonFunction = std::function<bool(const Person *)>;

// Turns vCard text, files and folders into clients, one per card, and keeps a report of what was
// added and of what was left out and why, for the message shown when the work is done.
class VCardImport
{
public:
    // Files larger than this are left out unread.
    static constexpr qint64 kMaxFileSize = qint64(128) << 20;
    // The report lists this many entries of each kind; the counts go on.
    static constexpr int kMaxListed = 1000;

    explicit VCardImport(AddPersonFunction addPerson);

    // Every card of the text. A card starts at a line beginning with "BEGIN:VCARD" (in any case)
    // and ends with the first line beginning with "END:VCARD" after it; a card without its end
    // runs to the next card or to the end of the text. Each card is decoded by its own CHARSET
    // parameters, UTF-8 by default. `source` names the text in the report. Whether any card
    // became a client.
    bool parsevCardsInString(const QByteArray &text, const QString &source);
    // One card; whether it became a client.
    bool processvCard(QByteArrayView card);
    // The cards of one file; whether any became a client.
    bool importFile(const QString &path);
    // The cards of every .vcf or .vcard file of a folder (not its subfolders), in name order;
    // whether any became a client.
    bool importFolder(const QString &path);

    // The company of each client added, in order.
    const QStringList &added() const { return m_added; }
    int addedCount() const { return m_addedCount; }
    // One line per card or file left out, with the reason.
    const QStringList &skipped() const { return m_skipped; }
    int skippedCount() const { return m_skippedCount; }

private:
    enum class CardResult
    {
        Added,
        NotAdded,
        NoContactData,
    };
    CardResult addCard(QByteArrayView card);
    void skip(const QString &message);

    AddPersonFunction m_addPerson;
    QStringList m_added;
    int m_addedCount = 0;
    QStringList m_skipped;
    int m_skippedCount = 0;
};

} // namespace velumark
