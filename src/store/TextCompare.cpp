#include "store/TextCompare.h"

#include <QLocale>
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
const UCollator *collator(bool numeric)
{
    struct Cache
    {
        QLocale locale;
        std::unique_ptr<UCollator, CollatorCloser> collator;
    };
    thread_local Cache caches[2];
    Cache &cache = caches[numeric ? 1 : 0];
    const QLocale locale;
    if (!cache.collator || cache.locale != locale) {
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
