#pragma once

#include "store/Record.h"

namespace velumark {

// A record that is only a name, loaded at construction (artists and mediums).
class NamedRecord : public Record
{
public:
    const QString &name() const { return m_name; }
    void setName(const QString &name) { assign(m_name, name); }

protected:
    NamedRecord() = default;

    // The localized name of a record whose row is missing.
    virtual QString fallbackName() const = 0;

    void readEager(const SqliteStatement &row) override { m_name = row.columnText(0); }
    void applyEagerFallbacks() override { m_name = fallbackName(); }
    void bindInsert(SqliteStatement &statement) const override { statement.bindText(1, m_name); }
    int bindUpdate(SqliteStatement &statement) const override
    {
        statement.bindText(1, m_name);
        return 1;
    }

private:
    QString m_name;
};

} // namespace velumark
