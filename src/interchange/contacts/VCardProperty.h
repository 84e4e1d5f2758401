#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <vector>

namespace velumark {

// One content line of a card, such as "item1.TEL;TYPE=work,voice;PREF=1:+1 555 0100", with its
// parameters sorted out in the several spellings of vCard 2.1, 3.0 and 4.0.
struct VCardProperty
{
    // The rank of an entry no PREF parameter marks (4.0 ranks 1, the most preferred, to 100).
    static constexpr int kNotPreferred = 101;

    QByteArray group;        // lower case; empty without a group
    QByteArray name;         // upper case
    QList<QByteArray> types; // lower case: TYPE values and the bare words of 2.1 ("work", "fax")
    int preference = kNotPreferred;
    QByteArray encoding; // lower case: "quoted-printable", "base64", "b", "8bit"; empty for none
    QByteArray charset;  // as written; empty when the line names none
    QByteArray value;    // the bytes after the colon, still encoded

    bool hasType(QByteArrayView type) const { return types.contains(type); }
};

// Lines longer than this are left out (in practice only pictures and sounds, which are not read).
constexpr qsizetype kMaxVCardLineLength = qsizetype(1) << 20;

// The content lines of one card in their order. Folded lines (a line break followed by a space or
// tab) are joined, and so are the lines of a quoted-printable value that end in a soft line break
// ("="). Lines without a colon or without a valid name, and lines longer than
// kMaxVCardLineLength, are left out.
std::vector<VCardProperty> readVCardProperties(QByteArrayView card);

} // namespace velumark
