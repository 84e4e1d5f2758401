#include "editing/SheetLines.h"

#include "editing/PrintFonts.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/NumberFormatting.h"
#include "store/Submission.h"
#include "store/VelumarkStrings.h"

#include <algorithm>

namespace velumark::editing {

namespace {

QString yesNo(bool yes)
{
    return yes ? localized("Yes") : localized("No");
}

// "3 weeks": the amount and its unit word; nothing without a word for the unit.
QString amountWithUnit(qint64 amount, const QString &unitWord)
{
    return unitWord.isEmpty() ? QString() : localized("%1 %2").arg(QString::number(amount), unitWord);
}

QString historyEntry(const QString &other, const Submission &submission)
{
    return localized("%1 (%2)").arg(other, submission.statusString());
}

} // namespace

SheetLines::SheetLines(SheetLines &&) noexcept = default;
SheetLines &SheetLines::operator=(SheetLines &&) noexcept = default;
SheetLines::~SheetLines() = default;

const SheetLine &SheetLines::line(qsizetype number) const
{
    static const SheetLine blank;
    return number >= 0 && number < count() ? m_lines[static_cast<size_t>(number)] : blank;
}

void SheetLines::set(qsizetype number, SheetLine line)
{
    padTo(number + 1);
    m_lines[static_cast<size_t>(number)] = std::move(line);
}

void SheetLines::setField(qsizetype number, const char *label, const QString &value)
{
    set(number, {SheetLine::Kind::Field, localized(label), value});
}

int SheetLines::setWrapped(qsizetype number, const char *label, std::unique_ptr<WrappedText> text)
{
    const int lines = text->lineCount();
    if (lines == 0)
        setField(number, label);
    for (int k = 0; k < lines; ++k)
        set(number + k,
            {SheetLine::Kind::WrappedLine, k == 0 ? localized(label) : QString(), {}, text.get(), k});
    m_texts.push_back(std::move(text));
    return lines;
}

template <typename EntryText>
void SheetLines::setHistory(qsizetype first, const std::vector<Submission *> &submissions,
                            EntryText entryText)
{
    setField(first + 1, "Submission History");
    qsizetype number = first + 2;
    for (const Submission *submission : submissions) {
        set(number + 1, {SheetLine::Kind::HistoryEntry, {}, entryText(*submission)});
        set(number + 2, {SheetLine::Kind::HistoryDetail, {}, submission->moreSubText()});
        number += 3;
    }
    padTo(number);
}

void SheetLines::padTo(qsizetype total)
{
    if (total > count())
        m_lines.resize(static_cast<size_t>(total));
}

SheetLines SheetLines::forArtwork(Artwork &artwork, const PrintFonts &fonts, double valueWidth)
{
    artwork.hydrate();
    SheetLines sheet;
    sheet.setField(0, "Title", artwork.title());
    sheet.set(2, {SheetLine::Kind::Photos, localized("Photos"), {}});
    const auto &images = artwork.images();
    sheet.m_photos.assign(images.begin(), images.begin() + std::min<qsizetype>(images.size(), kPhotoCount));
    sheet.setField(7, "Artist", artwork.artist());
    sheet.setField(9, "For Sale/Loan?", yesNo(artwork.sale_loan()));
    sheet.setField(11, "Price", moneyString(artwork.price()));
    sheet.setField(13, "Total Income", moneyString(artwork.totalIncome()));
    sheet.setField(15, "Medium", artwork.medium());
    sheet.setField(17, "Size", artwork.size());
    sheet.setField(19, "Created", shortDateString(artwork.creationDate()));
    sheet.setField(21, "Effort",
                   amountWithUnit(artwork.effort(),
                                  VelumarkStrings::effortUnitWord(artwork.effort(), artwork.effortUnits())));
    sheet.setField(23, "Material Cost", moneyString(artwork.materialCost()));
    const int location = sheet.setWrapped(
        25, "Location", std::make_unique<WrappedText>(artwork.location(), fonts.value(), valueWidth));
    const int m = std::max(1, location);
    const int n = sheet.setWrapped(26 + m, "Notes",
                                   std::make_unique<WrappedText>(artwork.notes(), fonts.value(), valueWidth));
    const auto &submissions = artwork.submissions();
    sheet.setHistory(26 + m + std::max(1, n), submissions, [](const Submission &submission) {
        return historyEntry(submission.client() ? submission.client()->company() : QString(), submission);
    });
    const auto s = static_cast<qsizetype>(submissions.size());
    sheet.padTo((m - 1) + n + 3 * s + 30 + (s == 0 ? 1 : 0));
    sheet.m_multiLineFieldLines = m;
    sheet.m_notesLines = n;
    return sheet;
}

SheetLines SheetLines::forClient(Client &client, const PrintFonts &fonts, double valueWidth)
{
    client.hydrate();
    SheetLines sheet;
    sheet.setField(0, "Company", client.company());
    sheet.setField(2, "Client Type",
                   VelumarkStrings::entry(VelumarkStrings::clientStrings(), client.clientType()));
    sheet.setField(4, "Commission %", moneyString(client.commission()));
    sheet.setField(6, "Pay Rate", moneyString(client.payRate()));
    sheet.setField(8, "Deadline", shortDateString(client.deadline()));
    sheet.setField(10, "Response Time",
                   amountWithUnit(client.responseTime(),
                                  VelumarkStrings::responseTimeUnitWord(client.responseTime(),
                                                                        client.responseTimeUnits())));
    sheet.setField(12, "Status", client.status() ? localized("Open") : localized("Closed"));
    sheet.setField(14, "Contact", client.contact());
    const int address = sheet.setWrapped(
        16, "Address", std::make_unique<WrappedText>(client.address(), fonts.value(), valueWidth));
    const int m = std::max(1, address);
    sheet.setField(17 + m, "Web", client.web());
    sheet.setField(19 + m, "Email", client.email());
    sheet.setField(21 + m, "Phone", client.phone());
    sheet.setField(23 + m, "Fax", client.fax());
    const int n = sheet.setWrapped(25 + m, "Notes",
                                   std::make_unique<WrappedText>(client.notes(), fonts.value(), valueWidth));
    const auto &submissions = client.submissions();
    sheet.setHistory(25 + m + std::max(1, n), submissions, [](const Submission &submission) {
        return historyEntry(submission.artwork() ? submission.artwork()->title() : QString(), submission);
    });
    sheet.padTo((m - 1) + n + 3 * static_cast<qsizetype>(submissions.size()) + 29);
    sheet.m_multiLineFieldLines = m;
    sheet.m_notesLines = n;
    return sheet;
}

SheetLines SheetLines::forSubmission(Submission &submission, const PrintFonts &fonts, double valueWidth)
{
    submission.hydrate();
    SheetLines sheet;
    sheet.setField(0, "Artwork", submission.artwork() ? submission.artwork()->title() : QString());
    sheet.setField(2, "Client", submission.client() ? submission.client()->company() : QString());
    sheet.setField(4, "Submission Type",
                   VelumarkStrings::entry(VelumarkStrings::typeStrings(), submission.submissionType()));
    sheet.setField(6, "Send Date", shortDateString(submission.sendDate()));
    sheet.setField(8, "Response Due",
                   submission.validDueDate() ? shortDateString(submission.responseDueDate()) : QString());
    const qint64 response = submission.responseReceived();
    const QStringList answers{localized("No"), localized("Yes"), localized("Withdrawn")};
    sheet.setField(10, "Response?", VelumarkStrings::entry(answers, response));
    sheet.setField(12, response == ResponseFlag::Withdrawn ? "Withdrawn Date" : "Response Date",
                   response != ResponseFlag::Waiting ? shortDateString(submission.responseDate())
                                                     : QString());
    if (response == ResponseFlag::Received) {
        sheet.setField(14, "State",
                       VelumarkStrings::entry(VelumarkStrings::stateStrings(), submission.submissionState()));
        sheet.setField(16, "Income", moneyString(submission.income()));
    }
    sheet.setField(18, "Exhibited?", yesNo(submission.exhibited()));
    sheet.setField(20, "Release Signed?", yesNo(submission.releaseSigned()));
    const int n = sheet.setWrapped(
        22, "Notes", std::make_unique<WrappedText>(submission.notes(), fonts.value(), valueWidth));
    sheet.padTo(n + 23);
    sheet.m_notesLines = n;
    return sheet;
}

} // namespace velumark::editing
