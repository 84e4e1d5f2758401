#pragma once

#include <QSize>
#include <QString>
#include <utility>

class QWidget;

namespace velumark::gui {

// The size one kind of window was last left at, kept in the settings for the next one of its kind.
class KeptWindowSize
{
public:
    explicit KeptWindowSize(QString key) : m_key(std::move(key)) {}

    // Resizes the window to the kept size (never below what its contents need), or to `fallback`
    // while none is kept.
    void restore(QWidget &window, const QSize &fallback = {}) const;
    // Keeps the window's normal size however it goes (closed, or deleted with the window it was
    // opened over). A window never shown keeps nothing; a minimised or maximised one keeps the
    // size it is restored to.
    void remember(const QWidget &window) const;

private:
    QString m_key;
};

} // namespace velumark::gui
