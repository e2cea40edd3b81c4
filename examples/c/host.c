/*
 * A host in C: opens a session, runs transaction 250, closes the session.
 *
 *   cc host.c -I../../include -L. -lCorvaneApply -Wl,-rpath,'$ORIGIN' -o host
 *   ./host            (TradeCfg.ini beside ./host names the front end)
 *
 * On Windows link CorvaneApply.dll (i686, the product) the same way; the
 * header declares the functions __stdcall (arguments pushed right to left,
 * removed by the callee; 12, 24, 12 and 16 bytes in the 32-bit DLL), with
 * undecorated names and ordinals 1 f_SetUserTradeCfg, 2 f_UserCorvaneClose,
 * 3 f_UserCorvaneApply, 4 f_UserCorvaneInit.
 *
 * Texts are GBK (code page 936) both ways.  The library does not know the
 * size of a reply buffer: it writes the whole reply and a zero byte, so each
 * buffer here is 64 KB.  The replies are printed as the GBK bytes received.
 */
#include <stdio.h>

#include "corvane_apply.h"

#define REPLY_SIZE 65536

static char reply[REPLY_SIZE];

int main(void) {
  /* "$$药品$$" in GBK. */
  const char* request = "$$\xD2\xA9\xC6\xB7$$";
  int32_t status = f_UserCorvaneInit("", reply, 0);
  printf("init: %d %s\n", (int)status, reply);
  if (status != 0) return 1;
  status = f_UserCorvaneApply(250, 1.0, request, reply, "");
  printf("apply 250: %d %s\n", (int)status, reply);
  int32_t closed = f_UserCorvaneClose("", reply, NULL);
  printf("close: %d %s\n", (int)closed, reply);
  return status == 0 && closed == 0 ? 0 : 1;
}
