#pragma once

#include <QGridLayout>
#include <QString>

class QLabel;
class QLayout;

namespace velumark::gui {

// The fields of a sheet in two columns of label and control; a control may span both. Each
// label names its control (buddy and accessible name), and the controls follow in the order
// they are added for the tab key.
class FieldGrid : public QGridLayout
{
public:
    explicit FieldGrid(QWidget *parent = nullptr);

    // A control over the whole width.
    QLabel *addWide(const QString &label, QWidget *control);
    QLabel *addWide(const QString &label, QLayout *controls, QWidget *named);
    // A control in the left (column 0) or the right (column 1) half of the current row.
    QLabel *addHalf(int column, const QString &label, QWidget *control);
    QLabel *addHalf(int column, const QString &label, QLayout *controls, QWidget *named);
    // Ends the current row.
    void nextRow() { ++m_row; }

    // A row of controls without margins.
    static QHBoxLayout *row(std::initializer_list<QWidget *> widgets, bool stretch = false);

private:
    QLabel *label(const QString &text, QWidget *named, int row, int column);

    int m_row = 0;
};

} // namespace velumark::gui
