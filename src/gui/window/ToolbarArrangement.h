#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace velumark::gui {

// Which items one kind of toolbar may show and in what order: the items allowed, the default
// arrangement, and the user's own kept in the settings. Every toolbar of the kind follows a new
// arrangement (changed()).
class ToolbarArrangement : public QObject
{
    Q_OBJECT
public:
    // The toolbar of the document windows, and that of the submission history windows.
    static ToolbarArrangement &documentToolbar();
    static ToolbarArrangement &historyToolbar();

    const QStringList &defaultItems() const { return m_defaultItems; }
    const QStringList &allowedItems() const { return m_allowedItems; }
    // The identifiers this toolbar can show, in their order: unknown ones and a second copy of
    // an item other than a space are left out.
    QStringList sanitized(const QStringList &identifiers) const;
    // The user's arrangement, or the default.
    QStringList saved() const;
    // Keeps the arrangement; every toolbar of the kind shows it.
    void save(const QStringList &identifiers);

signals:
    void changed();

private:
    ToolbarArrangement(QString settingsKey, QStringList defaultItems, QStringList allowedItems);

    QString m_settingsKey;
    QStringList m_defaultItems;
    QStringList m_allowedItems;
};

} // namespace velumark::gui
