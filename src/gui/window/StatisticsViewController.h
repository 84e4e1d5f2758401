#pragma once

#include <QDialog>
#include <QString>
#include <utility>
#include <vector>

class QLabel;

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {

// The statistics window of one catalogue: the figures the command line's "stats" prints, in the
// same words. It follows the catalogue while it is open and closes with the document window.
class StatisticsViewController : public QDialog
{
    Q_OBJECT
public:
    StatisticsViewController(VelumarkDatabase &database, QWidget *parent);

    // Brings the window up to date and to the front.
    void presentStatistics();
    void refreshData();
    // What the window shows: each label with its figure.
    std::vector<std::pair<QString, QString>> shownFigures() const;

private:
    void scheduleRefresh();

    VelumarkDatabase &m_database;
    QLabel *m_heading;
    std::vector<std::pair<QLabel *, QLabel *>> m_rows;
    bool m_refreshScheduled = false;
};

} // namespace velumark::gui
