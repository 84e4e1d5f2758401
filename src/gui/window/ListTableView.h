#pragma once

#include <QTableView>

namespace velumark::gui {

class ListModel;

// The table of one list. Rows are as high as the list says: every row has the list's normal
// height (the vertical header in fixed mode), and only the rows that carry a section band are
// set higher, following the model's notices. A header sized row by row from the size hints would
// ask for every row's cells on each search of a 100,000-row list. Scrolls by pixels; type-ahead
// searches the first column; Delete and Backspace ask for the selected rows to be deleted.
class ListTableView : public QTableView
{
    Q_OBJECT
public:
    explicit ListTableView(ListModel &model, QWidget *parent = nullptr);

    ListModel &listModel() const { return m_model; }
    // Row heights made equal to the list's again, for every row (after a reset or a re-sort).
    void syncAllRowHeights();

    void keyboardSearch(const QString &search) override;

signals:
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void syncRowHeights(int first, int last);
    // syncAllRowHeights after a reset, which has made every row default high.
    void syncRowHeightsAfterReset();

    ListModel &m_model;
};

} // namespace velumark::gui
