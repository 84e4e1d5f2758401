#include "interchange/csv/CsvTemplate.h"

#include "store/Localization.h"

#include <initializer_list>

namespace velumark {

namespace {

QStringList localizedList(std::initializer_list<const char *> english)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(english.size()));
    for (const char *text : english)
        list << localized(text);
    return list;
}

} // namespace

QString CsvTemplate::artworksTitle()
{
    return localized("Artworks");
}

QString CsvTemplate::clientsTitle()
{
    return localized("Clients");
}

QString CsvTemplate::submissionsTitle()
{
    return localized("Submissions");
}

QStringList CsvTemplate::artworkColumns()
{
    return localizedList({"Title", "Artist", "Sale/Loan", "Price", "Medium", "Size", "Created", "Effort",
                          "Material Cost", "Location", "Notes"});
}

QStringList CsvTemplate::clientColumns()
{
    return localizedList({"Company", "Commission", "Pay Rate", "Deadline", "Response Time", "Status",
                          "Contact", "Address", "Web", "Email", "Phone", "Fax", "Notes", "Client Type"});
}

QStringList CsvTemplate::submissionColumns()
{
    return localizedList({"Artwork", "Client", "Send Date", "Response Due", "Response?", "Response Date",
                          "State", "Income", "Notes", "Release Signed?", "Submission Type", "Exhibited?"});
}

} // namespace velumark
