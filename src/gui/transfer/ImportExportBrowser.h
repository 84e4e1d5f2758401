#pragma once

#include "interchange/TransferScope.h"

#include <QDialog>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velumark {
class InterchangeHandOver;
}

namespace velumark::gui {

class ProgressWindow;

// Chooses the file and the scope of an import or an export (interchange file, catalogue package
// or CSV), then hands the work to the core and follows it in the progress window.
class ImportExportBrowser : public QDialog
{
    Q_OBJECT
public:
    enum DatabaseType
    {
        ImportVdbi,
        ImportDatabase,
        ImportCsv,
        ExportVdbi,
        ExportDatabase,
        ExportCsv
    };

    // The address of the CSV template's page; empty shows the note without a link.
    ImportExportBrowser(DatabaseType type, InterchangeHandOver &handOver, const QString &csvTemplateAddress,
                        QWidget *parent);

    // Shows the browser window-modally, with a file already chosen when one is given.
    void present(const QString &path = {});

    DatabaseType databaseType() const { return m_type; }
    bool isImport() const { return m_type <= ImportCsv; }
    // The scope of the checked radio button (0 complete ... 3 clients).
    TransferScope typeSelection() const;
    const QString &chosenPath() const { return m_path; }
    // What the chosen interchange file holds, as shown.
    QString fileSummary() const;

    void browseButtonPressed();
    void importExportButtonPressed();
    // Writes an empty CSV file of the import's format where the user chooses.
    void saveCsvTemplate();

signals:
    // The operation started; its progress window follows it.
    void operationStarted(velumark::gui::ProgressWindow *progress);

private:
    void buildInterface(const QString &csvTemplateAddress);
    QHBoxLayout *csvTemplateRow(const QString &csvTemplateAddress);
    void choose(const QString &path);
    bool confirmRestore();
    bool confirmReplace(const QString &package) const;
    QString settingsKey() const;

    DatabaseType m_type;
    InterchangeHandOver &m_handOver;
    QString m_path;
    QLineEdit *m_filenameTextField = nullptr;
    QLabel *m_fileSummary = nullptr; // the counts of an interchange file
    QButtonGroup *m_scopes = nullptr;
    QCheckBox *m_restore = nullptr;
    QPushButton *m_importExportButton = nullptr;
};

} // namespace velumark::gui
