#pragma once

#include "store/DatabaseError.h"

#include <QString>
#include <exception>
#include <utility>

class QWidget;

namespace velumark::gui {

// Shows a command's failure to the user; the document stays usable.
void showCommandFailure(QWidget *parent, const QString &reason);

// The boundary every command crosses on its way to the core: a DatabaseError or any other
// exception becomes an alert and never escapes a slot or an event handler.
template <typename Command> void runCommand(QWidget *parent, Command &&command) noexcept
{
    try {
        std::forward<Command>(command)();
    } catch (const DatabaseError &failure) {
        showCommandFailure(parent, failure.describe());
    } catch (const std::exception &failure) {
        showCommandFailure(parent, QString::fromLocal8Bit(failure.what()));
    }
}

} // namespace velumark::gui
