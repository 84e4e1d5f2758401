#pragma once

#include "store/NamedRecord.h"

namespace velumark {

// One artist name offered by the artwork editor's choice list.
class Artist : public NamedRecord
{
public:
    Artist() = default;
    // Loads the row; result 0 = loaded (or fallback for a missing row), 1 = failed (abort off).
    Artist(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult = nullptr);

protected:
    const Statements &statements() const override;
    QString className() const override { return QStringLiteral("Artist"); }
    QString fallbackName() const override;
};

} // namespace velumark
