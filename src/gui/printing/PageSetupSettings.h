#pragma once

#include <QPageLayout>

class QSettings;

namespace velumark::gui {

// The page setup of one catalogue (paper, orientation, margins), kept in the catalogue's
// settings group. Values that do not make a usable page read as the default page.
class PageSetupSettings
{
public:
    static QPageLayout load(QSettings &settings);
    static void save(QSettings &settings, const QPageLayout &layout);
};

} // namespace velumark::gui
