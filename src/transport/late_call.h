// The late-bound call: a method of an automation object (local or remote)
// called by name, as a name lookup followed by an invocation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "transport/variant.h"

namespace corvane::transport {

// One argument of a late-bound call, in the caller's order (first
// argument first).  The by-reference kinds point at the caller's variable,
// which receives the value that the called method leaves in it.
class CallArg {
 public:
  // Text in the system code page (GBK): sent as an OLE string by reference
  // (0x4008), converted with platform::AnsiToWide and back with WideToAnsi.
  static CallArg AnsiTextRef(std::string* text);
  // 32-bit integer by reference (0x4003).
  static CallArg IntRef(int32_t* value);
  // Any value by value.
  static CallArg Value(Variant value);

  enum class Kind { kAnsiTextRef, kIntRef, kValue };
  Kind kind = Kind::kValue;
  std::string* ansi = nullptr;
  int32_t* integer = nullptr;
  Variant value;
};

// Calls `name` on object (a dispatch value) with call kind 1 (method).
// Returns the result (Empty when want_result is false).
// Throws:
//  - ETransportError "Dispatch methods do not support more than 64 parameters";
//  - EOleSysError "Method '%s' not supported by automation object" for an
//    unknown name;
//  - EOleException with the remote description when the method raised;
//  - EOleSysError with the platform's text for other failing result
//    codes, or "OLE error %.8X" when the platform has none;
//  - the transport's errors unchanged.
Variant DispatchCall(const Variant& object, const std::string& name, std::vector<CallArg>& args,
                     bool want_result = true, uint16_t call_kind = kDispatchMethod);

}  // namespace corvane::transport
