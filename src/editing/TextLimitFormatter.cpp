#include "editing/TextLimitFormatter.h"

#include <algorithm>

namespace velumark::editing {

TextLimitFormatter::TextLimitFormatter(int maximumLength, QObject *parent)
    : QValidator(parent), m_maximumLength(std::max(maximumLength, 0))
{}

bool TextLimitFormatter::accepts(qsizetype previousLength, qsizetype proposedLength, qsizetype limit)
{
    return proposedLength <= previousLength || proposedLength <= limit;
}

qsizetype TextLimitFormatter::room(qsizetype current, qsizetype replaced, qsizetype limit)
{
    return replaced + std::max<qsizetype>(limit - current, 0);
}

QString TextLimitFormatter::cut(const QString &replacement, qsizetype room)
{
    if (replacement.size() <= room)
        return replacement;
    qsizetype kept = std::max<qsizetype>(room, 0);
    if (kept > 0 && replacement.at(kept - 1).isHighSurrogate())
        --kept;
    return replacement.left(kept);
}

QValidator::State TextLimitFormatter::validate(QString &input, int &pos) const
{
    if (accepts(m_current.size(), input.size(), m_maximumLength))
        return Acceptable;
    // The edit replaced what lies between the parts the old and the new text share at both ends.
    const qsizetype shortest = std::min(m_current.size(), input.size());
    qsizetype prefix = 0;
    while (prefix < shortest && m_current.at(prefix) == input.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shortest - prefix &&
           m_current.at(m_current.size() - 1 - suffix) == input.at(input.size() - 1 - suffix))
        ++suffix;
    const qsizetype replaced = m_current.size() - prefix - suffix;
    const QString inserted = cut(input.mid(prefix, input.size() - prefix - suffix),
                                 room(m_current.size(), replaced, m_maximumLength));
    input = input.left(prefix) + inserted + input.right(suffix);
    pos = int(prefix + inserted.size());
    emit limitReached();
    return Acceptable;
}

} // namespace velumark::editing
