#include "gui/shell/DesktopInteraction.h"

#include "editing/CataloguePath.h"
#include "store/Localization.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace velumark::gui {

namespace {

QMessageBox::Icon iconFor(UserInteraction::Severity severity)
{
    switch (severity) {
    case UserInteraction::Severity::Information:
        return QMessageBox::Information;
    case UserInteraction::Severity::Warning:
        return QMessageBox::Warning;
    case UserInteraction::Severity::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleFor(UserInteraction::ButtonRole role)
{
    switch (role) {
    case UserInteraction::ButtonRole::Accept:
        return QMessageBox::AcceptRole;
    case UserInteraction::ButtonRole::Destructive:
        return QMessageBox::DestructiveRole;
    case UserInteraction::ButtonRole::Reject:
        return QMessageBox::RejectRole;
    }
    return QMessageBox::RejectRole;
}

void fillMessageBox(QMessageBox &box, const QString &title, const QString &text, const QString &detail,
                    UserInteraction::Severity severity)
{
    box.setWindowTitle(title);
    box.setText(text);
    box.setInformativeText(detail);
    box.setIcon(iconFor(severity));
    box.setWindowModality(box.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
}

// The file dialog of the toolkit, which tells when the user enters a folder: a catalogue package
// is a folder, and entering one means choosing it.
QString runFileDialog(QWidget *parent, const UserInteraction::PathChoice &choice,
                      QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, choice.title, choice.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (choice.foldersOnly) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setLabelText(QFileDialog::Accept, localized("Choose Folder"));
    } else {
        dialog.setNameFilters(choice.filters);
    }
    // Replacing is asked by the caller, which knows what may be replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (choice.packagesAreFiles)
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!choice.proposedName.isEmpty())
        dialog.selectFile(choice.proposedName);
    QString enteredPackage;
    if (choice.packagesAreFiles) {
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [&](const QString &folder) {
            if (!editing::CataloguePath::isPackage(folder))
                return;
            enteredPackage = folder;
            QDialog &asDialog = dialog;
            QMetaObject::invokeMethod(
                &dialog, [&asDialog] { asDialog.done(QDialog::Accepted); }, Qt::QueuedConnection);
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (!enteredPackage.isEmpty())
        return enteredPackage;
    return dialog.selectedFiles().value(0);
}

} // namespace

void DesktopInteraction::showAlert(QWidget *parent, const Alert &alert)
{
    QMessageBox box(parent);
    fillMessageBox(box, alert.title, alert.text, alert.detail, alert.severity);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

int DesktopInteraction::ask(QWidget *parent, const Question &question)
{
    QMessageBox box(parent);
    fillMessageBox(box, question.title, question.text, question.detail, question.severity);
    std::vector<QPushButton *> buttons;
    for (const Button &button : question.buttons)
        buttons.push_back(box.addButton(button.text, roleFor(button.role)));
    if (question.defaultButton >= 0 && size_t(question.defaultButton) < buttons.size())
        box.setDefaultButton(buttons[size_t(question.defaultButton)]);
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return int(i);
    }
    // Dismissed: the answer of the button that rejects.
    for (size_t i = 0; i < question.buttons.size(); ++i) {
        if (question.buttons[i].role == ButtonRole::Reject)
            return int(i);
    }
    return -1;
}

QString DesktopInteraction::choosePathToOpen(QWidget *parent, const PathChoice &choice)
{
    return runFileDialog(parent, choice, QFileDialog::AcceptOpen);
}

QString DesktopInteraction::choosePathToSave(QWidget *parent, const PathChoice &choice)
{
    return runFileDialog(parent, choice, QFileDialog::AcceptSave);
}

QStringList DesktopInteraction::choosePathsToOpen(QWidget *parent, const PathChoice &choice)
{
    QFileDialog dialog(parent, choice.title, choice.folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(choice.filters);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

bool DesktopInteraction::openAddress(const QUrl &address)
{
    return QDesktopServices::openUrl(address);
}

void DesktopInteraction::beep()
{
    QApplication::beep();
}

} // namespace velumark::gui
