// A host in C# (P/Invoke; Mono on Linux, .NET on Windows): opens a session,
// runs transaction 250, closes.
//
//   mcs Host.cs && mono Host.exe
//
// The library keeps TradeCfg.ini, TradeLog.ini, log1/ and down/ beside the
// program of the process: for Mono that is mono's own folder, for .NET
// Framework the .exe's.
//
// CorvaneApply.dll uses __stdcall with undecorated names (ExactSpelling);
// the i686 DLL needs a 32-bit process (x86 platform target).  Texts are GBK
// both ways, so they pass as byte arrays: the marshaller's string conversion
// would use the system's code page (UTF-8 on Mono).  Code page 936 on Mono
// needs the package libmono-i18n-cjk4.0-cil.  Reply buffers are 64 KB: the
// library writes the whole reply and a zero byte without knowing the size.
using System;
using System.Runtime.InteropServices;
using System.Text;

static class Host {
  const string Library = "CorvaneApply";  // CorvaneApply.dll / libCorvaneApply.so
  const int ReplySize = 65536;

  [DllImport(Library, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
  static extern int f_UserCorvaneInit(byte[] request, byte[] reply, int reserved);
  [DllImport(Library, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
  static extern int f_UserCorvaneApply(int tradeNo, double serial, byte[] request, byte[] reply,
                                       byte[] extra);
  [DllImport(Library, CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]
  static extern int f_UserCorvaneClose(byte[] request, byte[] reply, byte[] unused);

  static readonly Encoding Gbk = Encoding.GetEncoding(936);

  static byte[] Text(string s) {
    byte[] b = Gbk.GetBytes(s);
    Array.Resize(ref b, b.Length + 1);  // zero-terminated
    return b;
  }

  static void Show(string title, int status, byte[] reply) {
    int n = Array.IndexOf(reply, (byte)0);
    Console.WriteLine(title + ": " + status + " " + Gbk.GetString(reply, 0, n < 0 ? reply.Length : n));
  }

  static int Main() {
    Console.OutputEncoding = new UTF8Encoding(false);
    byte[] reply = new byte[ReplySize];
    int status = f_UserCorvaneInit(Text(""), reply, 0);
    Show("init", status, reply);
    if (status != 0) return 1;
    status = f_UserCorvaneApply(250, 1.0, Text("$$药品$$"), reply, Text(""));
    Show("apply 250", status, reply);
    int closed = f_UserCorvaneClose(Text(""), reply, null);
    Show("close", closed, reply);
    return status == 0 && closed == 0 ? 0 : 1;
  }
}
