#pragma once
// How an operation that can fail reports it: it returns a Result, holding either its value or
// the text that tells the user why there is none. Nothing is thrown across the event loop.
//
//     Result<QByteArray> readJob(const QString &path);
//     if (auto job = readJob(path)) use(*job); else show(job.error());
//     Result<> save(...);               // no value: success or an error text
//     return Failure{tr("...")};         // converts to any Result

#include <QString>

#include <optional>
#include <utility>

struct Failure
{
    QString text; // for the user; never empty
};

template <typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value) : held(std::move(value)) {}
    Result(Failure failure) : errorText(std::move(failure.text)) {}

    bool ok() const { return held.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return errorText; }

    // Only on success.
    const T &value() const & { return *held; }
    T &value() & { return *held; }
    T &&value() && { return std::move(*held); }
    const T &operator*() const & { return *held; }
    T &operator*() & { return *held; }
    const T *operator->() const { return &*held; }
    T *operator->() { return &*held; }

private:
    std::optional<T> held;
    QString errorText;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : failed(true), errorText(std::move(failure.text)) {}

    bool ok() const { return !failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return errorText; }

private:
    bool failed = false;
    QString errorText;
};
