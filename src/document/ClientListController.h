#pragma once

#include "document/CellContent.h"

#include <QString>

namespace velumark {

class Client;
class VelumarkDatabase;

// What the client list shows: the document's displayed clients, filtered by the search text,
// in two columns (company, status), with near-deadline rows highlighted.
class ClientListController
{
public:
    static constexpr double kNormalCellHeight = 58;

    explicit ClientListController(VelumarkDatabase &database) : m_database(database) {}

    // Rebuilds the displayed clients: company, status text or sub-text containing the text.
    void handleSearch(const QString &text);
    void refreshData(const QString *text = nullptr);

    qsizetype rowCount() const;
    Client *clientAt(qsizetype row) const;
    // Column 0 "Company", column 1 "Status".
    CellContent cell(qsizetype row, int column) const;
    // The deadline rule with the current preferences.
    static bool isHighlighted(const Client &client);
    static bool matches(const Client &client, const QString &text);

private:
    VelumarkDatabase &m_database;
};

} // namespace velumark
