#pragma once

#include "interchange/DatabaseImport.h"
#include "interchange/csv/InputTextStream.h"

namespace velumark {

// Imports a CSV file: reads it into an intermediate catalogue database, then merges that into
// the document in the chosen scope like any other database import.
class CsvImport : public DatabaseImport
{
    Q_OBJECT
public:
    CsvImport(VelumarkDatabase &document, QString csvPath, TransferScope scope, QObject *parent = nullptr);
    ~CsvImport() override;

    // What the user is told when the reading was cut short at `line`.
    static QString cutMessage(InputTextStream::Cut cut, qint64 line);

protected:
    Result<> prepareForeignDatabase(const QString &target) override;
    Result<> finish(Result<> outcome) override;

private:
    static constexpr double kParseShare = 50;

    InputTextStream::Cut m_cut = InputTextStream::Cut::None;
    qint64 m_cutLine = 0;
};

} // namespace velumark
