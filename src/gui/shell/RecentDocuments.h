#pragma once

#include <QObject>
#include <QStringList>

namespace velumark::gui {

// The catalogues opened last, newest first, kept in the application's settings.
class RecentDocuments : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaximum = 10;

    using QObject::QObject;

    QStringList paths() const;
    // Puts the package first (once).
    void add(const QString &packagePath);
    void remove(const QString &packagePath);
    void clear();

signals:
    void changed();

private:
    void store(const QStringList &paths);
};

} // namespace velumark::gui
