#include "store/Artist.h"

#include "store/Localization.h"

namespace velumark {

Artist::Artist(qint64 primaryKey, SqliteConnection *database, bool abortOnError, int *initResult)
{
    const int result = loadEagerFields(primaryKey, database, abortOnError);
    if (initResult)
        *initResult = result;
}

const Record::Statements &Artist::statements() const
{
    static const Statements sql{
        "SELECT name FROM artist WHERE pk=?",  nullptr,
        "INSERT INTO artist (name) VALUES(?)", "UPDATE artist SET name=? WHERE pk=?",
        "DELETE FROM artist WHERE pk=?",       "Error: failed to save with message '%s'.",
    };
    return sql;
}

QString Artist::fallbackName() const
{
    return localized("No artist");
}

} // namespace velumark
