#include "editing/PrintRows.h"

#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/Submission.h"
#include "store/VelumarkStrings.h"

#include <algorithm>

namespace velumark::editing {

namespace {

VelumarkDatabase::ListKind listOf(PrintScreen screen)
{
    switch (screen) {
    case PrintScreen::Clients:
        return VelumarkDatabase::ListKind::Clients;
    case PrintScreen::Submissions:
        return VelumarkDatabase::ListKind::Submissions;
    default:
        return VelumarkDatabase::ListKind::Artworks;
    }
}

} // namespace

PrintRows::PrintRows(VelumarkDatabase &document, const PrintOptions &options) : m_screen(options.screen)
{
    if (m_screen == PrintScreen::ClientOutstanding) {
        m_client = dynamic_cast<const Client *>(options.record);
        if (!m_client)
            return;
        for (Submission *submission : m_client->submissions()) {
            if (submission->responseReceived() == ResponseFlag::Waiting)
                m_outstanding.push_back(submission);
        }
        return;
    }
    if (!isListScreen(m_screen))
        return;
    m_list = document.listController(listOf(m_screen));
    m_selectedOnly = options.selectedRowsOnly;
    if (m_selectedOnly) {
        // In list order, each row once, only rows the list has.
        for (const qsizetype row : options.selectedRows) {
            if (row >= 0 && row < m_list->rowCount())
                m_selected.push_back(row);
        }
        std::sort(m_selected.begin(), m_selected.end());
        m_selected.erase(std::unique(m_selected.begin(), m_selected.end()), m_selected.end());
    }
}

qsizetype PrintRows::count() const
{
    if (m_screen == PrintScreen::ClientOutstanding)
        return static_cast<qsizetype>(m_outstanding.size());
    if (!m_list)
        return 0;
    return m_selectedOnly ? static_cast<qsizetype>(m_selected.size()) : m_list->rowCount();
}

PrintRow PrintRows::row(qsizetype index, const Submission::TextContext &context) const
{
    if (index < 0 || index >= count())
        return {};
    if (m_screen == PrintScreen::ClientOutstanding)
        return outstandingRow(*m_outstanding[static_cast<size_t>(index)]);
    // The cells of the submission list, without a local-time conversion per row.
    if (m_screen == PrintScreen::Submissions)
        return submissionRow(*static_cast<Submission *>(m_list->recordAt(listRowOf(index))), context);
    return listRow(listRowOf(index));
}

Image *PrintRows::image(qsizetype index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    if (m_screen == PrintScreen::ClientOutstanding)
        return m_outstanding[static_cast<size_t>(index)]->cellImage();
    Record *record = m_list->recordAt(listRowOf(index));
    if (auto *artwork = dynamic_cast<Artwork *>(record))
        return artwork->cellImage();
    if (auto *submission = dynamic_cast<Submission *>(record))
        return submission->cellImage();
    return nullptr;
}

PrintRow PrintRows::listRow(qsizetype listRow) const
{
    const CellContent first = m_list->cell(listRow, 0);
    PrintRow row;
    row.line1 = first.mainText;
    row.image = first.image;
    row.overdue = !first.backgroundImage.isEmpty();
    switch (m_screen) {
    case PrintScreen::Artworks:
        row.line2 = first.subText;
        row.line3 = first.moreSubText;
        row.line4 = first.last1SubText;
        row.sizeText = first.mainExtraColumn;
        row.createdText = first.subExtraColumn;
        row.statusImage = first.statusImage;
        row.statusImage2 = first.statusImage2;
        break;
    case PrintScreen::Clients: {
        const CellContent status = m_list->cell(listRow, 1);
        row.status = status.mainText;
        row.subStatus = status.subText;
        break;
    }
    default:
        break;
    }
    return row;
}

PrintRow PrintRows::submissionRow(Submission &submission, const Submission::TextContext &context)
{
    PrintRow row;
    if (const Artwork *artwork = submission.artwork())
        row.line1 = artwork->title();
    if (const Client *client = submission.client())
        row.line2 = client->company();
    row.line3 = submission.moreSubText(context);
    row.status = submission.statusString();
    row.image = submission.cellImage();
    row.overdue = submission.isOverdue();
    return row;
}

PrintRow PrintRows::outstandingRow(Submission &submission)
{
    PrintRow row;
    const Artwork *artwork = submission.artwork();
    if (artwork) {
        row.line1 = artwork->title();
        row.line2 = artwork->artist();
        row.line3 = artwork->medium();
    }
    row.image = submission.cellImage();
    row.status = localized("Sent %1").arg(shortDateString(submission.sendDate()));
    row.subStatus = submission.validDueDate()
                        ? localized("Due %1").arg(shortDateString(submission.responseDueDate()))
                        : localized("No due date");
    row.overdue = submission.isOverdue();
    return row;
}

} // namespace velumark::editing
