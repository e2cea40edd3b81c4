// init, apply, close and setcfg: one call of an export each.
#include <cstdint>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "reply_layout.h"

namespace corvane::host {
namespace {

// Filler of the reply buffer, so that setcfg can tell how much was written.
constexpr char kFiller = '\x01';

int Status(int32_t status) { return status == 0 ? kExitOk : kExitFailed; }

void Show(Context& context, const std::string& title, int32_t status, const char* reply,
          const std::string& note = std::string()) {
  if (context.text.raw()) {
    context.Print(std::to_string(status) + "\t" + reply + note + "\n");
  } else {
    context.Print(LayoutReply(title, status, reply) + (note.empty() ? "" : " " + note + "\n"));
  }
}

// The argument i as the library receives it, or nullptr when absent.
struct CallArgs {
  std::vector<std::string> texts;
  CallArgs(const Context& context, const Args& args) {
    for (size_t i = 1; i < args.size(); ++i) texts.push_back(context.text.ToLibrary(args[i]));
  }
  const char* at(size_t i) const { return i < texts.size() ? texts[i].c_str() : nullptr; }
};

}  // namespace

int RunInit(Context& context, const Args& args) {
  Library* lib = context.LoadedLibrary();
  if (!lib) return kExitUsage;
  const CallArgs a(context, args);
  std::vector<char> reply(context.reply_size, kFiller);
  const int32_t status = lib->init(a.at(0), reply.data(), 0);
  reply.back() = '\0';  // a reply that filled the buffer ends there
  Show(context, "init", status, reply.data());
  return Status(status);
}

bool CheckApply(const Args& args) {
  int32_t trade_no = 0;
  double serial = 0;
  if (!ParseTradeNumber(args[1], &trade_no)) {
    std::fprintf(stderr, "corvane-host: apply: N must be a whole number, not \"%s\"\n",
                 args[1].c_str());
  } else if (!ParseSerial(args[2], &serial)) {
    std::fprintf(stderr, "corvane-host: apply: SERIAL must be a number, not \"%s\"\n",
                 args[2].c_str());
  } else {
    return true;
  }
  PrintCommandUsage(*FindCommand("apply"), stderr);
  return false;
}

int RunApply(Context& context, const Args& args) {
  int32_t trade_no = 0;
  double serial = 0;
  ParseTradeNumber(args[1], &trade_no);
  ParseSerial(args[2], &serial);
  Library* lib = context.LoadedLibrary();
  if (!lib) return kExitUsage;
  const CallArgs a(context, args);
  std::vector<char> reply(context.reply_size, kFiller);
  const int32_t status = lib->apply(trade_no, serial, a.at(2), reply.data(), a.at(3));
  reply.back() = '\0';  // a reply that filled the buffer ends there
  Show(context, "apply " + std::to_string(trade_no), status, reply.data());
  return Status(status);
}

int RunClose(Context& context, const Args& args) {
  Library* lib = context.LoadedLibrary();
  if (!lib) return kExitUsage;
  const CallArgs a(context, args);
  std::vector<char> reply(context.reply_size, kFiller);
  const int32_t status = lib->close(a.at(0), reply.data(), nullptr);
  reply.back() = '\0';  // a reply that filled the buffer ends there
  Show(context, "close", status, reply.data());
  return Status(status);
}

int RunSetCfg(Context& context, const Args&) {
  Library* lib = context.LoadedLibrary();
  if (!lib) return kExitUsage;
  std::vector<char> reply(context.reply_size, kFiller);
  const int32_t status = lib->setcfg(0, 0, nullptr, reply.data());
  size_t written = 0;
  while (written < reply.size() && reply[written] != kFiller) ++written;
  const std::string note = "(" + std::to_string(written) + " byte" + (written == 1 ? "" : "s") +
                           " written)";
  Show(context, "setcfg", status, reply.data(), context.text.raw() ? "\t" + note : note);
  return Status(status);
}

}  // namespace corvane::host
