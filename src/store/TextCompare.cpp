#include "store/TextCompare.h"

#include <QLocale>
#include <atomic>
#include <memory>
#include <unicode/ucol.h>

namespace velumark {

namespace {

struct CollatorCloser
{
    void operator()(UCollator *collator) const { ucol_close(collator); }
};

// One collator per thread and kind, rebuilt when the default locale changes: ICU collators may be
// shared for comparing, but opening them is not free and the locale may be changed by tests.
struct CollatorCache
{
    QLocale locale;
    std::unique_ptr<UCollator, CollatorCloser> collator;
    quint32 serial = 0;
};

// Every collator made, on any thread, gets a serial of its own.
std::atomic<quint32> nextCollatorSerial{1};

const UCollator *collator(bool numeric, quint32 *serial = nullptr)
{
    thread_local CollatorCache caches[2];
    CollatorCache &cache = caches[numeric ? 1 : 0];
    const QLocale locale;
    if (!cache.collator || cache.locale != locale) {
        cache.serial = nextCollatorSerial++;
        UErrorCode status = U_ZERO_ERROR;
        cache.collator.reset(ucol_open(locale.name().toUtf8().constData(), &status));
        if (U_FAILURE(status) || !cache.collator) {
            status = U_ZERO_ERROR;
            cache.collator.reset(ucol_open("", &status));
        }
        // Secondary strength: letter case is ignored, accents are not.
        ucol_setStrength(cache.collator.get(), UCOL_SECONDARY);
        status = U_ZERO_ERROR;
        ucol_setAttribute(cache.collator.get(), UCOL_NUMERIC_COLLATION, numeric ? UCOL_ON : UCOL_OFF,
                          &status);
        cache.locale = locale;
    }
    if (serial)
        *serial = cache.serial;
    return cache.collator.get();
}

int collate(bool numeric, const QString &a, const QString &b)
{
    const UCollationResult result = ucol_strcoll(
        collator(numeric), reinterpret_cast<const UChar *>(a.utf16()), static_cast<int32_t>(a.size()),
        reinterpret_cast<const UChar *>(b.utf16()), static_cast<int32_t>(b.size()));
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

QByteArray sortKey(bool numeric, const QString &text)
{
    const UCollator *coll = collator(numeric);
    const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
    const auto length = static_cast<int32_t>(text.size());
    QByteArray key(qMax<qsizetype>(32, text.size() * 4), Qt::Uninitialized);
    int32_t needed = ucol_getSortKey(coll, chars, length, reinterpret_cast<uint8_t *>(key.data()),
                                     static_cast<int32_t>(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = ucol_getSortKey(coll, chars, length, reinterpret_cast<uint8_t *>(key.data()), needed);
    }
    // The key ends with a zero byte, which is not needed for comparing.
    key.resize(qMax(0, needed - 1));
    return key;
}

} // namespace

int localizedCaseInsensitiveCompare(const QString &a, const QString &b)
{
    return collate(false, a, b);
}

int localizedStandardCompare(const QString &a, const QString &b)
{
    return collate(true, a, b);
}

int plainCompare(const QString &a, const QString &b)
{
    const int result = QString::compare(a, b, Qt::CaseSensitive);
    return (result > 0) - (result < 0);
}

QByteArray localizedCaseInsensitiveSortKey(const QString &text)
{
    return sortKey(false, text);
}

QByteArray localizedStandardSortKey(const QString &text)
{
    return sortKey(true, text);
}

quint32 collationSerial(bool numeric)
{
    quint32 serial = 0;
    collator(numeric, &serial);
    return serial;
}

const QByteArray &CachedSortKey::key(const QString &text, bool numeric, quint32 serial)
{
    // The same characters as the text the key was made from (see FoldedText::update) need no
    // comparing.
    const bool same =
        m_source.size() == text.size() && (m_source.constData() == text.constData() || m_source == text);
    if (m_serial != serial || !same) {
        m_key = sortKey(numeric, text);
        m_source = text;
        m_serial = serial;
    }
    return m_key;
}

namespace {

// The case folding of one UTF-16 unit as QString's case-insensitive matching applies it; false
// for a unit that is part of a surrogate pair or folds outside the basic plane.
bool foldUnit(char16_t unit, char16_t *folded)
{
    if (QChar::isSurrogate(unit))
        return false;
    const char32_t result = QChar::toCaseFolded(static_cast<char32_t>(unit));
    if (result > 0xffff || QChar::isSurrogate(result))
        return false;
    *folded = static_cast<char16_t>(result);
    return true;
}

// The folded text, or a null string when some unit cannot be folded on its own.
QString foldedText(const QString &text)
{
    QString folded(text.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(folded.data());
    const auto *in = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!foldUnit(in[i], out + i))
            return {};
    }
    return folded;
}

} // namespace

SearchNeedle::SearchNeedle(const QString &text) : m_text(text), m_folded(foldedText(text)) {}

void FoldedText::update(const QString &text)
{
    // The text held shares its characters with the one it was made from: as long as both point
    // at the same characters, nothing can have changed them (a shared text is copied before it is
    // changed), and the characters need no comparing.
    if (m_made && m_source.isNull() == text.isNull() && m_source.size() == text.size() &&
        (m_source.constData() == text.constData() || m_source == text))
        return;
    m_source = text;
    m_folded = foldedText(text);
    m_made = true;
}

bool FoldedText::contains(const SearchNeedle &needle) const
{
    // Folding both sides unit by unit is what the case-insensitive match does; texts with units
    // that do not fold on their own take the general match.
    if (!m_folded.isNull() && !needle.folded().isNull())
        return QStringView(m_folded).contains(QStringView(needle.folded()), Qt::CaseSensitive);
    return m_source.contains(needle.text(), Qt::CaseInsensitive);
}

QString capitalized(const QString &text)
{
    const QLocale locale;
    QString result;
    result.reserve(text.size());
    qsizetype wordStart = -1;
    auto flushWord = [&](qsizetype end) {
        if (wordStart < 0)
            return;
        const QString word = text.mid(wordStart, end - wordStart);
        // The first whole character: a surrogate pair counts as one.
        const qsizetype firstLength = (word.size() > 1 && word.at(0).isHighSurrogate()) ? 2 : 1;
        result += locale.toUpper(word.left(firstLength));
        result += locale.toLower(word.mid(firstLength));
        wordStart = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isSpace()) {
            flushWord(i);
            result += text.at(i);
        } else if (wordStart < 0) {
            wordStart = i;
        }
    }
    flushWord(text.size());
    return result;
}

} // namespace velumark
