#include "interchange/csv/CsvExportLines.h"

#include "interchange/ExportValues.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/Submission.h"
#include "store/VelumarkStrings.h"

namespace velumark {

namespace {

// The field in double quotes, each quote inside doubled.
void appendField(QString &line, QStringView text)
{
    line += QLatin1Char('"');
    qsizetype from = 0;
    for (qsizetype quote = text.indexOf(u'"'); quote >= 0; quote = text.indexOf(u'"', from)) {
        line += text.mid(from, quote + 1 - from);
        line += QLatin1Char('"');
        from = quote + 1;
    }
    line += text.mid(from);
    line += QLatin1Char('"');
}

// One line of the file, made in one piece: an export writes a hundred thousand of them.
QString record(std::initializer_list<QString> values)
{
    qsizetype length = 1;
    for (const QString &value : values)
        length += value.size() + 3;
    QString line;
    line.reserve(length);
    for (const QString &value : values) {
        if (!line.isEmpty())
            line += QLatin1Char(',');
        appendField(line, value);
    }
    line += QLatin1Char('\n');
    return line;
}

QString yesNo(bool yes)
{
    return yes ? localized("Yes") : localized("No");
}

} // namespace

QString CsvExportLines::commentLines(const QDateTime &exported)
{
    const QString first = localized("// Exported from %1 %2 on %3")
                              .arg(ExportValues::applicationName(), ExportValues::applicationVersion(),
                                   mediumDateTimeString(exported));
    const QString second = localized("// Refer to the Velumark CSV template file for formatting guidelines.");
    return field(first) + QLatin1Char('\n') + field(second) + QLatin1Char('\n');
}

QString CsvExportLines::sectionStart(const QString &title, const QStringList &columns)
{
    return QLatin1Char('\n') + title + QLatin1Char('\n') + columns.join(QLatin1Char(',')) + QLatin1Char('\n');
}

QString CsvExportLines::artworkLine(const Artwork &artwork)
{
    return record(
        {artwork.title(), artwork.artist(), yesNo(artwork.sale_loan()), ExportValues::money(artwork.price()),
         artwork.medium(), artwork.size(), mediumDateString(artwork.creationDate()),
         ExportValues::amountWithUnit(
             artwork.effort(), VelumarkStrings::effortUnitWord(artwork.effort(), artwork.effortUnits())),
         ExportValues::money(artwork.materialCost()), artwork.location(), artwork.notes()});
}

QString CsvExportLines::clientLine(const Client &client)
{
    const QString responseTime = ExportValues::amountWithUnit(
        client.responseTime(),
        VelumarkStrings::responseTimeUnitWord(client.responseTime(), client.responseTimeUnits()));
    return record({client.company(), ExportValues::money(client.commission()),
                   ExportValues::money(client.payRate()), mediumDateString(client.deadline()), responseTime,
                   client.status() ? localized("Open") : localized("Closed"), client.contact(),
                   client.address(), client.web(), client.email(), client.phone(), client.fax(),
                   client.notes(),
                   VelumarkStrings::entry(VelumarkStrings::clientStrings(), client.clientType())});
}

QString CsvExportLines::submissionLine(const Submission &submission, const QString &artworkTitle,
                                       const QString &clientCompany)
{
    // A withdrawal is written as the word the import reads back as one; a state without a
    // response means nothing.
    const bool responded = submission.responseReceived() == ResponseFlag::Received;
    const QString response =
        submission.responseReceived() == ResponseFlag::Withdrawn ? localized("Withdrawn") : yesNo(responded);
    return record(
        {artworkTitle, clientCompany, mediumDateString(submission.sendDate()),
         submission.validDueDate() ? mediumDateString(submission.responseDueDate()) : QString(), response,
         mediumDateString(submission.responseDate()),
         responded ? VelumarkStrings::entry(VelumarkStrings::stateStrings(), submission.submissionState())
                   : QString(),
         ExportValues::money(submission.income()), submission.notes(), yesNo(submission.releaseSigned()),
         VelumarkStrings::entry(VelumarkStrings::typeStrings(), submission.submissionType()),
         yesNo(submission.exhibited())});
}

QString CsvExportLines::field(const QString &text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    appendField(quoted, text);
    return quoted;
}

} // namespace velumark
