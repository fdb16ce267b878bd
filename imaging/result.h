#pragma once
// Failures are values: a decoder returns its picture or the reason it has none.

#include <string_view>
#include <utility>
#include <variant>

namespace pictorin {

// Why a decode yielded no picture. One flat set for every format, so that
// pictorin-cli can print the reason.
enum class Failure {
  kEmpty,                // no bytes at all
  kUnknownFormat,        // the first bytes name no format this decoder takes
  kTruncated,            // the data end before the picture does
  kBadHeader,            // a header field is out of range or inconsistent
  kUnsupportedCompression,
  kUnsupportedBitDepth,  // bits per pixel or plane count not handled
  kTooLarge,             // the rasters would exceed the decode budget
  kCorruptData,          // the compressed image data are damaged
  kNoImage,              // a well-formed file that holds no image
  kOutOfMemory,
};

// A short English phrase for the failure, for messages.
std::string_view FailureText(Failure failure);

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}            // NOLINT: implicit by design
  Result(Failure failure) : state_(failure) {}             // NOLINT: implicit by design

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  Failure failure() const { return std::get<1>(state_); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

 private:
  std::variant<T, Failure> state_;
};

}  // namespace pictorin
