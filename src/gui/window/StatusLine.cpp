#include "gui/window/StatusLine.h"

#include "store/Localization.h"

#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace velumark::gui {

namespace {

constexpr int kLabelMargin = 6;

// The texts of one list: one record, several, and both while searching.
struct CountTexts
{
    const char *one;
    const char *many;
    const char *oneOfOne;
    const char *someOfMany;
};

const CountTexts &textsOf(StatusLine::ListKind list)
{
    static const CountTexts artworks{QT_TRANSLATE_NOOP("Velumark", "%1 artwork"),
                                     QT_TRANSLATE_NOOP("Velumark", "%1 artworks"),
                                     QT_TRANSLATE_NOOP("Velumark", "%1 of %2 artwork"),
                                     QT_TRANSLATE_NOOP("Velumark", "%1 of %2 artworks")};
    static const CountTexts clients{
        QT_TRANSLATE_NOOP("Velumark", "%1 client"), QT_TRANSLATE_NOOP("Velumark", "%1 clients"),
        QT_TRANSLATE_NOOP("Velumark", "%1 of %2 client"), QT_TRANSLATE_NOOP("Velumark", "%1 of %2 clients")};
    static const CountTexts submissions{QT_TRANSLATE_NOOP("Velumark", "%1 submission"),
                                        QT_TRANSLATE_NOOP("Velumark", "%1 submissions"),
                                        QT_TRANSLATE_NOOP("Velumark", "%1 of %2 submission"),
                                        QT_TRANSLATE_NOOP("Velumark", "%1 of %2 submissions")};
    switch (list) {
    case StatusLine::ListKind::Artworks:
        return artworks;
    case StatusLine::ListKind::Clients:
        return clients;
    case StatusLine::ListKind::Submissions:
        break;
    }
    return submissions;
}

QLabel *addLabel(QStatusBar &bar, bool permanent)
{
    auto *label = new QLabel(&bar);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setContentsMargins(kLabelMargin, 0, kLabelMargin, 0);
    if (permanent)
        bar.addPermanentWidget(label);
    else
        bar.addWidget(label, 1);
    label->hide();
    return label;
}

void showText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

} // namespace

StatusLine::StatusLine(QStatusBar &bar)
    : QObject(&bar), m_counts(addLabel(bar, false)), m_notice(addLabel(bar, true)),
      m_overdue(addLabel(bar, true))
{
    m_counts->setObjectName(QStringLiteral("counts"));
    m_notice->setObjectName(QStringLiteral("editingNotice"));
    m_overdue->setObjectName(QStringLiteral("overdue"));
}

QString StatusLine::countsText(ListKind list, int shown, int total, bool searching)
{
    const CountTexts &texts = textsOf(list);
    const QLocale locale;
    if (!searching)
        return localized(total == 1 ? texts.one : texts.many).arg(locale.toString(total));
    return localized(total == 1 ? texts.oneOfOne : texts.someOfMany)
        .arg(locale.toString(shown), locale.toString(total));
}

void StatusLine::showCounts(ListKind list, int shown, int total, bool searching)
{
    showText(m_counts, countsText(list, shown, total, searching));
}

void StatusLine::showOverdue(quint64 count)
{
    const QString text = count == 0   ? QString()
                         : count == 1 ? localized("1 overdue submission")
                                      : localized("%1 overdue submissions").arg(QLocale().toString(count));
    showText(m_overdue, text);
}

void StatusLine::showEditingNotice(const QString &notice)
{
    showText(m_notice, notice);
}

QString StatusLine::counts() const
{
    return m_counts->text();
}

QString StatusLine::overdue() const
{
    return m_overdue->text();
}

QString StatusLine::editingNotice() const
{
    return m_notice->text();
}

} // namespace velumark::gui
