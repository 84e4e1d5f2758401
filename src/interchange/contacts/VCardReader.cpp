#include "interchange/contacts/VCardReader.h"

#include "interchange/contacts/ContactTextDecoding.h"
#include "interchange/contacts/VCardProperty.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <span>

namespace velumark {

// How the types of a card become the labels of a person's entries. The first rule that fits wins;
// an X-ABLabel of the same group ("item1.TEL" with "item1.X-ABLabel") overrides them all.
//
//   property  types on the card                        label
//   --------  ---------------------------------------  -------------------------------------
//   TEL       FAX with HOME                            home fax
//   TEL       FAX (alone or with WORK)                 work fax
//   TEL       IPHONE                                   iPhone
//   TEL       CELL or MOBILE                           mobile
//   TEL       MAIN                                     main
//   TEL       WORK / HOME / PAGER                      work / home / pager
//   ADR, EMAIL, URL   WORK / HOME                      work / home
//   URL       HOMEPAGE                                 home page
//   any       a type not named above and not neutral   other
//   any       neutral types only, or none              untyped: the first untyped entry takes
//                                                      the default label of its property when
//                                                      no entry has it yet, the rest are other
//
//   neutral types: VOICE, TEXT, MSG, PREF, INTERNET, POSTAL, PARCEL, DOM, INTL, X400
//   default labels: TEL main, ADR work (a card's default address type), EMAIL work,
//                   URL home page
//
// X-ABLabel texts: "_$!<Name>!$_" and plain text alike; Work, Home, Main, iPhone, Mobile or Cell,
// Pager, HomePage, WorkFAX, HomeFAX and Other (any case, spaces allowed) name the labels above,
// anything else is kept as the user's own label. Entries marked PREF come first among their
// property, most preferred first, so that they are the ones a client takes.

namespace {

template <typename Value> struct CardEntry
{
    int preference = VCardProperty::kNotPreferred;
    QString label;
    Value value;
};

template <typename Value>
MultiValue<Value> labelledEntries(std::vector<CardEntry<Value>> entries, const QString &defaultLabel)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto &a, const auto &b) { return a.preference < b.preference; });
    bool defaultTaken = std::any_of(entries.begin(), entries.end(),
                                    [&](const auto &entry) { return entry.label == defaultLabel; });
    MultiValue<Value> list;
    list.reserve(entries.size());
    for (CardEntry<Value> &entry : entries) {
        if (entry.label.isEmpty()) {
            entry.label = defaultTaken ? ContactLabel::other : defaultLabel;
            defaultTaken = true;
        }
        list.push_back({std::move(entry.label), std::move(entry.value)});
    }
    return list;
}

bool hasOnlyNeutralTypes(const VCardProperty &property)
{
    static const QList<QByteArray> neutral{"voice",  "text",   "msg", "pref", "internet",
                                           "postal", "parcel", "dom", "intl", "x400"};
    return std::all_of(property.types.begin(), property.types.end(),
                       [](const QByteArray &type) { return neutral.contains(type); });
}

QString labelForTypes(const VCardProperty &property)
{
    struct Rule
    {
        const char *type;
        const QString &label;
    };
    static const Rule phoneRules[]{{"iphone", ContactLabel::iPhone}, {"cell", ContactLabel::mobile},
                                   {"mobile", ContactLabel::mobile}, {"main", ContactLabel::main},
                                   {"work", ContactLabel::work},     {"home", ContactLabel::home},
                                   {"pager", ContactLabel::pager}};
    static const Rule otherRules[]{
        {"work", ContactLabel::work}, {"home", ContactLabel::home}, {"homepage", ContactLabel::homePage}};
    const bool phone = property.name == "TEL";
    if (phone && property.hasType("fax"))
        return property.hasType("home") ? ContactLabel::homeFax : ContactLabel::workFax;
    for (const Rule &rule : phone ? std::span<const Rule>(phoneRules) : std::span<const Rule>(otherRules)) {
        if (property.hasType(rule.type))
            return rule.label;
    }
    return hasOnlyNeutralTypes(property) ? QString() : ContactLabel::other;
}

