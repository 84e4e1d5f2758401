#pragma once

#include "ShellJourney.h"

#include <QLineEdit>
#include <QString>

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {
class RecordSheet;
}

namespace velumark::test {

// A journey through the editor sheets: the catalogue "Studio" open in its window, with the
// artworks Dunes and Harbour, the clients North (answers in 2 weeks) and South, and one
// submission of Dunes to North sent on 1 March 2024. "Now" is 15 May 2024.
class SheetJourney : public ShellJourney
{
protected:
    void SetUp() override;
    void TearDown() override;

    VelumarkDatabase &document();
    gui::DocumentWindow *window() const { return m_window; }
    const QString &package() const { return m_package; }
    // One value of the stored row, read from the file by a connection of its own.
    QString stored(const QString &sql) const;

    template <typename Control> static Control *control(QWidget *sheet, const char *name)
    {
        auto *found = sheet->findChild<Control *>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    // Replaces the text of a field as a user does: select all, type.
    static void typeInto(QWidget *field, const QString &text);
    // Presses OK (or Save) of a sheet.
    static void pressOk(gui::RecordSheet *sheet);

private:
    QString m_package;
    gui::DocumentWindow *m_window = nullptr;
};

} // namespace velumark::test
