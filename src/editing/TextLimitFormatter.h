#pragma once

#include <QString>
#include <QValidator>
#include <limits>

namespace velumark::editing {

// Limits the length of a text. An edit is taken when the text after it is not longer than the
// limit, or not longer than before (so a text already over the limit can still be shortened).
// An edit that would go past the limit is cut to what fits instead of being dropped, so pasted
// text is kept up to the limit; limitReached() tells the window so that it can let the user know.
class TextLimitFormatter : public QValidator
{
    Q_OBJECT
public:
    // The one-line fields of the editors.
    static constexpr int kLineLimit = 200;
    // The multi-line texts (notes, location, address).
    static constexpr int kMultiLineLimit = 10000;

    explicit TextLimitFormatter(int maximumLength = std::numeric_limits<int>::max(),
                                QObject *parent = nullptr);

    int maximumLength() const { return m_maximumLength; }

    // The acceptance rule.
    static bool accepts(qsizetype previousLength, qsizetype proposedLength, qsizetype limit);
    // How many characters of a replacement for `replaced` characters of a text of `current`
    // characters the rule takes.
    static qsizetype room(qsizetype current, qsizetype replaced, qsizetype limit);
    // The replacement cut to `room` characters, never between the two halves of a character
    // outside the basic plane.
    static QString cut(const QString &replacement, qsizetype room);

    // The field's text after every change (also one made by the program), which the next edit
    // is measured against.
    void setCurrentText(const QString &text) { m_current = text; }

    State validate(QString &input, int &pos) const override;

signals:
    // An edit was cut, or refused entirely, at the limit.
    void limitReached() const;

private:
    int m_maximumLength;
    QString m_current;
};

} // namespace velumark::editing
