#pragma once

#include "document/CatalogueContents.h"

#include <QObject>
#include <QTimer>
#include <deque>

namespace velumark {

// The records a reload let go, freed a slice at a time by the thread that owns them, one slice per
// turn of its event loop: a large catalogue takes a tenth of a second to free, too long for one
// turn, and a second thread freeing into the same heap would hold up every allocation of this one
// meanwhile. Whatever is left when the object goes (or without an event loop) is freed then.
class RetiredRecords : public QObject
{
    Q_OBJECT
public:
    explicit RetiredRecords(QObject *parent = nullptr);

    // Takes the records (their connection is closed now) and starts freeing them.
    void add(CatalogueLoad retired);
    bool isEmpty() const { return m_retired.empty(); }

private:
    void freeSlice();

    std::deque<CatalogueLoad> m_retired;
    QTimer m_slices;
};

} // namespace velumark
