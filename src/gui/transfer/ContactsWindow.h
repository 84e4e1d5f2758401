#pragma once

#include "interchange/contacts/Person.h"

#include <QDialog>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {

class DocumentWindow;

// The people of a vCard file or folder (the one chosen last is remembered), searchable, from
// which the selected ones become clients of the catalogue.
class ContactsWindow : public QDialog
{
    Q_OBJECT
public:
    // The catalogue window's contacts window, made or brought to the front.
    static ContactsWindow *present(DocumentWindow &window);

    // Shows the people of a vCard file or folder and remembers it; false (with an alert) when
    // nothing could be read from it.
    bool showSource(const QString &fileOrFolder);
    void chooseFile();
    void chooseFolder();
    // Every person of the source whose name, organization or e-mail contains the text.
    void handleSearch(const QString &text);
    void handleAddButton();

    int visiblePeople() const;

private:
    ContactsWindow(VelumarkDatabase &document, QWidget *parent);
    void fillTable();
    void updateAddButton();

    VelumarkDatabase &m_document;
    std::vector<Person> m_people;
    QLabel *m_source;
    QLineEdit *m_search;
    QTableWidget *m_table;
    QPushButton *m_addButton;
};

} // namespace velumark::gui
