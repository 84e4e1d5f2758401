#include "store/SubmissionList.h"

#include "store/Submission.h"

#include <algorithm>

namespace velumark {

void SubmissionList::add(Submission *submission)
{
    if (append(submission))
        sort();
}

bool SubmissionList::append(Submission *submission)
{
    if (std::find(m_items.begin(), m_items.end(), submission) != m_items.end())
        return false;
    m_items.push_back(submission);
    return true;
}

void SubmissionList::remove(Submission *submission)
{
    std::erase(m_items, submission);
}

void SubmissionList::sort()
{
    Submission::sortList(m_items);
}

} // namespace velumark
