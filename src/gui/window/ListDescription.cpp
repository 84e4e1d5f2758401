#include "gui/window/ListDescription.h"

#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"

namespace velumark::gui {

ListDescription ListDescription::of(const RecordList &list)
{
    ListDescription description;
    if (qobject_cast<const ArtworkListController *>(&list)) {
        description.kind = Kind::Artworks;
        description.headings = {localized("Title")};
        description.accessibleName = localized("Artworks");
        description.deleteOne = localized("Deleting this artwork will also delete all of its submissions");
        description.deleteSeveral =
            localized("Deleting these artworks will also delete all their associated submissions");
    } else if (qobject_cast<const ClientListController *>(&list)) {
        description.kind = Kind::Clients;
        description.headings = {localized("Company"), localized("Status")};
        description.accessibleName = localized("Clients");
        description.deleteOne = localized("Deleting this client will also delete all of its submissions");
        description.deleteSeveral =
            localized("Deleting these clients will also delete all their associated submissions");
        description.highlightWord = localized("Deadline near");
    } else {
        const auto *submissions = qobject_cast<const SubmissionListController *>(&list);
        const bool history = submissions && submissions->historyScreen();
        description.kind = history ? Kind::SubmissionHistory : Kind::Submissions;
        description.headings = {localized("Submission"), localized("Status")};
        description.accessibleName = history ? localized("Submission History") : localized("Submissions");
        description.deleteOne = localized("Delete this submission?");
        description.deleteSeveral = localized("Delete these submissions?");
        description.highlightWord = localized("Overdue");
    }
    return description;
}

qsizetype ListDescription::totalCount(const VelumarkDatabase &document, const RecordList &list) const
{
    switch (kind) {
    case Kind::Artworks:
        return static_cast<qsizetype>(document.artworks().size());
    case Kind::Clients:
        return static_cast<qsizetype>(document.clients().size());
    case Kind::Submissions:
        return static_cast<qsizetype>(document.submissions().size());
    case Kind::SubmissionHistory:
        break;
    }
    return list.rowCount();
}

void ListDescription::remove(VelumarkDatabase &document, Record *record) const
{
    switch (kind) {
    case Kind::Artworks:
        document.removeArtwork(static_cast<Artwork *>(record));
        break;
    case Kind::Clients:
        document.removeClient(static_cast<Client *>(record));
        break;
    case Kind::Submissions:
    case Kind::SubmissionHistory:
        document.removeSubmission(static_cast<Submission *>(record));
        break;
    }
}

QString ListDescription::statusWord(const QString &iconName)
{
    if (iconName == QLatin1String("questionmark_icon"))
        return localized("Waiting");
    if (iconName == QLatin1String("withdrawn_icon"))
        return localized("Withdrawn");
    for (qint64 state = 0; state < VelumarkStrings::stateStrings().size(); ++state) {
        if (VelumarkStrings::stateIconName(state) == iconName)
            return VelumarkStrings::stateStrings().at(state);
    }
    return {};
}

} // namespace velumark::gui
