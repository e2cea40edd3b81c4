#include "transport/late_call.h"

#include <cstdio>

#include "platform/system_message.h"
#include "platform/text.h"
#include "transport/errors.h"

namespace corvane::transport {
namespace {

constexpr size_t kMaxDispatchArgs = 64;

// The platform's text for a failing result code, or "OLE error %.8X".
std::string OleErrorText(int32_t code) {
  std::string text = platform::SystemMessageText(code);
  if (!text.empty()) return text;
  char buf[64];
  std::snprintf(buf, sizeof buf, "OLE error %.8X", static_cast<uint32_t>(code));
  return buf;
}

}  // namespace

CallArg CallArg::AnsiTextRef(std::string* text) {
  CallArg a;
  a.kind = Kind::kAnsiTextRef;
  a.ansi = text;
  return a;
}

CallArg CallArg::IntRef(int32_t* value) {
  CallArg a;
  a.kind = Kind::kIntRef;
  a.integer = value;
  return a;
}

CallArg CallArg::Value(Variant value) {
  CallArg a;
  a.kind = Kind::kValue;
  a.value = std::move(value);
  return a;
}

namespace {

int32_t DispatchId(IDispatchObject& target, const std::string& name) {
  std::vector<int32_t> ids;
  int32_t code = target.GetIdsOfNames({platform::AnsiToWide(name)}, &ids);
  if (code == kDISP_E_UNKNOWNNAME)
    throw EOleSysError("Method '" + name + "' not supported by automation object", code);
  if (code != kS_OK) throw EOleSysError(OleErrorText(code), code);
  return ids.empty() ? 0 : ids[0];
}

// The argument array holds the last argument first; by-reference arguments
// point at temps.
std::vector<Variant> ArgumentArray(std::vector<CallArg>& args, std::vector<Variant>* temps) {
  std::vector<Variant> array;
  array.reserve(args.size());
  for (size_t k = args.size(); k-- > 0;) {
    CallArg& a = args[k];
    Variant& temp = (*temps)[k];
    switch (a.kind) {
      case CallArg::Kind::kAnsiTextRef:
        temp = Variant::Str(platform::AnsiToWide(*a.ansi));
        array.push_back(Variant::ByRef(vtBstr, &temp));
        break;
      case CallArg::Kind::kIntRef:
        temp = Variant::I4(*a.integer);
        array.push_back(Variant::ByRef(vtI4, &temp));
        break;
      case CallArg::Kind::kValue:
        array.push_back(a.value);
        break;
    }
  }
  return array;
}

void CopyBackReferences(std::vector<CallArg>& args, const std::vector<Variant>& temps) {
  for (size_t k = 0; k < args.size(); ++k) {
    CallArg& a = args[k];
    if (a.kind == CallArg::Kind::kAnsiTextRef) {
      *a.ansi = platform::WideToAnsi(temps[k].text);
    } else if (a.kind == CallArg::Kind::kIntRef) {
      *a.integer = temps[k].AsI4();
    }
  }
}

}  // namespace

Variant DispatchCall(const Variant& object, const std::string& name, std::vector<CallArg>& args,
                     bool want_result, uint16_t call_kind) {
  if (args.size() > kMaxDispatchArgs)
    throw ETransportError("Dispatch methods do not support more than 64 parameters");
  const Variant& holder = (object.IsByRef() && object.ref) ? *object.ref : object;
  if (holder.Base() != vtDispatch || !holder.dispatch)
    throw ETransportError("Variant does not reference an automation object");
  IDispatchObject& target = *holder.dispatch;
  const int32_t dispid = DispatchId(target, name);
  std::vector<Variant> temps(args.size());
  std::vector<Variant> array = ArgumentArray(args, &temps);
  uint16_t flags = call_kind;
  if (call_kind == kDispatchMethod && args.empty() && want_result)
    flags = kDispatchMethod | kDispatchPropertyGet;
  Variant result;
  ExcepInfo excep;
  const int32_t code =
      target.Invoke(dispid, flags, array, {}, want_result ? &result : nullptr, &excep);
  if (code == kDISP_E_EXCEPTION) {
    throw EOleException(platform::WideToAnsi(excep.description), excep.code,
                        platform::WideToAnsi(excep.source), platform::WideToAnsi(excep.help_file),
                        excep.help_context);
  }
  if (code != kS_OK) throw EOleSysError(OleErrorText(code), code);
  CopyBackReferences(args, temps);
  return result;
}

}  // namespace corvane::transport
