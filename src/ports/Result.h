#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>

namespace mb {

/// Why a reader or writer gave nothing: where and what, each part kept apart so a caller
/// can name the file its own way (a dialog, a terminal line, a reply to another process).
struct Failure {
    /// The file as the caller named it; "" for text in memory.
    std::string file;
    /// Where in it: "row 2", "line 3, column 7", "key categories[0].name"; "" for the
    /// file as a whole.
    std::string place;
    /// What is wrong there, fit to follow "Cannot write FILE: " or a place ("a quoted field
    /// is never closed").
    std::string what;

    /// "Row 2: a quoted field is never closed.", or "What." without a place.
    std::string sentence() const {
        std::string s = place.empty() ? what : place + ": " + what;
        if (!s.empty() && s.front() >= 'a' && s.front() <= 'z')
            s.front() = static_cast<char>(s.front() - 'a' + 'A');
        return s.ends_with('.') ? s : s + ".";
    }
};

/// What every reader and writer of a format gives: what it read or made, or the Failure
/// that stopped it.
template <class T> class Result {
public:
    /// What was read or made; anything a T is made from (a pointer to a derived class).
    template <class U = T, std::enable_if_t<std::is_constructible_v<T, U&&> &&
                                                !std::is_same_v<std::remove_cvref_t<U>, Failure>,
                                            int> = 0>
    Result(U&& value) : value_(std::in_place, std::forward<U>(value)) {}
    Result(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    /// Only when ok().
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

    /// Only when not ok().
    const Failure& failure() const { return failure_; }

private:
    std::optional<T> value_;
    Failure failure_;
};

} // namespace mb
