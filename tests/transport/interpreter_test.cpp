// The call interpreter against a scripted sender: the requests it writes
// and the replies it reads, byte for byte.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "platform/system_message.h"
#include "platform/text.h"
#include "transport/errors.h"
#include "transport/interpreter.h"
#include "transport/late_call.h"
#include "transport/value_codec.h"

namespace corvane::transport {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Raw(IDataBlock& b) {
  const uint8_t* p = b.RawMemory();
  return Bytes(p, p + b.DataSize() + 8);
}

class ScriptedSender : public ISendDataBlock {
 public:
  DataBlockPtr SendBlock(const DataBlockPtr& block, bool wait) override {
    sent.push_back(Raw(*block));
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

DataBlockPtr Reply(uint32_t signature, std::function<void(IDataBlock&)> fill) {
  auto b = NewDataBlock();
  fill(*b);
  b->SetSignatureWord(signature);
  return b;
}

struct Fixture : ::testing::Test {
  ScriptedSender sender;
  TDataBlockInterpreter interp{&sender, "Sockets"};
  void SetUp() override { sender.interpreter = &interp; }
};

TEST_F(Fixture, NameLookupForTransmitIs40Bytes) {
  sender.replies.push_back(Reply(0xDB03, [](IDataBlock& b) {
    WriteI4(b, 0);
    WriteI4(b, 9);
  }));
  std::vector<int32_t> ids;
  EXPECT_EQ(interp.RequestNameIds(0, {u"Transmit"}, &ids), 0);
  EXPECT_EQ(ids, std::vector<int32_t>{9});
  Bytes expect = {0x03, 0xDA, 0, 0, 32, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0};
  for (char c : std::string("Transmit")) expect.insert(expect.end(), {uint8_t(c), 0});
  ASSERT_EQ(sender.sent.size(), 1u);
  EXPECT_EQ(sender.sent[0].size(), 40u);
  EXPECT_EQ(sender.sent[0], expect);
}

TEST_F(Fixture, TwoNamesAreNotImplementedAndSendNothing) {
  std::vector<int32_t> ids;
  EXPECT_EQ(interp.RequestNameIds(0, {u"A", u"B"}, &ids), static_cast<int32_t>(0x80004001u));
  EXPECT_TRUE(sender.sent.empty());
}

TEST_F(Fixture, CreateObjectAndFreeObject) {
  sender.replies.push_back(Reply(0xDB04, [](IDataBlock& b) {
    uint8_t rec[8] = {9, 0, 0, 0, 1, 0, 0, 0};
    b.AppendBytes(rec, 8);
  }));
  Variant app = interp.RequestCreateObject(u"AB");
  ASSERT_EQ(app.Base(), vtDispatch);
  EXPECT_EQ(sender.sent[0], (Bytes{0x04, 0xDA, 0, 0, 0x0C, 0, 0, 0, 8, 0, 0, 0, 2, 0, 0, 0, 0x41, 0, 0x42, 0}));
  app = Variant();  // last reference: one free-object request, no wait
  ASSERT_EQ(sender.sent.size(), 2u);
  EXPECT_EQ(sender.sent[1], (Bytes{0x05, 0xDA, 0, 0, 8, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0}));
}

TEST_F(Fixture, ProxiesOutlivingTheInterpreterSendNothing) {
  auto own = std::make_unique<TDataBlockInterpreter>(&sender, "Sockets");
  auto proxy = std::make_shared<TDataDispatch>(own.get(), 3);
  own.reset();
  proxy.reset();
  EXPECT_TRUE(sender.sent.empty());
}

TEST_F(Fixture, TransmitInvocationLayoutAndByReferenceResults) {
  sender.replies.push_back(Reply(0xDB03, [](IDataBlock& b) {
    WriteI4(b, 0);
    WriteI4(b, 9);
  }));
  sender.replies.push_back(Reply(0xDB02, [](IDataBlock& b) {
    WriteI4(b, 0);
    Variant ip = Variant::Str(u"10.0.0.9");
    Variant pk = Variant::Str(u"包");
    Variant no = Variant::I4(22);
    WriteVariant(b, Variant::ByRef(vtBstr, &ip), nullptr);
    WriteVariant(b, Variant::ByRef(vtBstr, &pk), nullptr);
    WriteVariant(b, Variant::ByRef(vtI4, &no), nullptr);
    WriteText(b, u"0~成功");
  }));
  Variant app = Variant::Dispatch(std::make_shared<TDataDispatch>(&interp, 1));
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

  Bytes s = sender.sent[1];
  Bytes expect = {0x02, 0xDA, 0, 0};
  Bytes body = {3, 0, 0, 0, 1, 0, 0, 0,     // object identifier
                3, 0, 0, 0, 9, 0, 0, 0,     // dispatch identifier
                3, 0, 0, 0, 1, 0, 0, 0,     // flags: method
                11, 0, 0, 0, 0xFF, 0xFF,    // result wanted
                3, 0, 0, 0, 3, 0, 0, 0,     // three arguments
                3, 0, 0, 0, 0, 0, 0, 0,     // none named
                0x08, 0x40, 0, 0, 7, 0, 0, 0};
  for (char c : local.empty() ? std::string() : std::string("1.2.3.4")) body.insert(body.end(), {uint8_t(c), 0});
  body.insert(body.end(), {0x08, 0x40, 0, 0, 5, 0, 0, 0});
  for (char c : std::string("021~a")) body.insert(body.end(), {uint8_t(c), 0});
  body.insert(body.end(), {0x03, 0x40, 0, 0, 21, 0, 0, 0});
  Bytes size = {uint8_t(body.size()), 0, 0, 0};
  expect.insert(expect.end(), size.begin(), size.end());
  expect.insert(expect.end(), body.begin(), body.end());
  EXPECT_EQ(s, expect);
}

TEST_F(Fixture, LateBoundCallErrors) {
  Variant app = Variant::Dispatch(std::make_shared<TDataDispatch>(&interp, 1));
  std::vector<CallArg> many(65, CallArg::Value(Variant::I4(1)));
  try {
    DispatchCall(app, "Transmit", many);
    FAIL();
  } catch (const ETransportError& e) {
    EXPECT_STREQ(e.what(), "Dispatch methods do not support more than 64 parameters");
  }
  sender.replies.push_back(Reply(0xDB03, [](IDataBlock& b) { WriteI4(b, static_cast<int32_t>(0x80020006u)); }));
  std::vector<CallArg> none;
  try {
    DispatchCall(app, "Nope", none);
    FAIL();
  } catch (const EOleSysError& e) {
    EXPECT_STREQ(e.what(), "Method 'Nope' not supported by automation object");
  }
  sender.replies.push_back(Reply(0xDB03, [](IDataBlock& b) {
    WriteI4(b, 0);
    WriteI4(b, 4);
  }));
  sender.replies.push_back(Reply(0xDB02, [](IDataBlock& b) {
    WriteI4(b, static_cast<int32_t>(0x80020009u));
    WriteI4(b, 77);
    WriteText(b, u"交易失败");
    WriteText(b, u"");
  }));
  try {
    DispatchCall(app, "Transmit", none);
    FAIL();
  } catch (const EOleException& e) {
    EXPECT_EQ(std::string(e.what()), "交易失败");
    EXPECT_EQ(e.exception_code(), 77);
  }
  // No arguments and a result wanted: method or property get.
  EXPECT_EQ(sender.sent.back()[8 + 8 + 8 + 4], 3);
  // A failing code without a platform text.
  sender.replies.push_back(Reply(0xDB03, [](IDataBlock& b) { WriteI4(b, static_cast<int32_t>(0x8004DE5Au)); }));
  try {
    DispatchCall(app, "X", none);
    FAIL();
  } catch (const EOleSysError& e) {
    EXPECT_STREQ(e.what(), "OLE error 8004DE5A");
    EXPECT_EQ(e.code(), static_cast<int32_t>(0x8004DE5Au));
  }
  // A failing invocation whose code the platform can name carries that text.
  const int32_t kFail = static_cast<int32_t>(0x80004005u);
  std::string platform_text = platform::SystemMessageText(kFail);
  sender.replies.push_back(Reply(0xDB03, [](IDataBlock& b) {
    WriteI4(b, 0);
    WriteI4(b, 4);
  }));
  sender.replies.push_back(Reply(0xDB02, [&](IDataBlock& b) {
    WriteI4(b, kFail);
    WriteText(b, u"");
  }));
  try {
    DispatchCall(app, "Transmit", none);
    FAIL();
  } catch (const EOleSysError& e) {
    EXPECT_EQ(std::string(e.what()), platform_text.empty() ? "OLE error 80004005" : platform_text);
  }
}

TEST_F(Fixture, ErrorReplyRaisesItsText) {
  sender.replies.push_back(Reply(0xDB01, [](IDataBlock& b) { WriteText(b, u"Object not available: X"); }));
  try {
    interp.RequestCreateObject(u"X");
    FAIL();
  } catch (const ETransportError& e) {
    EXPECT_STREQ(e.what(), "Object not available: X");
  }
}

TEST_F(Fixture, TwelfthExportGrowsTheTable) {
  for (int i = 0; i < 11; ++i) EXPECT_EQ(interp.ExportObject(nullptr), i);
  EXPECT_EQ(interp.ExportHighBound(), 10);
  EXPECT_EQ(interp.ExportObject(nullptr), 11);
  EXPECT_EQ(interp.ExportHighBound(), 21);
  interp.DropExported(3);
  interp.DropExported(500);  // ignored
  EXPECT_EQ(interp.ExportObject(nullptr), 3);
}

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

// The answering side: requests of the peer processed by the interpreter,
// whose class factory offers "Num" (an integer) and "Obj" (a local object).
struct Answering : Fixture {
  void SetUp() override {
    Fixture::SetUp();
    interp.SetClassFactory([](const std::u16string& name) -> Variant {
      if (name == u"Num") return Variant::I4(7);
      if (name == u"Obj") return Variant::Dispatch(std::make_shared<Local>());
      return Variant();
    });
  }
  // Processes a request with this signature and body.
  void Request(uint32_t signature, const std::function<void(IDataBlock&)>& fill) {
    auto req = NewDataBlock();
    fill(*req);
    req->SetSignatureWord(signature);
    interp.ProcessBlock(req);
  }
  void CreateObject(const std::u16string& name) {
    Request(0xDA04, [&](IDataBlock& b) { WriteText(b, name); });
  }
  // The body of the last block sent, for reading.
  DataBlockPtr LastBody() {
    const Bytes& s = sender.sent.back();
    auto r = NewDataBlock();
    r->AppendBytes(s.data() + 8, static_cast<int32_t>(s.size() - 8));
    return r;
  }
  // An invoke of method 1 on object id: n_args (each the text "in" by
  // reference), result wanted or not.
  void Invoke(int32_t id, bool want_result, int32_t n_args) {
    Request(0xDA02, [&](IDataBlock& b) {
      WriteI4(b, id);
      WriteI4(b, 1);
      WriteI4(b, 1);
      WriteBool(b, want_result);
      WriteI4(b, n_args);
      WriteI4(b, 0);
      if (n_args == 1) {
        Variant s = Variant::Str(u"in");
        WriteVariant(b, Variant::ByRef(vtBstr, &s), nullptr);
      }
    });
  }
  int32_t ExportedObj() {
    CreateObject(u"Obj");
    return sender.sent.back()[12];
  }
};

TEST_F(Answering, CreateObjectOfAnIntegerAnswersADispatchReference) {
  CreateObject(u"Num");
  EXPECT_EQ(sender.sent.back(), (Bytes{0x04, 0xDB, 0, 0, 8, 0, 0, 0, 9, 0, 0, 0, 7, 0, 0, 0}));
}

TEST_F(Answering, FailuresAreAnsweredWithAnErrorReply) {
  CreateObject(u"None");
  EXPECT_EQ(sender.sent.back()[0], 0x01);
  EXPECT_EQ(sender.sent.back()[1], 0xDB);
  Request(0xDA63, [](IDataBlock&) {});
  EXPECT_EQ(platform::WideToAnsi(VariantToWide(ReadVariant(*LastBody(), nullptr, nullptr))),
            "Invalid action received: 99");
}

TEST_F(Answering, InvokeWritesByReferenceArgumentsBackThenTheResult) {
  const int32_t id = ExportedObj();
  Invoke(id, true, 1);
  EXPECT_EQ(sender.sent.back()[1], 0xDB);
  DataBlockPtr r = LastBody();
  EXPECT_EQ(ReadI4(*r), 0);
  ReadFlags f;
  EXPECT_EQ(ReadVariant(*r, &f, nullptr).text, u"changed");
  EXPECT_TRUE(f.came_by_ref);
  EXPECT_EQ(ReadI4(*r), 42);
}

TEST_F(Answering, ARaisingInvokeAnswersCodeExceptionCodeAndDescription) {
  Invoke(ExportedObj(), false, 0);
  DataBlockPtr r = LastBody();
  EXPECT_EQ(ReadI4(*r), static_cast<int32_t>(0x80020009u));
  EXPECT_EQ(ReadI4(*r), 5);
  EXPECT_EQ(ReadText(*r, nullptr), u"boom");
  EXPECT_EQ(r->Remaining(), 0);
}

TEST_F(Answering, FreeObjectOfAnUnknownIdentifierSendsNothing) {
  const size_t before = sender.sent.size();
  Request(0xDA05, [](IDataBlock& b) { WriteI4(b, 1000); });
  EXPECT_EQ(sender.sent.size(), before);
}

// A claimed argument count far beyond the block is refused, not allocated.
TEST_F(Answering, AnArgumentCountBeyondTheBlockIsRefused) {
  Invoke(ExportedObj(), false, 0x7FFFFFFF);
  EXPECT_EQ(sender.sent.back()[0], 0x01);
}

TEST_F(Answering, ServerListIsAnsweredWithNull) {
  Request(0xDA12, [](IDataBlock&) {});
  EXPECT_EQ(sender.sent.back(), (Bytes{0x12, 0xDB, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0}));
}

}  // namespace
}  // namespace corvane::transport
