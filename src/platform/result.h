#pragma once
// The one way a failure travels between modules: a value or an error text, never an
// exception. The text is ready to show (already in the interface language where the
// caller chose one).

#include <string>
#include <utility>
#include <variant>

namespace dravik {

struct Error {
  std::string message;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Error error) : state_(std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const { return std::get<1>(state_); }
  const std::string& message() const { return error().message; }

 private:
  std::variant<T, Error> state_;
};

// A result that carries no value: success or an error text.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)), failed_(true) {}
  static Status Ok() { return {}; }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return error_; }
  const std::string& message() const { return error_.message; }

 private:
  Error error_;
  bool failed_ = false;
};

}  // namespace dravik
