// A host in Java (JNA): opens a session, runs transaction 250, closes.
//
//   javac -cp /usr/share/java/jna.jar Host.java
//   java -cp /usr/share/java/jna.jar:. Host [LIBRARY]
//
// The library keeps TradeCfg.ini, TradeLog.ini, log1/ and down/ beside the
// program of the process: for Java that is the JVM's bin/ folder.
//
// On Windows CorvaneApply.dll uses __stdcall with undecorated names: the
// library is loaded with the stdcall convention there (ALT_CONVENTION; the
// i686 DLL needs a 32-bit JVM) and the C convention elsewhere.
// Texts are GBK both ways, so they pass as byte arrays, never as String
// (JNA would convert a String with the platform's encoding).  Reply buffers
// are 64 KB: the library writes the whole reply and a zero byte without
// knowing the buffer's size.
import com.sun.jna.Function;
import com.sun.jna.Library;
import com.sun.jna.Native;
import java.nio.charset.Charset;
import java.util.Map;

public class Host {
  public interface CorvaneApply extends Library {
    int f_UserCorvaneInit(byte[] request, byte[] reply, int reserved);
    int f_UserCorvaneApply(int tradeNo, double serial, byte[] request, byte[] reply, byte[] extra);
    int f_UserCorvaneClose(byte[] request, byte[] reply, byte[] unused);
  }

  static final int REPLY_SIZE = 65536;
  static final Charset GBK = Charset.forName("GBK");

  // A zero-terminated GBK text.
  static byte[] text(String s) {
    byte[] b = s.getBytes(GBK);
    byte[] z = new byte[b.length + 1];
    System.arraycopy(b, 0, z, 0, b.length);
    return z;
  }

  static void show(String title, int status, byte[] reply) {
    int n = 0;
    while (n < reply.length && reply[n] != 0) n++;
    System.out.println(title + ": " + status + " " + new String(reply, 0, n, GBK));
  }

  public static void main(String[] args) {
    boolean windows = System.getProperty("os.name").startsWith("Windows");
    String path = args.length > 0 ? args[0] : (windows ? "CorvaneApply.dll" : "libCorvaneApply.so");
    int convention = windows ? Function.ALT_CONVENTION : Function.C_CONVENTION;
    CorvaneApply lib = Native.load(path, CorvaneApply.class,
        Map.of(Library.OPTION_CALLING_CONVENTION, convention));
    byte[] reply = new byte[REPLY_SIZE];
    int status = lib.f_UserCorvaneInit(text(""), reply, 0);
    show("init", status, reply);
    if (status != 0) System.exit(1);
    status = lib.f_UserCorvaneApply(250, 1.0, text("$$药品$$"), reply, text(""));
    show("apply 250", status, reply);
    int closed = lib.f_UserCorvaneClose(text(""), reply, null);
    show("close", closed, reply);
    System.exit(status == 0 && closed == 0 ? 0 : 1);
  }
}
