#pragma once

#include <vector>

namespace velumark {

class Submission;

// The submissions of one artwork or one client, kept in submission order (newest first). The
// list refers to submissions the document owns.
class SubmissionList
{
public:
    const std::vector<Submission *> &items() const { return m_items; }
    bool empty() const { return m_items.empty(); }
    Submission *front() const { return m_items.front(); }

    // Adds a submission not yet held and keeps the order.
    void add(Submission *submission);
    // Adds a submission not yet held without sorting (linking after a load sorts once at the
    // end); true when it was added.
    bool append(Submission *submission);
    void remove(Submission *submission);
    void sort();
    void clear() { m_items.clear(); }

private:
    std::vector<Submission *> m_items;
};

} // namespace velumark
