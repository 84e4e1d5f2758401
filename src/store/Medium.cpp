#include "store/Medium.h"

#include "store/Localization.h"

namespace velumark {

Medium::Medium(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult)
{
    const int result = loadEagerFields(primaryKey, database, abortOnError);
    if (initResult)
        *initResult = result;
}

const Record::Statements &Medium::statements() const
{
    static const Statements sql{
        "SELECT name FROM medium WHERE pk=?",  nullptr,
        "INSERT INTO medium (name) VALUES(?)", "UPDATE medium SET name=? WHERE pk=?",
        "DELETE FROM medium WHERE pk=?",       "Error: failed to dehydrate with message '%s'.",
    };
    return sql;
}

QString Medium::fallbackName() const
{
    return localized("No medium");
}

} // namespace velumark
