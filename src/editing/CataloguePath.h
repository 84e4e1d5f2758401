#pragma once

#include <QString>

namespace velumark::editing {

// What a path chosen in a file chooser, dropped on a window or given on the command line is:
// a catalogue package (a folder, or the database file inside it), an interchange file, or
// something else.
class CataloguePath
{
public:
    enum class Kind
    {
        Catalogue,   // path() is the package folder
        Interchange, // a ".vdbi" file
        Missing,     // nothing is there
        Unknown      // something that is neither
    };

    static CataloguePath forOpening(const QString &path);

    Kind kind() const { return m_kind; }
    const QString &path() const { return m_path; }

    // The path with the package extension added when it has none.
    static QString withPackageExtension(const QString &path);
    // The package's name as the user sees it: without its folder and extension.
    static QString displayName(const QString &packagePath);
    // Whether the folder holds a catalogue database.
    static bool isPackage(const QString &folder);

private:
    CataloguePath(Kind kind, QString path) : m_kind(kind), m_path(std::move(path)) {}

    Kind m_kind;
    QString m_path;
};

} // namespace velumark::editing
