/*
 * corvane_apply.h - the interface of the CorvaneApply library for hospital
 * information systems (hosts).
 *
 * Calling convention
 *   On Windows every function uses the standard Windows convention
 *   (__stdcall: arguments pushed right to left, removed by the callee) and
 *   is exported undecorated, by name and by ordinal:
 *     1 f_SetUserTradeCfg   2 f_UserCorvaneClose
 *     3 f_UserCorvaneApply  4 f_UserCorvaneInit
 *   In the 32-bit DLL the functions remove 16, 12, 24 and 12 bytes of
 *   arguments respectively.  On Linux they are plain C functions.
 *
 * Texts
 *   Every text, in and out, is a zero-terminated string in the GBK code
 *   page (Windows code page 936).  A null input pointer is read as the
 *   empty text.  Replies are framed by "$$": "$$0~...$$" on success, and on
 *   failure "$$-1~1050%%<step>%%<code>%%错误原因:<message>$$" or the front
 *   end's own reply text.  The reply of transaction 52 is "0~~~~" without
 *   a frame.
 *
 * Reply buffers
 *   The library does not know the size of a reply buffer: it copies the
 *   whole reply followed by one zero byte, on success and on failure.  The
 *   host must provide a buffer large enough for any reply; replies carry
 *   the front end's reply fields and card data (card data alone is at
 *   least 368 bytes), and a reply has no upper bound: a server's text or
 *   a reply of several megabytes is passed on whole.  A host with a fixed
 *   buffer states its size (zero byte included) as
 *   [SYSTEM] ReplyBufferSize in TradeCfg.ini: a reply that would not fit
 *   is then replaced by a short -7009 error reply (give at least 1 KB), and
 *   the whole reply is kept in log1/CorvaneReply<stamp>.txt.
 *
 * Status
 *   0 on success, -1 on failure.  No exception or fault ever leaves these
 *   functions.
 *
 * Threads
 *   Any thread may call, one call at a time: a call from another thread
 *   waits until the running call returns.  A call made from inside a
 *   running call on the same thread (a window message handled during the
 *   settings dialog or a wait) returns -1 at once with the busy error reply
 *   -7010 and changes nothing.  Every call blocks during card and network
 *   operations.
 *
 * Order
 *   f_UserCorvaneInit once, f_UserCorvaneApply once per transaction,
 *   f_UserCorvaneClose at the end.  Only transaction 52 (the settings
 *   dialog) works without an open session.
 */
#ifndef CORVANE_APPLY_H
#define CORVANE_APPLY_H

#include <stdint.h>

#if defined(_WIN32)
#define CORVANE_CALL __stdcall
#define CORVANE_API
#elif defined(CORVANE_BUILDING_LIBRARY)
#define CORVANE_CALL
#define CORVANE_API __attribute__((visibility("default")))
#else
#define CORVANE_CALL
#define CORVANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens a session: prepares TradeCfg.ini beside the host program, loads
 * the settings and runs the business initialisation with the front end.
 * request is not used; reserved is not read.  Reply "$$0~~~~$$". */
CORVANE_API int32_t CORVANE_CALL f_UserCorvaneInit(const char* request, char* reply,
                                                   int32_t reserved);

/* Performs transaction trade_no with the host's serial number (a whole
 * number of up to 14 digits), the framed request "$$...$$" and an
 * additional field that is sent to the front end as the last field. */
CORVANE_API int32_t CORVANE_CALL f_UserCorvaneApply(int32_t trade_no, double serial,
                                                    const char* request, char* reply,
                                                    const char* extra);

/* Closes the session.  request and unused are not read.  Reply "$$0~~$$". */
CORVANE_API int32_t CORVANE_CALL f_UserCorvaneClose(const char* request, char* reply,
                                                    const char* unused);

/* Does no work: writes the empty text (one zero byte) into reply and
 * returns 0.  The settings dialog is transaction 52 of f_UserCorvaneApply. */
CORVANE_API int32_t CORVANE_CALL f_SetUserTradeCfg(int32_t unused1, int32_t unused2,
                                                   const char* unused3, char* reply);

#ifdef __cplusplus
}
#endif

#endif /* CORVANE_APPLY_H */
