#include "interchange/report/ReportHtml.h"

#include "interchange/ExportValues.h"
#include "interchange/report/ReportSummary.h"
#include "store/Artwork.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"

#include <QUrl>

namespace velumark {

namespace {

// The framed box of the summary and of every page; the page width goes in.
const QLatin1String kFramedBoxStart("<div style=\"background-color:#FFFFFF; "
                                    "font-family:Tahoma,Arial,Helvetica,sans-serif; font-size:18x; width:");
const QLatin1String kFramedBoxEnd("px; margin-left:15%; margin-right:15%; border:3px groove #f5bd68; "
                                  "padding:15px;\">");

QString framedBox(int pageWidth)
{
    return kFramedBoxStart + QString::number(pageWidth) + kFramedBoxEnd;
}

QString encodedWord(const char *english)
{
    return ReportHtml::encodeStringToHTML(localized(english));
}

QString countRow(const char *label, quint64 count)
{
    return QStringLiteral("<tr><td>%1:</td><td align=right>%2</td></tr>\n")
        .arg(encodedWord(label), QString::number(count));
}

QString amountRow(const char *label, double amount)
{
    return QStringLiteral("<tr><td>%1:</td><td align=right>%2</td></tr>\n")
        .arg(encodedWord(label), ExportValues::money(amount));
}

// The value is markup already (encoded text, amounts, tags).
QString fieldRow(const char *label, const QString &value)
{
    return QStringLiteral("<tr><td width=180><b>%1:</b></td><td align=left>%2</td></tr>\n")
        .arg(encodedWord(label), value);
}

} // namespace

QString ReportHtml::head(const ReportSummary &summary, int pageWidth, const QString &logoSource,
                         const QString &exportedOn)
{
    const QString title = encodedWord("Artwork Report");
    QString html;
    html += QLatin1String(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n");
    html += QStringLiteral("<title>%1</title>\n").arg(title);
    html += QLatin1String("<style>html {background-color:#eeeeee}</style>\n");
    html += QLatin1String("</head><style>.break { page-break-before: always; }</style><body>\n");
    html += framedBox(pageWidth);
    html += QStringLiteral("<img src=\"%1\" style=\"float:left; margin-right:20px;\"/>\n").arg(logoSource);
    html += QStringLiteral("<h1>%1</h1>\n").arg(title);
    html += encodeStringToHTML(
        localized("Exported from %1 v%2 on %3")
            .arg(ExportValues::applicationName(), ExportValues::applicationVersion(), exportedOn));
    html += QStringLiteral(
                "<br /><br /><br />\n<hr size=3 color=#f5bd68 align=center /><h2 align=center>%1</h2>\n")
                .arg(encodedWord("Summary"));
    html += QLatin1String("<table border=0 cellspacing=0 cellpadding=4 width=300 align=center><tbody>\n");
    html += countRow("Total Artworks", summary.totalArtworks());
    html += countRow("Unique Artists", summary.uniqueArtists());
    html += amountRow("Collection Value", summary.collectionValue());
    html += countRow("Available for Sale / Loan", summary.availableArtworks());
    html += countRow("Total Sold", summary.totalSold());
    html += countRow("Total Published", summary.totalPublished());
    html += amountRow("Total Income", summary.totalIncome());
    html += amountRow("Total Material Cost", summary.totalMaterialCost());
    html +=
        QLatin1String("</tbody></table><br /><hr size=3 color=#f5bd68 align=center /><br /><br /></div>\n");
    return html;
}

QString ReportHtml::page(int number, int pageWidth, const Artwork &artwork, const QStringList &photoSources,
                         double totalIncome)
{
    QString html;
    html += QStringLiteral("<div style=\"font-family:Tahoma,Arial,Helvetica,sans-serif; font-size:18x; "
                           "width:%1px; text-align:center; ")
                .arg(pageWidth);
    html += QLatin1String("margin-left:15%; margin-right:15%; padding:15px;\">");
    // The class starts a new printed page before every artwork.
    html += QStringLiteral("<h3 class=\"break\">- %1 -</h3></div>\n").arg(number);
    html += framedBox(pageWidth);
    html += QLatin1String("<p><table border=0 cellspacing=0 cellpadding=8 width=650><tbody>\n");
    html += fieldRow("Title", encodeStringToHTML(artwork.title()));

    QString photos = QStringLiteral("\n");
    for (const QString &source : photoSources)
        photos +=
            QStringLiteral("<img src=\"%1\" style=\"padding: 20px 20px 20px 0px; vertical-align:middle;\">\n")
                .arg(source);
    html += fieldRow("Photos", photos);

    html += fieldRow("Artist", encodeStringToHTML(artwork.artist()));
    html += fieldRow("For Sale/Loan?", artwork.sale_loan() ? encodedWord("Yes") : encodedWord("No"));
    html += fieldRow("Price", ExportValues::money(artwork.price()));
    html += fieldRow("Total Income", ExportValues::money(totalIncome));
    html += fieldRow("Medium", encodeStringToHTML(artwork.medium()));
    html += fieldRow("Size", encodeStringToHTML(artwork.size()));
    html += fieldRow("Created", encodeStringToHTML(mediumDateString(artwork.creationDate())));
    html += fieldRow("Effort", ExportValues::amountWithUnit(
                                   artwork.effort(), encodeStringToHTML(VelumarkStrings::effortUnitWord(
                                                         artwork.effort(), artwork.effortUnits()))));
    html += fieldRow("Material Cost", ExportValues::money(artwork.materialCost()));
    html += fieldRow("Location", encodeStringToHTML(artwork.location()));
    html += fieldRow("Notes", encodeStringToHTML(artwork.notes()));
    html += QLatin1String("</tbody></table></p></div>\n");
    return html;
}

QString ReportHtml::closing()
{
    return QStringLiteral("</body></html>\n");
}

QString ReportHtml::encodeStringToHTML(const QString &text)
{
    QString html = text;
    // The ampersand first, so that the entities put in afterwards stay as they are.
    html.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    html.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    html.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    html.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    html.replace(QLatin1Char('\n'), QLatin1String("<br />"));
    return html;
}

QString ReportHtml::sourcePath(const QString &folderName, const QString &fileName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(folderName)) + QLatin1Char('/') +
           QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}

} // namespace velumark
