#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"

namespace velumark {

RecordList *VelumarkDatabase::listController(ListKind list) const
{
    switch (list) {
    case ListKind::Clients:
        return m_clientList.get();
    case ListKind::Submissions:
        return m_submissionList.get();
    case ListKind::Artworks:
        break;
    }
    return m_artworkList.get();
}

void VelumarkDatabase::setCurrentList(ListKind list)
{
    m_currentList = list;
    refreshData();
}

void VelumarkDatabase::handleSearch(const QString &text)
{
    m_searchText = text;
    refreshData();
}

void VelumarkDatabase::refreshData()
{
    listController(m_currentList)->refreshData(&m_searchText);
}

void VelumarkDatabase::prepareSearch()
{
    m_submissionList->prepareSearch();
}

bool VelumarkDatabase::prepareSearchStep(std::chrono::nanoseconds budget)
{
    return m_submissionList->prepareSearchStep(budget);
}

} // namespace velumark
