#include "gui/shell/AboutDialog.h"

#include "gui/shell/Icons.h"
#include "store/Localization.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {
constexpr int kIconSize = 96;
}

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(localized("About Velumark"));

    auto *icon = new QLabel;
    icon->setPixmap(Icons::application().pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignTop);

    auto *name = new QLabel(QStringLiteral("Velumark"));
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    name->setFont(nameFont);

    auto *version = new QLabel(localized("Version %1").arg(QCoreApplication::applicationVersion()));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *description = new QLabel(localized(
        "The catalogue for working artists: artworks with their photos, the galleries, collectors and "
        "shows you work with, and every submission, with overdue responses and near deadlines pointed "
        "out."));
    description->setWordWrap(true);
    description->setMinimumWidth(320);
    auto *toolkit = new QLabel(localized("Built with Qt %1.").arg(QString::fromLatin1(qVersion())));
    toolkit->setForegroundRole(QPalette::PlaceholderText);

    auto *text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addSpacing(8);
    text->addWidget(toolkit);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace velumark::gui
