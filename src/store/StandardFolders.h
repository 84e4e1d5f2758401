#pragma once

#include <QString>

namespace velumark {

// The folders of the user's account that the application keeps its own files in.
class StandardFolders
{
public:
    // The application's folder inside the user's cache folder, created when missing; empty when
    // it cannot be made.
    static QString cacheFolder();
    // The application-data folder "Velumark" where untitled documents live, created when missing;
    // empty when it cannot be made.
    static QString applicationDataFolder();
};

} // namespace velumark