QString labelForCustomLabel(const QString &text)
{
    QString name = text;
    if (name.startsWith(QLatin1String("_$!<")) && name.endsWith(QLatin1String(">!$_")))
        name = name.mid(4, name.size() - 8);
    static const QHash<QString, QString> known{
        {QStringLiteral("work"), ContactLabel::work},
        {QStringLiteral("home"), ContactLabel::home},
        {QStringLiteral("main"), ContactLabel::main},
        {QStringLiteral("iphone"), ContactLabel::iPhone},
        {QStringLiteral("mobile"), ContactLabel::mobile},
        {QStringLiteral("cell"), ContactLabel::mobile},
        {QStringLiteral("pager"), ContactLabel::pager},
        {QStringLiteral("homepage"), ContactLabel::homePage},
        {QStringLiteral("workfax"), ContactLabel::workFax},
        {QStringLiteral("homefax"), ContactLabel::homeFax},
        {QStringLiteral("other"), ContactLabel::other},
    };
    const QString key = name.toLower().remove(QLatin1Char(' '));
    return known.value(key, name);
}

// The value's bytes after its transfer encoding; nothing for base64 that does not decode.
std::optional<QByteArray> transferDecoded(const VCardProperty &property)
{
    if (property.encoding == "quoted-printable")
        return decodeQuotedPrintable(property.value);
    if (property.encoding == "base64" || property.encoding == "b") {
        QByteArray compact = property.value;
        compact.removeIf([](char c) { return c == ' ' || c == '\t'; });
        const QByteArray::FromBase64Result result =
            QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
        if (!result)
            return std::nullopt;
        return result.decoded;
    }
    return property.value;
}

// Splits at separators that no backslash escapes; the parts keep their escapes.
QStringList splitUnescaped(const QString &text, QChar separator)
{
    QStringList parts;
    QString part;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            part += text[i];
            part += text[++i];
        } else if (text[i] == separator) {
            parts.append(part);
            part.clear();
        } else {
            part += text[i];
        }
    }
    parts.append(part);
    return parts;
}

