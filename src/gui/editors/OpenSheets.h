#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <utility>

namespace velumark {
class Record;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

// The sheets and history windows open on the records of one document, so that opening a record
// (or its history) again brings its window forward instead of a second one. Lives as long as the
// document.
class OpenSheets : public QObject
{
    Q_OBJECT
public:
    enum class Use
    {
        Sheet,
        History
    };

    static OpenSheets &of(VelumarkDatabase &document);

    // The record's open window of that use, or null.
    QWidget *windowFor(const Record *record, Use use = Use::Sheet) const;
    // Known until the window goes.
    void add(const Record *record, QWidget *window, Use use = Use::Sheet);
    // Brings the record's open window to the front; false when it has none.
    bool bringForward(const Record *record, Use use = Use::Sheet) const;

private:
    using QObject::QObject;
    using Key = std::pair<const Record *, Use>;

    std::map<Key, QPointer<QWidget>> m_windows;
};

} // namespace velumark::gui
