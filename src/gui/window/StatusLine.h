#pragma once

#include "document/VelumarkDatabase.h"

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

namespace velumark::gui {

// The status line of a document window: how many records the list shows ("12 of 40 artworks"
// while a search filters it), why the catalogue cannot be edited now, and how many submissions
// are overdue.
class StatusLine : public QObject
{
    Q_OBJECT
public:
    using ListKind = VelumarkDatabase::ListKind;

    explicit StatusLine(QStatusBar &bar);

    // "40 artworks"; "12 of 40 artworks" while a search filters the list.
    static QString countsText(ListKind list, int shown, int total, bool searching);
    void showCounts(ListKind list, int shown, int total, bool searching);
    // Nothing for none.
    void showOverdue(quint64 count);
    // Why nothing can be changed now; empty when editing is possible.
    void showEditingNotice(const QString &notice);

    QString counts() const;
    QString overdue() const;
    QString editingNotice() const;

private:
    QLabel *m_counts;
    QLabel *m_notice;
    QLabel *m_overdue;
};

} // namespace velumark::gui
