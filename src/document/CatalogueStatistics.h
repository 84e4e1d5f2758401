#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace velumark {

class VelumarkDatabase;

// The figures of the statistics window, for one document.
struct CatalogueStatistics
{
    quint64 artworks = 0;
    quint64 clients = 0;
    quint64 submissions = 0;
    quint64 neverSubmitted = 0;
    quint64 forSaleOrLoan = 0;
    quint64 awaitingResponse = 0;
    quint64 pastDue = 0; // the submission list's overdue count, not recounted
    quint64 withdrawn = 0;
    quint64 returned = 0;
    quint64 sales = 0; // sold and published
    quint64 publications = 0;
    double income = 0; // of every submission with a response, whatever its outcome

    static CatalogueStatistics of(const VelumarkDatabase &database);

    // One figure as the statistics window and the command line show it: "Past Due:" and "3", the
    // income as "120.50" in the user's number format. The window sets a group apart from the
    // one before it (the totals, the artworks, the submissions, the income).
    struct Line
    {
        QString label;
        QString figure;
        bool startsGroup = false;
    };
    // Every figure, in the order they are shown.
    std::vector<Line> lines() const;
};

} // namespace velumark
