#pragma once

#include <QObject>
#include <QPointer>
#include <map>

namespace velumark {
class Record;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

class RecordSheet;

// The sheets open on the records of one document, so that opening a record again brings its
// sheet forward instead of a second one. Lives as long as the document.
class OpenSheets : public QObject
{
    Q_OBJECT
public:
    static OpenSheets &of(VelumarkDatabase &document);

    // The open sheet of the record, or null.
    RecordSheet *sheetFor(const Record *record) const;
    // Known until the sheet goes.
    void add(const Record *record, RecordSheet *sheet);
    // Brings the record's open sheet to the front; false when it has none.
    bool bringForward(const Record *record) const;

private:
    using QObject::QObject;

    std::map<const Record *, QPointer<RecordSheet>> m_sheets;
};

} // namespace velumark::gui
