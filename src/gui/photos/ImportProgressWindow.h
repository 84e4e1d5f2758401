#pragma once

#include "interchange/OperationWatcher.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace velumark::gui {

// The window-modal progress of a photo import: a bar and Cancel. It closes itself when the import
// ends. The grid knows it only as a watcher and by its `cancelled` signal.
class ImportProgressWindow : public QDialog, public OperationWatcher
{
    Q_OBJECT
public:
    ImportProgressWindow(const QString &text, QWidget *parent);

    void progressUpdate(double percent) override;
    void operationFinished(OperationResult result, const QString &message) override;

signals:
    void cancelled();

private:
    QProgressBar *m_bar;
};

} // namespace velumark::gui
