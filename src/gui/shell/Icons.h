#pragma once

#include <QIcon>
#include <QString>

namespace velumark::gui {

// Icons of the application: the desktop theme's where it has one, otherwise our own SVG drawings
// from the resources, drawn in the palette's text colour (so they stay legible in a dark theme)
// and sharp at any scale.
class Icons
{
public:
    // The theme icon named themeName (freedesktop naming), falling back to our drawing ownName.
    static QIcon themed(const QString &themeName, const QString &ownName);
    // Our drawing ":/velumark/icons/<name>.svg".
    static QIcon own(const QString &name);
    // The application's icon in full colour.
    static QIcon application();
};

} // namespace velumark::gui
