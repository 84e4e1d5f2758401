#include "document/ClientListController.h"

#include "document/VelumarkDatabase.h"
#include "store/AppPreferences.h"

namespace velumark {

ClientListController::ClientListController(VelumarkDatabase &document, QObject *parent)
    : RecordList(document, parent)
{}

bool ClientListController::matches(const Client &client, const QString &text)
{
    if (text.isEmpty())
        return true;
    return client.company().contains(text, Qt::CaseInsensitive) ||
           client.statusString().contains(text, Qt::CaseInsensitive) ||
           client.subText().contains(text, Qt::CaseInsensitive);
}

bool ClientListController::matches(const Record &record, const QString &text) const
{
    return matches(static_cast<const Client &>(record), text);
}

std::vector<Record *> ClientListController::sourceRecords() const
{
    const auto &clients = document().clients();
    std::vector<Record *> source;
    source.reserve(clients.size());
    for (const auto &client : clients)
        source.push_back(client.get());
    return source;
}

void ClientListController::collectTouched(Kind kind, Record *record, std::vector<Record *> &touched) const
{
    // The status texts follow the client's latest submission.
    if (kind == Kind::Submission) {
        if (Client *client = static_cast<Submission *>(record)->client())
            touched.push_back(client);
    }
}

void ClientListController::applySortOrder()
{
    document().sortClients();
}

Client *ClientListController::clientAt(qsizetype row) const
{
    return static_cast<Client *>(recordAt(row));
}

bool ClientListController::isHighlighted(const Client &client)
{
    const AppPreferences &preferences = getPreferences();
    return client.isApproachingDeadline(preferences.deadlineDuration(), preferences.deadlineUnits(),
                                        preferences.clearAfterDeadline());
}

CellContent ClientListController::cell(qsizetype row, int column) const
{
    CellContent content;
    content.normalCellHeight = kNormalCellHeight;
    const Client *client = clientAt(row);
    if (!client || column < 0 || column > 1)
        return content;
    if (column == 0) {
        content.mainText = client->company();
    } else {
        content.mainText = client->statusString();
        content.subText = client->subText();
    }
    if (isHighlighted(*client))
        content.backgroundImage = QString::fromLatin1(kHighlightBackground);
    return content;
}

} // namespace velumark
