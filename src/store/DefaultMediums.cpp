#include "store/DefaultMediums.h"

#include "store/Localization.h"
#include "store/TextCompare.h"

#include <QSet>
#include <algorithm>

namespace velumark {

QStringList defaultMediumNames()
{
    QStringList names;
    for (const char *name : {"Acrylic", "Bonsai", "Digital", "Photograph", "Oil", "Pen and Ink", "Pottery",
                             "Sculpture", "Watercolor"})
        names << localized(name);
    return names;
}

QStringList mediumNamesToAdd(const QStringList &artworkMediums, const QStringList &existingMediums)
{
    QStringList names;
    for (const QString &name : artworkMediums) {
        if (!name.isEmpty())
            names << name;
    }
    names << defaultMediumNames();
    names.removeDuplicates();
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return localizedCaseInsensitiveCompare(a, b) < 0; });
    const QSet<QString> present(existingMediums.begin(), existingMediums.end());
    names.removeIf([&](const QString &name) { return present.contains(name); });
    return names;
}

} // namespace velumark
