#include "store/VelumarkStrings.h"

#include "store/Localization.h"

#include <initializer_list>

namespace velumark {

namespace {

QStringList localizedList(std::initializer_list<const char *> english, bool withInvalid = false)
{
    QStringList list;
    if (withInvalid)
        list << QStringLiteral(" ");
    for (const char *text : english)
        list << localized(text);
    return list;
}

const std::initializer_list<const char *> kEffort = {"minute", "hour", "day", "week", "month", "year"};
const std::initializer_list<const char *> kPluralEffort = {"minutes", "hours",  "days",
                                                           "weeks",   "months", "years"};
const std::initializer_list<const char *> kResponse = {"day", "week", "month", "year"};
const std::initializer_list<const char *> kPluralResponse = {"days", "weeks", "months", "years"};

} // namespace

// Function-local statics are built once, thread-safely, and never change afterwards.
const QStringList &VelumarkStrings::stateStrings()
{
    static const QStringList list =
        localizedList({"Returned", "Sold", "Published", "Reserved", "Exhibiting", "Donated", "Gifted"});
    return list;
}

const QStringList &VelumarkStrings::typeStrings()
{
    static const QStringList list = localizedList({"Unspecified", "Query", "One Artist Show",
                                                   "Group Exhibition", "Lease", "Assignment", "Publication"});
    return list;
}

const QStringList &VelumarkStrings::clientStrings()
{
    static const QStringList list = localizedList(
        {"Unspecified", "Gallery", "Museum", "Company", "Collector", "Private", "Fair", "Show"});
    return list;
}

const QStringList &VelumarkStrings::effortStrings()
{
    static const QStringList list = localizedList(kEffort);
    return list;
}

const QStringList &VelumarkStrings::pluralEffortStrings()
{
    static const QStringList list = localizedList(kPluralEffort);
    return list;
}

const QStringList &VelumarkStrings::effortStringsWithInvalid()
{
    static const QStringList list = localizedList(kEffort, true);
    return list;
}

const QStringList &VelumarkStrings::pluralEffortStringsWithInvalid()
{
    static const QStringList list = localizedList(kPluralEffort, true);
    return list;
}

const QStringList &VelumarkStrings::responseTimeStrings()
{
    static const QStringList list = localizedList(kResponse);
    return list;
}

const QStringList &VelumarkStrings::pluralResponseTimeStrings()
{
    static const QStringList list = localizedList(kPluralResponse);
    return list;
}

const QStringList &VelumarkStrings::responseTimeStringsWithInvalid()
{
    static const QStringList list = localizedList(kResponse, true);
    return list;
}

const QStringList &VelumarkStrings::pluralResponseTimeStringsWithInvalid()
{
    static const QStringList list = localizedList(kPluralResponse, true);
    return list;
}

QString VelumarkStrings::stateIconName(qint64 state)
{
    static const char *const icons[] = {"returned_icon", "dollarsign_icon", "published_icon",
                                        "reserved_icon", "exhibited_icon",  "donated_icon",
                                        "gifted_icon"};
    if (state < 0 || state > 6)
        return {};
    return QString::fromLatin1(icons[state]);
}

QString VelumarkStrings::entry(const QStringList &list, qint64 index)
{
    if (index < 0 || index >= list.size())
        return {};
    return list.at(index);
}

QString VelumarkStrings::effortUnitWord(qint64 amount, qint64 unitCode)
{
    if (unitCode < 1)
        return {};
    return entry(amount == 1 ? effortStrings() : pluralEffortStrings(), unitCode - 1);
}

QString VelumarkStrings::responseTimeUnitWord(qint64 amount, qint64 unitCode)
{
    if (unitCode < 1)
        return {};
    return entry(amount == 1 ? responseTimeStrings() : pluralResponseTimeStrings(), unitCode - 1);
}

} // namespace velumark
