#pragma once

// Stand-in for the list pane of the gui-lists branch, removed before the merge.
#include <QList>
#include <QWidget>

class QSettings;
class QTableView;
class QAbstractTableModel;

namespace velumark {
class Record;
class RecordList;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

class ListPane : public QWidget
{
    Q_OBJECT
public:
    ListPane(VelumarkDatabase &document, RecordList &list, QWidget *parent = nullptr);

    RecordList &list() const { return m_list; }
    QTableView *tableView() const { return m_table; }
    QList<Record *> selectedRecords() const;
    void handleDeleteButton();
    void saveState(QSettings &settings) const;
    void restoreState(QSettings &settings);

signals:
    void recordActivated(velumark::Record *record);
    void selectionChanged();
    void rowCountsChanged(int shown, int total);

private:
    void announceCounts();

    VelumarkDatabase &m_document;
    RecordList &m_list;
    QTableView *m_table;
    QAbstractTableModel *m_model;
};

} // namespace velumark::gui
