#pragma once

#include <QString>

namespace velumark::gui {

// The folder each data window last chose from, so that the next choice starts there.
namespace TransferFolders {
// The folder last remembered under the key, else the user's documents folder.
QString folder(const QString &key);
void remember(const QString &key, const QString &folder);
} // namespace TransferFolders

} // namespace velumark::gui
