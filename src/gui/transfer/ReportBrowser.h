#pragma once

#include "store/PictureSize.h"

#include <QDialog>
#include <QString>

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace velumark {
class InterchangeHandOver;
}

namespace velumark::gui {

// Chooses the folder, the file name and the photo size of the HTML report, writes it through
// the core while the progress window follows, and offers to open it when it is written.
class ReportBrowser : public QDialog
{
    Q_OBJECT
public:
    ReportBrowser(InterchangeHandOver &handOver, QWidget *parent);

    void present();
    // The photo size code of the checked radio button (1 small ... 4 extra-large).
    PictureSize typeSelection() const;

    void browseButtonPressed();
    void exportButtonPressed();

private:
    InterchangeHandOver &m_handOver;
    QString m_path;
    QLineEdit *m_pathTextField;
    QLineEdit *m_filenameTextField;
    QButtonGroup *m_sizes;
    QPushButton *m_exportButton = nullptr;
};

} // namespace velumark::gui
