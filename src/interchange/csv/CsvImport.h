#pragma once

#include "interchange/DatabaseImport.h"

namespace velumark {

// Imports a CSV file: reads it into an intermediate catalogue database, then merges that into
// the document in the chosen scope like any other database import.
class CsvImport : public DatabaseImport
{
    Q_OBJECT
public:
    CsvImport(VelumarkDatabase &document, QString csvPath, int scope, QObject *parent = nullptr);
    ~CsvImport() override;

protected:
    Outcome prepareForeignDatabase(const QString &target) override;
    Outcome finish(Outcome outcome) override;

private:
    qint64 m_stoppedAtLine = 0;
};

} // namespace velumark
