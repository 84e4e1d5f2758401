#include "gui/transfer/ContactsWindow.h"

#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/UserInteraction.h"
#include "gui/transfer/TransferFolders.h"
#include "gui/window/DocumentWindow.h"
#include "interchange/contacts/ContactsListing.h"
#include "interchange/contacts/DocumentContacts.h"
#include "store/Localization.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velumark::gui {

namespace {

const QString kSourceKey = QStringLiteral("Contacts/source");
const QString kFolderKey = QStringLiteral("contacts");

QString nameOf(const Person &person)
{
    const QStringList parts = QStringList{person.firstName(), person.middleName(), person.lastName()}.filter(
        QRegularExpression(QStringLiteral("\\S")));
    return parts.isEmpty() ? person.formattedName() : parts.join(QLatin1Char(' '));
}

QString emailOf(const Person &person)
{
    return person.emails().empty() ? QString() : person.emails().front().value;
}

} // namespace

ContactsWindow *ContactsWindow::present(DocumentWindow &window)
{
    auto *contacts = window.findChild<ContactsWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!contacts) {
        contacts = new ContactsWindow(window.document().database(), &window);
        const QString remembered = QSettings().value(kSourceKey).toString();
        if (!remembered.isEmpty())
            contacts->showSource(remembered);
    }
    contacts->open();
    contacts->raise();
    return contacts;
}

ContactsWindow::ContactsWindow(VelumarkDatabase &document, QWidget *parent)
    : QDialog(parent), m_document(document), m_source(new QLabel(this)), m_search(new QLineEdit(this)),
      m_table(new QTableWidget(0, 3, this)), m_addButton(new QPushButton(localized("Add Client"), this))
{
    setWindowTitle(localized("Address Book"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    m_source->setText(localized("Choose a vCard file or a folder of vCard files."));
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *fileButton = new QPushButton(localized("Choose File..."), this);
    auto *folderButton = new QPushButton(localized("Choose Folder..."), this);
    connect(fileButton, &QPushButton::clicked, this, &ContactsWindow::chooseFile);
    connect(folderButton, &QPushButton::clicked, this, &ContactsWindow::chooseFolder);
    auto *sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_source, 1);
    sourceRow->addWidget(fileButton);
    sourceRow->addWidget(folderButton);

    m_search->setPlaceholderText(localized("Search"));
    m_search->setClearButtonEnabled(true);
    connect(m_search, &QLineEdit::textChanged, this, &ContactsWindow::handleSearch);

    m_table->setHorizontalHeaderLabels({localized("Name"), localized("Organization"), localized("Email")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(false);
    m_table->setAlternatingRowColors(true);
    m_table->setMinimumSize(560, 320);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ContactsWindow::updateAddButton);

    m_addButton->setDefault(true);
    connect(m_addButton, &QPushButton::clicked, this, &ContactsWindow::handleAddButton);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Close)->setText(localized("Close"));
    buttons->addButton(m_addButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sourceRow);
    layout->addWidget(m_search);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    updateAddButton();
}

bool ContactsWindow::showSource(const QString &fileOrFolder)
{
    Result<std::vector<Person>> people = listPeople(fileOrFolder);
    if (!people) {
        UserInteraction::instance().showAlert(
            this,
            {localized("WARNING"),
             localized("Error reading contacts!\n\nPlease check that the vCard file or folder exists and "
                       "that Velumark may read it."),
             people.message()});
        return false;
    }
    m_people = std::move(people).value();
    QSettings().setValue(kSourceKey, fileOrFolder);
    m_source->setText(QDir::toNativeSeparators(fileOrFolder));
    fillTable();
    return true;
}

void ContactsWindow::chooseFile()
{
    const QString file =
        UserInteraction::instance().choosePathToOpen(this, {localized("Choose vCard File"),
                                                            TransferFolders::folder(kFolderKey),
                                                            {},
                                                            {localized("vCard Files (*.vcf *.vcard)")}});
    if (file.isEmpty())
        return;
    TransferFolders::remember(kFolderKey, QFileInfo(file).absolutePath());
    showSource(file);
}

void ContactsWindow::chooseFolder()
{
    UserInteraction::PathChoice choice{
        localized("Choose Folder"), TransferFolders::folder(kFolderKey), {}, {}};
    choice.foldersOnly = true;
    const QString folder = UserInteraction::instance().choosePathToOpen(this, choice);
    if (folder.isEmpty())
        return;
    TransferFolders::remember(kFolderKey, folder);
    showSource(folder);
}

void ContactsWindow::fillTable()
{
    m_table->clearContents();
    m_table->setRowCount(int(m_people.size()));
    for (int row = 0; row < int(m_people.size()); ++row) {
        const Person &person = m_people[size_t(row)];
        m_table->setItem(row, 0, new QTableWidgetItem(nameOf(person)));
        m_table->setItem(row, 1, new QTableWidgetItem(person.organization()));
        m_table->setItem(row, 2, new QTableWidgetItem(emailOf(person)));
    }
    m_table->resizeColumnsToContents();
    for (int column : {0, 1})
        m_table->setColumnWidth(column, std::max(m_table->columnWidth(column), 160));
    handleSearch(m_search->text());
}

void ContactsWindow::handleSearch(const QString &text)
{
    const QString needle = text.trimmed();
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const Person &person = m_people[size_t(row)];
        const bool shown = needle.isEmpty() || nameOf(person).contains(needle, Qt::CaseInsensitive) ||
                           person.organization().contains(needle, Qt::CaseInsensitive) ||
                           emailOf(person).contains(needle, Qt::CaseInsensitive);
        m_table->setRowHidden(row, !shown);
    }
    // What the search hides is not added.
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows()) {
        if (m_table->isRowHidden(index.row()))
            m_table->selectionModel()->select(index,
                                              QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
}

int ContactsWindow::visiblePeople() const
{
    int shown = 0;
    for (int row = 0; row < m_table->rowCount(); ++row)
        shown += m_table->isRowHidden(row) ? 0 : 1;
    return shown;
}

void ContactsWindow::updateAddButton()
{
    m_addButton->setEnabled(m_table->selectionModel()->hasSelection());
}

void ContactsWindow::handleAddButton()
{
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    bool anyAdded = false;
    bool failed = true;
    runCommand(this, [&] {
        for (const QModelIndex &index : rows)
            anyAdded |= addClientWithPerson(m_document, &m_people[size_t(index.row())]);
        failed = false;
    });
    m_table->clearSelection();
    if (failed)
        return; // the boundary has shown why
    UserInteraction &user = UserInteraction::instance();
    if (anyAdded)
        user.showAlert(this, {localized("Added Contacts"),
                              localized("Contacts have been added to the Client list!"), QString(),
                              UserInteraction::Severity::Information});
    else
        user.showAlert(this, {localized("WARNING"),
                              localized("A problem occurred while adding contacts to the Client list."),
                              QString()});
}

} // namespace velumark::gui
