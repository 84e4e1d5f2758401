#include "interchange/contacts/VCardProperty.h"

#include <algorithm>
#include <optional>

namespace velumark {

namespace {

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// The position of the first of `stops` outside double quotes, from `from` on; -1 when there is none.
qsizetype findUnquoted(QByteArrayView line, qsizetype from, QByteArrayView stops)
{
    bool quoted = false;
    for (qsizetype i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && stops.contains(c))
            return i;
    }
    return -1;
}

// Whether the line's parameters (before its value) ask for quoted-printable: its soft line breaks
// join the following lines.
bool isQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = findUnquoted(line, 0, ":");
    if (colon < 0)
        return false;
    // Longer parameters make the line too long to be read anyway.
    return line.first(std::min(colon, kMaxVCardLineLength))
        .toByteArray()
        .toLower()
        .contains("quoted-printable");
}

// The items of a parameter value, lower case. Quotes only protect ":" and ";": vCard 4.0 writes
// TYPE="voice,work" for the two types, and some programs quote a list in the older form,
// TYPE="work;postal".
QList<QByteArray> parameterValues(QByteArrayView text)
{
    QList<QByteArray> values;
    for (QByteArray value : text.toByteArray().replace('"', QByteArray()).replace(';', ',').split(',')) {
        value = value.trimmed().toLower();
        if (!value.isEmpty())
            values.append(value);
    }
    return values;
}

int preferenceRank(QByteArrayView text)
{
    bool ok = false;
    const int rank = text.toByteArray().toInt(&ok);
    return ok ? std::clamp(rank, 1, 100) : 1;
}

// A word without "=": vCard 2.1 writes types ("WORK", "FAX"), the encoding and PREF this way.
void applyBareParameter(VCardProperty &property, const QByteArray &word)
{
    static const QList<QByteArray> encodings{"quoted-printable", "base64", "8bit", "7bit"};
    if (encodings.contains(word))
        property.encoding = word;
    else if (word == "pref")
        property.preference = 1;
    else
        property.types.append(word);
}

void applyParameter(VCardProperty &property, QByteArrayView parameter)
{
    const qsizetype equals = parameter.indexOf('=');
    if (equals < 0) {
        for (const QByteArray &word : parameterValues(parameter))
            applyBareParameter(property, word);
        return;
    }
    const QByteArray key = parameter.first(equals).toByteArray().trimmed().toUpper();
    const QByteArrayView text = parameter.sliced(equals + 1);
    if (key == "TYPE") {
        for (const QByteArray &type : parameterValues(text)) {
            if (type == "pref")
                property.preference = 1;
            else
                property.types.append(type);
        }
    } else if (key == "PREF") {
        property.preference = preferenceRank(text);
    } else if (key == "ENCODING") {
        property.encoding = text.toByteArray().trimmed().toLower();
    } else if (key == "CHARSET") {
        property.charset = text.toByteArray().trimmed().replace('"', QByteArray());
    }
}

// "[group.]NAME *(;parameter):value"
std::optional<VCardProperty> parseLine(QByteArrayView line)
{
    const qsizetype colon = findUnquoted(line, 0, ":");
    if (colon < 0)
        return std::nullopt;
    qsizetype nameEnd = line.indexOf(';');
    if (nameEnd < 0 || nameEnd > colon)
        nameEnd = colon;

    VCardProperty property;
    QByteArrayView name = line.first(nameEnd).trimmed();
    if (const qsizetype dot = name.indexOf('.'); dot >= 0) {
        property.group = name.first(dot).toByteArray().toLower();
        name = name.sliced(dot + 1);
    }
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isNameCharacter))
        return std::nullopt;
    property.name = name.toByteArray().toUpper();

    qsizetype start = nameEnd + 1;
    while (start <= colon) {
        qsizetype end = findUnquoted(line, start, ";:");
        if (end < 0 || end > colon)
            end = colon;
        if (end > start)
            applyParameter(property, line.sliced(start, end - start));
        start = end + 1;
    }
    property.value = line.sliced(colon + 1).toByteArray();
    return property;
}

// Joins physical lines into content lines and parses each complete one.
class LineJoiner
{
public:
    explicit LineJoiner(std::vector<VCardProperty> &properties) : m_properties(properties) {}

    void addPhysicalLine(QByteArrayView line)
    {
        if (m_open && m_softBreak) {
            if (!m_oversized)
                m_line.chop(1);
            append(line);
        } else if (m_open && !line.isEmpty() && (line[0] == ' ' || line[0] == '\t')) {
            append(line.sliced(1));
        } else {
            finish();
            m_open = true;
            m_quotedPrintable = isQuotedPrintable(line);
            append(line);
        }
        m_softBreak = m_quotedPrintable && line.endsWith('=');
    }

    void finish()
    {
        if (m_open && !m_oversized) {
            if (std::optional<VCardProperty> property = parseLine(m_line))
                m_properties.push_back(std::move(*property));
        }
        m_line.clear();
        m_open = false;
        m_oversized = false;
        m_softBreak = false;
    }

private:
    void append(QByteArrayView part)
    {
        if (m_oversized)
            return;
        if (m_line.size() + part.size() > kMaxVCardLineLength) {
            m_oversized = true;
            m_line = QByteArray();
            return;
        }
        m_line.append(part);
    }

    std::vector<VCardProperty> &m_properties;
    QByteArray m_line;
    bool m_open = false;
    bool m_quotedPrintable = false;
    bool m_softBreak = false;
    bool m_oversized = false;
};

} // namespace

std::vector<VCardProperty> readVCardProperties(QByteArrayView card)
{
    std::vector<VCardProperty> properties;
    LineJoiner joiner(properties);
    qsizetype position = 0;
    while (position < card.size()) {
        qsizetype end = position;
        while (end < card.size() && card[end] != '\r' && card[end] != '\n')
            ++end;
        joiner.addPhysicalLine(card.sliced(position, end - position));
        // A line ends with CRLF, LF or a lone CR.
        position = end;
        if (position < card.size() && card[position] == '\r')
            ++position;
        if (position < card.size() && card[position] == '\n')
            ++position;
    }
    joiner.finish();
    return properties;
}

} // namespace velumark
