#pragma once
// Numbered properties, the one way the window layer reads and writes a
// control's settings. Numbers 0 to 7 belong to every control and are handled
// by the window layer; 8 and up are the control's own.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "imaging/bytes.h"

namespace pictorin {

// A property's value: an integer (int32, colours as their uint32 bit
// pattern), bytes, or text.
using PropertyValue = std::variant<std::int32_t, Bytes, std::string>;

class NumberedProperties {
 public:
  virtual ~NumberedProperties() = default;

  // Writes the property; false when the number or the value's type is not
  // one of the control's (nothing changes then).
  virtual bool WriteProperty(int number, const PropertyValue& value) = 0;

  // The stored value, or nothing for a number the control does not have.
  virtual std::optional<PropertyValue> ReadProperty(int number) const = 0;
};

}  // namespace pictorin
