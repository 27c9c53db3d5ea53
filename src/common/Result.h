#pragma once

#include <string>
#include <utility>
#include <variant>

namespace bm {

// Errors are values: a message a user can read, naming the file, line or field. A run the user
// stopped (Escape, Ctrl+C) is an error of its own kind, with no message to show.
struct Error {
    std::string message;
    bool stopped = false;

    static Error Stopped() { return Error{{}, true}; }
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error error) : v_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(v_); }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<T>(v_); }
    const T& value() const& { return std::get<T>(v_); }
    T&& value() && { return std::get<T>(std::move(v_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const { return std::get<Error>(v_); }

private:
    std::variant<T, Error> v_;
};

// Success without a value.
struct Ok {};
using Status = Result<Ok>;

}  // namespace bm
