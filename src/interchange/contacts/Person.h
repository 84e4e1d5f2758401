#pragma once

#include <QString>
#include <vector>

namespace velumark {

// One postal address of a contact.
struct PostalAddress
{
    QString street;
    QString city;
    QString state;
    QString zip;
    QString country;

    bool isEmpty() const
    {
        return street.isEmpty() && city.isEmpty() && state.isEmpty() && zip.isEmpty() && country.isEmpty();
    }
};

// One entry of a multi-value property: a label ("work", "home", a label of the user's own) and a value.
template <typename Value> struct LabeledValue
{
    QString label;
    Value value;
};

// A property a contact may hold several times, in the order of the card.
template <typename Value> using MultiValue = std::vector<LabeledValue<Value>>;

// The labels a contact's entries carry. Any other text is a label of the user's own.
namespace ContactLabel {
inline const QString work = QStringLiteral("work");
inline const QString home = QStringLiteral("home");
inline const QString main = QStringLiteral("main");
inline const QString iPhone = QStringLiteral("iPhone");
inline const QString mobile = QStringLiteral("mobile");
inline const QString pager = QStringLiteral("pager");
inline const QString homePage = QStringLiteral("home page");
inline const QString workFax = QStringLiteral("work fax");
inline const QString homeFax = QStringLiteral("home fax");
inline const QString other = QStringLiteral("other");
} // namespace ContactLabel

// The index of the first entry labelled `label`, or -1 when there is none.
template <typename Value> int matchMultiValue(const MultiValue<Value> &list, const QString &label)
{
    for (std::size_t index = 0; index < list.size(); ++index) {
        if (list[index].label == label)
            return static_cast<int>(index);
    }
    return -1;
}

// One person of the user's contacts, as a contact card describes it.
class Person
{
public:
    const QString &firstName() const { return m_firstName; }
    void setFirstName(const QString &name) { m_firstName = name; }
    const QString &middleName() const { return m_middleName; }
    void setMiddleName(const QString &name) { m_middleName = name; }
    const QString &lastName() const { return m_lastName; }
    void setLastName(const QString &name) { m_lastName = name; }
    // The name as the card shows it, for cards that give no name in parts.
    const QString &formattedName() const { return m_formattedName; }
    void setFormattedName(const QString &name) { m_formattedName = name; }
    const QString &organization() const { return m_organization; }
    void setOrganization(const QString &organization) { m_organization = organization; }
    const QString &note() const { return m_note; }
    void setNote(const QString &note) { m_note = note; }

    const MultiValue<PostalAddress> &addresses() const { return m_addresses; }
    void setAddresses(MultiValue<PostalAddress> addresses) { m_addresses = std::move(addresses); }
    const MultiValue<QString> &urls() const { return m_urls; }
    void setUrls(MultiValue<QString> urls) { m_urls = std::move(urls); }
    const MultiValue<QString> &emails() const { return m_emails; }
    void setEmails(MultiValue<QString> emails) { m_emails = std::move(emails); }
    const MultiValue<QString> &phones() const { return m_phones; }
    void setPhones(MultiValue<QString> phones) { m_phones = std::move(phones); }

    // Whether the person holds anything a client could be made of.
    bool isEmpty() const;

private:
    QString m_firstName;
    QString m_middleName;
    QString m_lastName;
    QString m_formattedName;
    QString m_organization;
    QString m_note;
    MultiValue<PostalAddress> m_addresses;
    MultiValue<QString> m_urls;
    MultiValue<QString> m_emails;
    MultiValue<QString> m_phones;
};

} // namespace velumark
