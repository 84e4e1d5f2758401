#pragma once

#include <QPoint>
#include <Qt>

class QMimeData;
class QWidget;

namespace velumark::test {

// Drags `data` into `target` at `at` as a copy and, when the target takes the drag, drops it
// there: the action the drop was taken with, Qt::IgnoreAction when the drag or the drop was refused.
Qt::DropAction dropOnto(QWidget *target, QPoint at, const QMimeData &data);

} // namespace velumark::test
