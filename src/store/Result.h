#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>

namespace velumark {

// Why an operation failed, in plain words for the user. Converts to any Result, so a function
// can `return Failure{message};` whatever it returns on success.
struct Failure
{
    QString message;
};

// What the document and interchange layers return: a value (or plain success for Result<void>)
// or a failure with its message. Records keep their status codes and DatabaseError; everything
// above them reports through this one type.
template <typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_message(std::move(failure.message)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    const QString &message() const { return m_message; }

    T &value() &
    {
        Q_ASSERT(ok());
        return *m_value;
    }
    const T &value() const &
    {
        Q_ASSERT(ok());
        return *m_value;
    }
    T &&value() &&
    {
        Q_ASSERT(ok());
        return std::move(*m_value);
    }
    // The value, or the fallback after a failure.
    T valueOr(T fallback) const & { return ok() ? *m_value : std::move(fallback); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

private:
    std::optional<T> m_value;
    QString m_message;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : m_failed(true), m_message(std::move(failure.message)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    const QString &message() const { return m_message; }

private:
    bool m_failed = false;
    QString m_message;
};

} // namespace velumark
