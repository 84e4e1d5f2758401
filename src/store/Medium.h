#pragma once

#include "store/NamedRecord.h"

namespace velumark {

// One medium name offered by the artwork editor's choice list.
class Medium : public NamedRecord
{
public:
    Medium() = default;
    // Loads the row; result 0 = loaded (or fallback for a missing row), 1 = failed (abort off).
    Medium(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult = nullptr);

protected:
    const Statements &statements() const override;
    QString className() const override { return QStringLiteral("Medium"); }
    QString fallbackName() const override;
};

} // namespace velumark
