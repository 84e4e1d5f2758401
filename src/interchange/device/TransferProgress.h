#pragma once

#include <QObject>
#include <QString>

namespace velumark {

// The progress window of a transfer: its title and the value of its bar, 0 to 100. An import
// shows the download as the first half and the import of the downloaded file as the second.
// Updates arrive on the thread that owns this object; a window connects valueChanged queued.
class TransferProgress : public QObject
{
    Q_OBJECT

public:
    explicit TransferProgress(QObject *parent = nullptr);

    QString title() const { return m_title; }
    double value() const { return m_value; }

    // "Importing Database" or "Exporting Database", at 0.
    void beginImport();
    void beginExport();

    // Percentages of the step at hand; a value outside 0 to 100 counts as the nearer end.
    void downloadProgressUpdate(double percent);
    void downloadDidFinish();
    void importProgressUpdate(double percent);
    void uploadProgressUpdate(double percent);
    void uploadDidFinish();

signals:
    void valueChanged(double value);

private:
    void begin(const QString &title);
    void setValue(double value);

    QString m_title;
    double m_value = 0;
};

} // namespace velumark
