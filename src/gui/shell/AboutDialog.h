#pragma once

#include <QDialog>

namespace velumark::gui {

// The application's icon, name, version and what it is for.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};

} // namespace velumark::gui
