#pragma once

#include "gui/shell/UserInteraction.h"

#include <QStringList>
#include <QUrl>
#include <deque>
#include <vector>

namespace velumark::test {

// Stands in for the user while it lives: records every alert and question, answers questions
// with prepared button texts and file choosers with prepared paths.
class ScriptedInteraction : public gui::UserInteraction
{
public:
    ScriptedInteraction();
    ~ScriptedInteraction() override;

    void showAlert(QWidget *parent, const Alert &alert) override;
    int ask(QWidget *parent, const Question &question) override;
    QString choosePathToOpen(QWidget *parent, const PathChoice &choice) override;
    QString choosePathToSave(QWidget *parent, const PathChoice &choice) override;
    QStringList choosePathsToOpen(QWidget *parent, const PathChoice &choice) override;
    bool openAddress(const QUrl &address) override;
    void beep() override { ++beeps; }

    // The next answers, by button text; without one, a question is answered with `fallback`
    // when it offers that button, else with the button that rejects.
    std::deque<QString> answers;
    QString fallback;
    std::deque<QString> paths;
    // The answers of the choosers of several files.
    std::deque<QStringList> pathLists;

    std::vector<Alert> alerts;
    std::vector<Question> questions;
    std::vector<PathChoice> choices;
    std::vector<QUrl> openedAddresses;
    int beeps = 0;

    // Every alert's text and detail, for failure messages.
    QString transcript() const;

private:
    gui::UserInteraction *m_previous;
};

} // namespace velumark::test
