#include "document/ClientListController.h"

#include "document/VelumarkDatabase.h"
#include "store/AppPreferences.h"
#include "store/VelumarkUtility.h"

namespace velumark {

bool ClientListController::matches(const Client &client, const QString &text)
{
    if (text.isEmpty())
        return true;
    return client.company().contains(text, Qt::CaseInsensitive) ||
           client.statusString().contains(text, Qt::CaseInsensitive) ||
           client.subText().contains(text, Qt::CaseInsensitive);
}

void ClientListController::handleSearch(const QString &text)
{
    std::vector<Client *> &displayed = m_database.mutableDisplayedClients();
    displayed.clear();
    for (const auto &client : m_database.clients()) {
        if (matches(*client, text))
            displayed.push_back(client.get());
    }
}

void ClientListController::refreshData(const QString *text)
{
    if (text)
        handleSearch(*text);
}

qsizetype ClientListController::rowCount() const
{
    return static_cast<qsizetype>(m_database.displayedClients().size());
}

Client *ClientListController::clientAt(qsizetype row) const
{
    const auto &displayed = m_database.displayedClients();
    return row >= 0 && row < rowCount() ? displayed[static_cast<size_t>(row)] : nullptr;
}

bool ClientListController::isHighlighted(const Client &client)
{
    const AppPreferences &preferences = VelumarkUtility::sharedManager().getPreferences();
    return client.isApproachingDeadline(preferences.deadlineDuration(), preferences.deadlineUnits(),
                                        preferences.clearAfterDeadline());
}

CellContent ClientListController::cell(qsizetype row, int column) const
{
    CellContent content;
    content.normalCellHeight = kNormalCellHeight;
    const Client *client = clientAt(row);
    if (!client)
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
