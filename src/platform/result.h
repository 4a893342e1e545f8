#pragma once
// The one way a failure travels between modules: a value or an error text, never an
// exception. An error carries its text in both interface languages where it has them, so
// whoever shows it picks the language at that moment.

#include <string>
#include <utility>
#include <variant>

#include "platform/bilingual.h"

namespace dravik {

struct Error {
  Error() = default;
  // A text that reads the same in both languages: an English-only detail, or a text the
  // caller already built in the interface language it chose.
  explicit Error(std::string text) : message(std::move(text)) {}
  explicit Error(const char* text) : message(text) {}
  explicit Error(Bilingual text)
      : message(std::move(text.english)), chinese(std::move(text.chinese)) {}

  const std::string& In(bool isChinese) const {
    return isChinese && !chinese.empty() ? chinese : message;
  }
  Bilingual Text() const { return {In(true), message}; }

  std::string message;  // English, or the one text of a single-language error
  std::string chinese;  // empty when `message` serves both languages
};

// `prefix` and the inner error's text, in each language.
inline Error Explained(const Bilingual& prefix, const Error& inner) {
  return Error{Bilingual{prefix.chinese + inner.In(true), prefix.english + inner.message}};
}

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
  const std::string& message(bool isChinese) const { return error().In(isChinese); }

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
  const std::string& message(bool isChinese) const { return error_.In(isChinese); }

 private:
  Error error_;
  bool failed_ = false;
};

}  // namespace dravik
