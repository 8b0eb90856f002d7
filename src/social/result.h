#pragma once
// The outcome of a backend call: a value or a SocialError.
#include <optional>
#include <utility>
#include <variant>

#include "social/social_error.h"

namespace pawlane {

template <class T>
class Result {
public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Result(SocialError error) : v_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(v_); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const SocialError& error() const { return std::get<1>(v_); }

private:
    std::variant<T, SocialError> v_;
};

template <>
class Result<void> {
public:
    Result() = default;
    Result(SocialError error) : error_(std::move(error)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    const SocialError& error() const { return *error_; }

private:
    std::optional<SocialError> error_;
};

using Status = Result<void>;

}  // namespace pawlane
