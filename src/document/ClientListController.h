#pragma once

#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"

#include <QString>

namespace velumark {

class Client;

// The client list: every client of the document in the document's client order, filtered by the
// search text, in two columns (0 "Company", 1 "Status"), with near-deadline rows highlighted. No
// sections. The document owns the one instance (VelumarkDatabase::clientListController()); both
// columns sort by company, the column only holds the indicator.
class ClientListController : public RecordList
{
    Q_OBJECT
public:
    static constexpr double kNormalCellHeight = 58;

    explicit ClientListController(VelumarkDatabase &document, QObject *parent = nullptr);

    Client *clientAt(qsizetype row) const;
    int columnCount() const override { return 2; }
    CellContent cell(qsizetype row, int column) const override;
    double normalCellHeight() const override { return kNormalCellHeight; }

    // The deadline rule with the current preferences.
    static bool isHighlighted(const Client &client);
    // Whether the text occurs, ignoring case, in the company, the status text or the sub-text.
    static bool matches(const Client &client, const QString &text);

protected:
    std::vector<Record *> sourceRecords() const override;
    qsizetype sourceIndexOf(const Record *record) const override
    {
        return indexIn(document().clients(), record);
    }
    size_t sourceCount() const override { return document().clients().size(); }
    bool matches(const Record &record, const QString &text) const override;
    void markSections(const std::vector<Record *> &, std::vector<char> &) const override {}
    void collectTouched(Kind kind, Record *record, std::vector<Record *> &touched) const override;
    void applySortOrder() override;

private:
    bool holdsKind(Kind kind) const override { return kind == Kind::Client; }
};

} // namespace velumark
