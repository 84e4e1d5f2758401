#pragma once

#include "gui/window/ListDescription.h"
#include "gui/window/ListPictures.h"

#include <QList>
#include <QWidget>

class QSettings;
class QTableView;
class QTimer;

namespace velumark {
class Record;
class RecordList;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

class ListModel;
class ListTableView;
class VLHeadingView;
class VLTableCell;

// One list of a document as the window shows it: the table with its model over the core's list,
// the cell delegate, the floating section band, the column headings that sort, the deletion of
// the selected rows (asked first, then through the document with its cascades) and, on the
// client list, contact cards dropped on it. Works for the three main lists and for a submission
// history. Main thread only; must not outlive the document or the list.
class ListPane : public QWidget
{
    Q_OBJECT
public:
    ListPane(VelumarkDatabase &document, RecordList &list, QWidget *parent = nullptr);
    ~ListPane() override;

    RecordList &list() const { return m_list; }
    QTableView *tableView() const;
    const ListDescription &description() const { return m_description; }
    // The records of the selected rows, in row order.
    QList<Record *> selectedRecords() const;
    // Asks whether to delete the selected records (nothing happens without a selection), then
    // removes them through the document; a failure is shown and leaves the document usable.
    void handleDeleteButton();

    // Rows shown (after the search) and the records the list could show.
    int shownCount() const;
    int totalCount() const;
    // The document's count of overdue submissions.
    quint64 overdueCount() const;

    // Column widths; the caller has opened the package's group and a group for this list.
    void saveState(QSettings &settings) const;
    void restoreState(QSettings &settings);

signals:
    // Double-click or Return on a row.
    void recordActivated(velumark::Record *record);
    void selectionChanged();
    void rowCountsChanged(int shown, int total);
    void overdueCountChanged(quint64 count);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpColumns();
    void connectSignals();
    void sortByColumn(int column);
    void showSortIndicator();
    void updateFloatingHeading();
    void announceCounts();
    void showPictureFailure(const QString &reason);

    VelumarkDatabase &m_document;
    RecordList &m_list;
    ListDescription m_description;
    ListPictures m_pictures;
    ListModel *m_model = nullptr;
    ListTableView *m_table = nullptr;
    VLTableCell *m_cell = nullptr;
    VLHeadingView *m_heading = nullptr;
    // Counts are taken once the document has finished a change.
    QTimer *m_countLater = nullptr;
    QString m_pictureFailure;
};

} // namespace velumark::gui
