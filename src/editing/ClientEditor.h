#pragma once

#include "editing/RecordEditor.h"

#include <QDate>
#include <QStringList>
#include <QUrl>
#include <memory>

namespace velumark {
class Client;
}

namespace velumark::editing {

// What the client sheet shows, as shown (numbers as typed).
struct ClientValues
{
    QString company;
    int clientType = 0; // 0..7
    QString commission;
    QString payRate;
    bool deadlineOn = false;
    QDate deadline; // today while `deadlineOn` is off
    QString responseTime;
    int responseTimeUnits = 0; // 0 none, 1 day ... 4 year
    bool open = true;
    QString contact;
    QString address;
    QString web;
    QString email;
    QString phone;
    QString fax;
    QString notes;

    bool operator==(const ClientValues &) const = default;
};

// The field logic of the client sheet: the values of a stored or a new client, the response time
// unit words, the addresses behind the web and e-mail buttons, and the save.
class ClientEditor : public RecordEditor
{
    Q_OBJECT
public:
    static constexpr double kLargestCommission = 100.0;

    ClientEditor(VelumarkDatabase &document, Client &client, QObject *parent = nullptr);
    // A new client, added to the document on save.
    explicit ClientEditor(VelumarkDatabase &document, QObject *parent = nullptr);

    ClientValues &values() { return m_values; }
    const ClientValues &values() const { return m_values; }
    bool hasChanges() const { return m_values != m_loaded; }
    Client *client() const;

    // The unit choices, a blank first: singular words for a response time of exactly 1.
    QStringList responseTimeUnitNames() const;

    // What the web button opens: the text as typed when it begins with "http://" or "https://"
    // (in any letter case), else with "http://" in front. Empty (opens nothing) for an empty text
    // or one that is no valid address.
    static QUrl webAddress(const QString &text);
    // What the e-mail button opens: "mailto:" and the text; empty as above.
    static QUrl mailAddress(const QString &text);

    // A company, and numbers where numbers belong.
    bool canSave() const;
    // Writes the client (a commission above 100 is stored as 100; a new client is added to the
    // document) and re-files it. On failure the stored client stays as it was and the values
    // stay for another try.
    Result<Client *> save();

    // A new client, never stored, with the values as the sheet shows them (the commission as
    // typed, not capped) and the submissions of the edited client: what a printout shows.
    std::unique_ptr<Client> shownClient() const;

private:
    void load(const Client &client);
    void apply(Client &client) const;

    ClientValues m_values;
    ClientValues m_loaded;
};

} // namespace velumark::editing
