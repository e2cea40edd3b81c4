// The call interpreter against a scripted sender: the requests it writes
// and the replies it reads, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>

#include "platform/system_message.h"
#include "platform/text.h"
#include "transport/errors.h"
#include "transport/interpreter.h"
#include "transport/late_call.h"
#include "wire_bytes.h"

namespace corvane::transport {
namespace {

using namespace testing;  // the wire bytes of wire_bytes.h

class ScriptedSender : public ISendDataBlock {
 public:
  DataBlockPtr SendBlock(const DataBlockPtr& block, bool wait) override {
    sent.push_back(testing::Raw(*block));
    if (!wait || replies.empty()) return nullptr;
    DataBlockPtr r = replies.front();
    replies.pop_front();
    if (ActionOf(r->GetSignatureWord()) == kActionError && interpreter) interpreter->ProcessBlock(r);
    return r;
  }
  std::vector<Bytes> sent;
  std::deque<DataBlockPtr> replies;
  TDataBlockInterpreter* interpreter = nullptr;
};

// What a call raised: the error's kind, code and text ("returned" when it did not raise).
template <class Call>
std::string Raised(Call call) {
  try {
    call();
  } catch (const EOleException& e) {
    return "EOleException " + std::to_string(e.exception_code()) + " " + e.what();
  } catch (const EOleSysError& e) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X ", static_cast<unsigned>(e.code()));
    return "EOleSysError " + std::string(code) + e.what();
  } catch (const ETransportError& e) {
    return std::string("ETransportError ") + e.what();
  }
  return "returned";
}

struct Fixture : ::testing::Test {
  ScriptedSender sender;
  TDataBlockInterpreter interp{&sender, "Sockets"};
  Variant app = Variant::Dispatch(std::make_shared<TDataDispatch>(&interp, 1));
  std::vector<CallArg> none;
  void SetUp() override { sender.interpreter = &interp; }
  void Reply(const Bytes& block) { sender.replies.push_back(testing::BlockOf(block)); }
  void ReplyId(int32_t id) { Reply(Block(0xDB03, Cat({I4Rec(0), I4Rec(id)}))); }
  std::string CallRaised(const std::string& method, std::vector<CallArg>& args) {
    return Raised([&] { DispatchCall(app, method, args); });
  }
};

TEST_F(Fixture, NameLookupSendsOneNameAndRefusesTwo) {
  ReplyId(9);
  std::vector<int32_t> ids;
  EXPECT_EQ(interp.RequestNameIds(0, {u"Transmit"}, &ids), 0);
  EXPECT_EQ(ids, std::vector<int32_t>{9});
  EXPECT_EQ(sender.sent, std::vector<Bytes>{Block(0xDA03, Cat({I4Rec(0), TextRec(u"Transmit")}))});
  EXPECT_EQ(sender.sent[0].size(), 40u);
  EXPECT_EQ(interp.RequestNameIds(0, {u"A", u"B"}, &ids), static_cast<int32_t>(0x80004001u));
  EXPECT_EQ(sender.sent.size(), 1u);
}

TEST_F(Fixture, CreateObjectRaisesAnErrorReplyOrGivesAProxyFreedOnce) {
  Reply(Block(0xDB01, TextRec(u"Object not available: X")));
  EXPECT_EQ(Raised([&] { interp.RequestCreateObject(u"X"); }),
            "ETransportError Object not available: X");
  Reply(Block(0xDB04, Cat({Le32(9), Le32(1)})));
  Variant created = interp.RequestCreateObject(u"AB");
  ASSERT_EQ(created.Base(), vtDispatch);
  created = Variant();  // last reference: one free-object request, no wait
  EXPECT_EQ(sender.sent, (std::vector<Bytes>{Block(0xDA04, TextRec(u"X")), Block(0xDA04, TextRec(u"AB")),
                                             Block(0xDA05, I4Rec(1))}));
}

TEST_F(Fixture, ProxiesOutlivingTheInterpreterSendNothing) {
  auto own = std::make_unique<TDataBlockInterpreter>(&sender, "Sockets");
  auto proxy = std::make_shared<TDataDispatch>(own.get(), 3);
  own.reset();
  proxy.reset();
  EXPECT_TRUE(sender.sent.empty());
}

// Arguments go last first; by-reference values come back in that order,
// then the result.  A call without a result says so.
TEST_F(Fixture, InvocationLayoutAndByReferenceResults) {
  ReplyId(9);
  Reply(Block(0xDB02, Cat({I4Rec(0), TextRec(u"10.0.0.9", 0x4008), TextRec(u"包", 0x4008),
                           I4Rec(22, 0x4003), TextRec(u"0~成功")})));
  int32_t trade = 21;
  std::string packet = "021~a";
  std::string local = "1.2.3.4";
  std::vector<CallArg> args = {CallArg::IntRef(&trade), CallArg::AnsiTextRef(&packet),
                               CallArg::AnsiTextRef(&local)};
  Variant result = DispatchCall(app, "Transmit", args);
  EXPECT_EQ(platform::WideToAnsi(VariantToWide(result)), "0~成功");
  EXPECT_EQ(trade, 22);
  EXPECT_EQ(packet, "包");
  EXPECT_EQ(local, "10.0.0.9");
  const Bytes head = Cat({I4Rec(1), I4Rec(9), I4Rec(1)});  // object, dispatch identifier, method
  EXPECT_EQ(sender.sent[1], Block(0xDA02, Cat({head, BoolRec(true), I4Rec(3), I4Rec(0),
                                               TextRec(u"1.2.3.4", 0x4008), TextRec(u"021~a", 0x4008),
                                               I4Rec(21, 0x4003)})));
  ReplyId(9);
  Reply(Block(0xDB02, I4Rec(0)));
  DispatchCall(app, "Transmit", none, false);
  EXPECT_EQ(sender.sent[3], Block(0xDA02, Cat({head, BoolRec(false), I4Rec(0), I4Rec(0)})));
}

TEST_F(Fixture, LateBoundCallFailuresRaiseTheirOwnKindAndText) {
  std::vector<CallArg> many(65, CallArg::Value(Variant::I4(1)));
  EXPECT_EQ(CallRaised("Transmit", many),
            "ETransportError Dispatch methods do not support more than 64 parameters");
  EXPECT_TRUE(sender.sent.empty());
  Reply(Block(0xDB03, I4Rec(static_cast<int32_t>(0x80020006u))));
  EXPECT_EQ(CallRaised("Nope", none),
            "EOleSysError 80020006 Method 'Nope' not supported by automation object");
  Reply(Block(0xDB03, I4Rec(static_cast<int32_t>(0x8004DE5Au))));
  EXPECT_EQ(CallRaised("X", none), "EOleSysError 8004DE5A OLE error 8004DE5A");
  ReplyId(4);
  Reply(Block(0xDB02, Cat({I4Rec(static_cast<int32_t>(0x80020009u)), I4Rec(77), TextRec(u"交易失败"),
                           TextRec(u"")})));
  EXPECT_EQ(CallRaised("Transmit", none), "EOleException 77 交易失败");
  EXPECT_EQ(sender.sent.back()[8 + 8 + 8 + 4], 3);  // no arguments, a result: method or property get
  // A failing invocation whose code the platform can name carries that text.
  const std::string platform_text = platform::SystemMessageText(static_cast<int32_t>(0x80004005u));
  ReplyId(4);
  Reply(Block(0xDB02, Cat({I4Rec(static_cast<int32_t>(0x80004005u)), TextRec(u"")})));
  EXPECT_EQ(CallRaised("Transmit", none),
            "EOleSysError 80004005 " + (platform_text.empty() ? "OLE error 80004005" : platform_text));
}

TEST_F(Fixture, ExportTableGrowsByElevenAndReusesFreedSlots) {
  for (int i = 0; i < 11; ++i) EXPECT_EQ(interp.ExportObject(nullptr), i);
  EXPECT_EQ(interp.ExportHighBound(), 10);
  EXPECT_EQ(interp.ExportObject(nullptr), 11);
  EXPECT_EQ(interp.ExportHighBound(), 21);
  interp.DropExported(3);
  interp.DropExported(500);  // ignored
  EXPECT_EQ(interp.ExportObject(nullptr), 3);
  EXPECT_EQ(interp.ExportObject(nullptr), 12);
}

// A local object: one argument by reference becomes "changed" and the
// result 42; without arguments it raises code 5, "boom".
class Local : public IDispatchObject {
 public:
  int32_t GetIdsOfNames(const std::vector<std::u16string>&, std::vector<int32_t>* ids) override {
    ids->assign(1, 1);
    return 0;
  }
  int32_t Invoke(int32_t, uint16_t, std::vector<Variant>& args, const std::vector<int32_t>&,
                 Variant* result, ExcepInfo* excep) override {
    if (args.size() == 1 && args[0].IsByRef()) *args[0].ref = Variant::Str(u"changed");
    if (args.empty()) {
      excep->code = 5;
      excep->description = u"boom";
      return kDISP_E_EXCEPTION;
    }
    if (result) *result = Variant::I4(42);
    return 0;
  }
};

Bytes InvokeRequest(int32_t id, bool want_result, int32_t n_args, const Bytes& args) {
  return Block(0xDA02, Cat({I4Rec(id), I4Rec(1), I4Rec(1), BoolRec(want_result), I4Rec(n_args),
                            I4Rec(0), args}));
}

// The answering side: each request of the peer and the block sent back
// (none for a free-object request).  The class factory offers "Num" (an
// integer) and "Obj" (a local object, exported as 0).
TEST_F(Fixture, RequestsOfThePeerAndTheirAnswers) {
  interp.SetClassFactory([](const std::u16string& name) -> Variant {
    if (name == u"Num") return Variant::I4(7);
    if (name == u"Obj") return Variant::Dispatch(std::make_shared<Local>());
    return Variant();
  });
  const Bytes boom = Cat({I4Rec(static_cast<int32_t>(0x80020009u)), I4Rec(5), TextRec(u"boom")});
  const struct {
    const char* what;
    Bytes request, answer;
  } cases[] = {
      {"integer object", Block(0xDA04, TextRec(u"Num")), Block(0xDB04, Cat({Le32(9), Le32(7)}))},
      {"local object", Block(0xDA04, TextRec(u"Obj")), Block(0xDB04, Cat({Le32(9), Le32(0)}))},
      {"unknown object", Block(0xDA04, TextRec(u"None")),
       Block(0xDB01, TextRec(u"Object not available: None"))},
      {"by reference and result", InvokeRequest(0, true, 1, TextRec(u"in", 0x4008)),
       Block(0xDB02, Cat({I4Rec(0), TextRec(u"changed", 0x4008), I4Rec(42)}))},
      {"raising, no result", InvokeRequest(0, false, 0, {}), Block(0xDB02, boom)},
      {"argument count beyond the block", InvokeRequest(0, false, 0x7FFFFFFF, {}),
       Block(0xDB01, TextRec(u"Invalid data packet"))},
      {"unknown object identifier", InvokeRequest(4, true, 0, {}),
       Block(0xDB01, TextRec(u"Invalid object identifier: 4"))},
      {"free of an unknown identifier", Block(0xDA05, I4Rec(1000)), {}},
      {"server list", Block(0xDA12, {}), Block(0xDB12, Le32(1))},
      {"old server list", Block(0xDA10, {}), Block(0xDB10, Le32(1))},
      {"unknown action", Block(0xDA63, {}), Block(0xDB01, TextRec(u"Invalid action received: 99"))},
  };
  for (const auto& c : cases) {
    sender.sent.clear();
    interp.ProcessBlock(testing::BlockOf(c.request));
    EXPECT_EQ(sender.sent, c.answer.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{c.answer})
        << c.what;
  }
}

}  // namespace
}  // namespace corvane::transport
