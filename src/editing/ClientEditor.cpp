#include "editing/ClientEditor.h"

#include "document/VelumarkDatabase.h"
#include "editing/DecimalFormatter.h"
#include "editing/EditorDates.h"
#include "store/VelumarkStrings.h"

#include <algorithm>

namespace velumark::editing {

namespace {

const DecimalFormatter::Style kMoney = DecimalFormatter::Style::money();
const DecimalFormatter::Style kResponseTime = DecimalFormatter::Style::responseTime();

// A stored address the user typed is checked the way a browser would be handed it.
QUrl checkedAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

} // namespace

ClientEditor::ClientEditor(VelumarkDatabase &document, Client &client, QObject *parent)
    : RecordEditor(document, &client, DocumentNotifier::Kind::Client, parent)
{
    load(client);
}

ClientEditor::ClientEditor(VelumarkDatabase &document, QObject *parent)
    : RecordEditor(document, nullptr, DocumentNotifier::Kind::Client, parent)
{
    load(Client());
}

Client *ClientEditor::client() const
{
    return static_cast<Client *>(record());
}

void ClientEditor::load(const Client &client)
{
    m_values.company = client.company();
    const qint64 type = client.clientType();
    m_values.clientType = type >= 0 && type <= 7 ? int(type) : 0;
    m_values.commission = DecimalFormatter::text(client.commission(), kMoney);
    m_values.payRate = DecimalFormatter::text(client.payRate(), kMoney);
    m_values.deadlineOn = client.deadline().isValid();
    m_values.deadline = EditorDates::shownDay(client.deadline());
    m_values.responseTime = DecimalFormatter::text(double(client.responseTime()), kResponseTime);
    const qint64 units = client.responseTimeUnits();
    m_values.responseTimeUnits = units >= 1 && units <= 4 ? int(units) : 0;
    m_values.open = client.status();
    m_values.contact = client.contact();
    m_values.address = client.address();
    m_values.web = client.web();
    m_values.email = client.email();
    m_values.phone = client.phone();
    m_values.fax = client.fax();
    m_values.notes = client.notes();
    m_loaded = m_values;
}

QStringList ClientEditor::responseTimeUnitNames() const
{
    return DecimalFormatter::number(m_values.responseTime, kResponseTime) == 1.0
               ? VelumarkStrings::responseTimeStringsWithInvalid()
               : VelumarkStrings::pluralResponseTimeStringsWithInvalid();
}

QUrl ClientEditor::webAddress(const QString &text)
{
    if (text.isEmpty())
        return {};
    // Only web addresses are opened as typed: any other scheme gets the web prefix, so a text
    // from an import never starts a program or opens a local file.
    const bool web = text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                     text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    const QUrl url = checkedAddress(web ? text : QStringLiteral("http://") + text);
    return url.host().isEmpty() ? QUrl() : url;
}

QUrl ClientEditor::mailAddress(const QString &text)
{
    return text.isEmpty() ? QUrl() : checkedAddress(QStringLiteral("mailto:") + text);
}

bool ClientEditor::canSave() const
{
    return !m_values.company.isEmpty() && DecimalFormatter::number(m_values.commission, kMoney) &&
           DecimalFormatter::number(m_values.payRate, kMoney) &&
           DecimalFormatter::number(m_values.responseTime, kResponseTime);
}

void ClientEditor::apply(Client &client) const
{
    client.setCompany(m_values.company);
    client.setClientType(m_values.clientType);
    const double commission = DecimalFormatter::number(m_values.commission, kMoney).value_or(0);
    client.setCommission(std::min(commission, kLargestCommission));
    client.setPayRate(DecimalFormatter::number(m_values.payRate, kMoney).value_or(0));
    client.setDeadline(m_values.deadlineOn ? EditorDates::storedDate(m_values.deadline) : QDateTime());
    client.setResponseTime(
        qint64(DecimalFormatter::number(m_values.responseTime, kResponseTime).value_or(0)));
    client.setResponseTimeUnits(m_values.responseTimeUnits);
    client.setStatus(m_values.open);
    client.setContact(m_values.contact);
    client.setAddress(m_values.address);
    client.setWeb(m_values.web);
    client.setEmail(m_values.email);
    client.setPhone(m_values.phone);
    client.setFax(m_values.fax);
    client.setNotes(m_values.notes);
}

std::unique_ptr<Client> ClientEditor::shownClient() const
{
    auto shown = std::make_unique<Client>();
    if (const Client *edited = client())
        for (Submission *submission : edited->submissions())
            shown->appendSubmission(submission);
    apply(*shown);
    shown->setCommission(DecimalFormatter::number(m_values.commission, kMoney).value_or(0));
    return shown;
}

Result<Client *> ClientEditor::save()
{
    if (Result<> allowed = checkSave(canSave()); !allowed)
        return Failure{allowed.message()};
    if (isNew()) {
        auto created = std::make_unique<Client>();
        apply(*created);
        Client *added = nullptr;
        if (Result<> stored = attempt([&] { added = document().addClient(std::move(created)); }); !stored)
            return Failure{stored.message()};
        adopt(added);
    } else {
        apply(*client());
        if (Result<> stored = store(*client()); !stored)
            return Failure{stored.message()};
        // Keeps the clients offered for submissions in step with the status and re-sorts.
        document().updateClient(client());
    }
    Client *saved = client();
    finish();
    return saved;
}

} // namespace velumark::editing
