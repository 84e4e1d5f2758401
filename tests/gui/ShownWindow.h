#pragma once

#include <QApplication>
#include <QWidget>

namespace velumark::test {

// The visible top-level window of that kind (a dialog, a menu), or null: closed ones may linger
// until they are deleted.
template <typename Shown> Shown *shownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *shown = qobject_cast<Shown *>(widget); shown && shown->isVisible())
            return shown;
    }
    return nullptr;
}

} // namespace velumark::test