// Resolves the escapes of text values: \\ \, \; \: and \n or \N. Any other backslash is kept, as
// older cards write paths and other backslashes unescaped.
QString unescaped(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('n') || next == QLatin1Char('N')) {
                result += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\') || next == QLatin1Char(',') || next == QLatin1Char(';') ||
                next == QLatin1Char(':')) {
                result += next;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

// Line breaks as "\n"; other control characters (left by broken encodings) removed; trimmed.
QString cleanMultiLine(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    result.removeIf([](QChar c) {
        return (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) ||
               c.unicode() == 0x7f;
    });
    return result.trimmed();
}

QString cleanLine(const QString &text)
{
    return cleanMultiLine(text).simplified();
}

// Reads the properties of one card into a person.
class PersonBuilder
{
public:
    explicit PersonBuilder(const std::vector<VCardProperty> &properties)
    {
        for (const VCardProperty &property : properties) {
            if (property.name == "X-ABLABEL" && !property.group.isEmpty() &&
                !m_customLabels.contains(property.group)) {
                if (std::optional<QString> text = decodedText(property))
                    m_customLabels.insert(property.group, cleanLine(unescaped(*text)));
            }
        }
    }

    void read(const VCardProperty &property)
    {
        if (!readNames().contains(property.name))
            return;
        const std::optional<QString> text = decodedText(property);
        if (!text)
            return;
        const QByteArray &name = property.name;
        if (name == "N")
            readName(*text);
        else if (name == "FN")
            setOnce(m_person.formattedName(), cleanLine(unescaped(*text)), &Person::setFormattedName);
        else if (name == "ORG")
            setOnce(m_person.organization(),
                    cleanLine(unescaped(splitUnescaped(*text, QLatin1Char(';')).first())),
                    &Person::setOrganization);
        else if (name == "NOTE")
            setOnce(m_person.note(), cleanMultiLine(unescaped(*text)), &Person::setNote);
        else if (name == "ADR")
            readAddress(property, *text);
        else if (name == "TEL")
            readSimple(property, phoneNumber(*text), m_phones);
        else if (name == "EMAIL")
            readSimple(property, cleanLine(unescaped(*text)), m_emails);
        else if (name == "URL")
            readSimple(property, cleanLine(unescaped(*text)), m_urls);
    }

    std::optional<Person> person()
    {
        m_person.setAddresses(labelledEntries(std::move(m_addresses), ContactLabel::work));
        m_person.setPhones(labelledEntries(std::move(m_phones), ContactLabel::main));
        m_person.setEmails(labelledEntries(std::move(m_emails), ContactLabel::work));
        m_person.setUrls(labelledEntries(std::move(m_urls), ContactLabel::homePage));
        if (m_person.isEmpty())
            return std::nullopt;
        return std::move(m_person);
    }

private:
    static const QList<QByteArray> &readNames()
    {
        static const QList<QByteArray> names{"N", "FN", "ORG", "NOTE", "ADR", "TEL", "EMAIL", "URL"};
        return names;
    }

    static std::optional<QString> decodedText(const VCardProperty &property)
    {
        const std::optional<QByteArray> bytes = transferDecoded(property);
        if (!bytes)
            return std::nullopt;
        return decodeCharset(*bytes, property.charset);
    }

    // A property that appears twice keeps its first non-empty value.
    void setOnce(const QString &current, const QString &value, void (Person::*setter)(const QString &))
    {
        if (current.isEmpty() && !value.isEmpty())
            (m_person.*setter)(value);
    }

    // The components of a structured value; a component's own list items joined by `join`.
    static QStringList components(const QString &text, const QString &join, qsizetype count)
    {
        QStringList parts;
        for (const QString &component : splitUnescaped(text, QLatin1Char(';'))) {
            QStringList items;
            for (const QString &item : splitUnescaped(component, QLatin1Char(',')))
                items.append(unescaped(item));
            parts.append(items.join(join));
        }
        while (parts.size() < count)
            parts.append(QString());
        return parts;
    }

    // family; given; additional; prefixes; suffixes
    void readName(const QString &text)
    {
        if (!m_person.firstName().isEmpty() || !m_person.middleName().isEmpty() ||
            !m_person.lastName().isEmpty())
            return;
        const QStringList parts = components(text, QStringLiteral(" "), 3);
        m_person.setFirstName(cleanLine(parts[1]));
        m_person.setMiddleName(cleanLine(parts[2]));
        m_person.setLastName(cleanLine(parts[0]));
    }

    // post office box; extended address; street; city; region; postal code; country. The street
    // takes the extended address and box after it; line breaks within a part become ", ", since
    // a client's address keeps one line per address.
    void readAddress(const VCardProperty &property, const QString &text)
    {
        const QStringList parts = components(text, QStringLiteral(", "), 7);
        const auto part = [&](qsizetype index) {
            QString value = cleanMultiLine(parts[index]);
            return value.replace(QLatin1Char('\n'), QLatin1String(", ")).simplified();
        };
        QStringList streetParts{part(2), part(1), part(0)};
        streetParts.removeAll(QString());
        PostalAddress address{streetParts.join(QLatin1String(", ")), part(3), part(4), part(5), part(6)};
        if (!address.isEmpty())
            m_addresses.push_back({property.preference, label(property), std::move(address)});
    }

    static QString phoneNumber(const QString &text)
    {
        // vCard 4.0 writes numbers as URIs: "tel:+1-555-0100".
        QString number = cleanLine(unescaped(text));
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            number.remove(0, 4);
        return number.trimmed();
    }

    void readSimple(const VCardProperty &property, const QString &value,
                    std::vector<CardEntry<QString>> &list)
    {
        if (!value.isEmpty())
            list.push_back({property.preference, label(property), value});
    }

    QString label(const VCardProperty &property) const
    {
        if (!property.group.isEmpty()) {
            const QString custom = m_customLabels.value(property.group);
            if (!custom.isEmpty())
                return labelForCustomLabel(custom);
        }
        return labelForTypes(property);
    }

    Person m_person;
    QHash<QByteArray, QString> m_customLabels;
    std::vector<CardEntry<PostalAddress>> m_addresses;
    std::vector<CardEntry<QString>> m_phones;
    std::vector<CardEntry<QString>> m_emails;
    std::vector<CardEntry<QString>> m_urls;
};

} // namespace

std::optional<Person> readVCardPerson(QByteArrayView card)
{
    const std::vector<VCardProperty> properties = readVCardProperties(card);
    PersonBuilder builder(properties);
    for (const VCardProperty &property : properties)
        builder.read(property);
    return builder.person();
}

} // namespace velumark
