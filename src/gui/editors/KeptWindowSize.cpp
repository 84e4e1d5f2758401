#include "gui/editors/KeptWindowSize.h"

#include <QSettings>
#include <QWidget>

namespace velumark::gui {

void KeptWindowSize::restore(QWidget &window, const QSize &fallback) const
{
    const QSize kept = QSettings().value(m_key).toSize();
    if (kept.isValid())
        window.resize(kept.expandedTo(window.minimumSizeHint()));
    else if (fallback.isValid())
        window.resize(fallback);
}

void KeptWindowSize::remember(const QWidget &window) const
{
    // Without a native window it was never on screen: its size is only the default.
    if (!window.windowHandle())
        return;
    const QSize size = window.normalGeometry().size();
    if (!size.isEmpty())
        QSettings().setValue(m_key, size);
}

} // namespace velumark::gui
