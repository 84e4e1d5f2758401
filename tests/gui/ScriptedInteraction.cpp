#include "ScriptedInteraction.h"

namespace velumark::test {

ScriptedInteraction::ScriptedInteraction() : m_previous(UserInteraction::setInstance(this)) {}

ScriptedInteraction::~ScriptedInteraction()
{
    UserInteraction::setInstance(m_previous);
}

void ScriptedInteraction::showAlert(QWidget *, const Alert &alert)
{
    alerts.push_back(alert);
}

int ScriptedInteraction::ask(QWidget *, const Question &question)
{
    questions.push_back(question);
    QString wanted = fallback;
    if (!answers.empty()) {
        wanted = answers.front();
        answers.pop_front();
    }
    int reject = -1;
    for (size_t i = 0; i < question.buttons.size(); ++i) {
        if (question.buttons[i].text == wanted)
            return int(i);
        if (question.buttons[i].role == ButtonRole::Reject)
            reject = int(i);
    }
    return reject;
}

QString ScriptedInteraction::choosePathToOpen(QWidget *, const PathChoice &choice)
{
    choices.push_back(choice);
    if (paths.empty())
        return {};
    const QString path = paths.front();
    paths.pop_front();
    return path;
}

QString ScriptedInteraction::choosePathToSave(QWidget *parent, const PathChoice &choice)
{
    return choosePathToOpen(parent, choice);
}

QStringList ScriptedInteraction::choosePathsToOpen(QWidget *, const PathChoice &choice)
{
    choices.push_back(choice);
    if (pathLists.empty())
        return {};
    const QStringList chosen = pathLists.front();
    pathLists.pop_front();
    return chosen;
}

bool ScriptedInteraction::openAddress(const QUrl &address)
{
    openedAddresses.push_back(address);
    return true;
}

QString ScriptedInteraction::transcript() const
{
    QStringList lines;
    for (const Alert &alert : alerts)
        lines.append(QStringLiteral("alert: %1 | %2").arg(alert.text, alert.detail));
    for (const Question &question : questions)
        lines.append(QStringLiteral("question: %1 | %2").arg(question.text, question.detail));
    return lines.join(QLatin1Char('\n'));
}

} // namespace velumark::test
