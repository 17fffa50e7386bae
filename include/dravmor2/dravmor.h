/* dravmor.h: the C entry point of the Dravmor data engine.
 *
 * A session holds server objects and the database connection for as long as
 * it is open. Requests are JSON-RPC 2.0 texts exactly as `dravmor serve`
 * reads them (methods "new", "call" and "release"; see docs/embedding.md),
 * and each answer is what `dravmor serve` would write for it: the
 * notifications the call raised, then the response, one JSON object per
 * line, separated by "\n".
 *
 * Ownership: every char* the library returns is the caller's, freed with
 * dravmor_free. Threads: a session is used on the thread that opened it (the
 * engine keeps one connection per thread), and a thread has one session
 * open at a time. Callbacks run on that thread, inside dravmor_request.
 * Nothing here throws or aborts: failures are NULL or JSON-RPC errors.
 */
#ifndef DRAVMOR2_DRAVMOR_H
#define DRAVMOR2_DRAVMOR_H

#if defined(__GNUC__)
#define DRAVMOR_API __attribute__((visibility("default")))
#else
#define DRAVMOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct dravmor_session dravmor_session;

/* The library's version, "2.0.0". */
DRAVMOR_API const char* dravmor_version(void);

/* Opens a session on a database: a shop file made by `dravmor init`, or a
 * PostgreSQL connection string. NULL when it cannot open; dravmor_errmsg
 * then says why. */
DRAVMOR_API dravmor_session* dravmor_open(const char* connection);

/* Why the last dravmor_open of this thread failed ("" when it did not).
 * The text belongs to the library and lives until the next dravmor_open. */
DRAVMOR_API const char* dravmor_errmsg(void);

/* Runs one JSON-RPC request. Returns the lines `dravmor serve` would write
 * for it, or NULL when session or request is NULL. A request without an
 * id (a notification) has no response line. */
DRAVMOR_API char* dravmor_request(dravmor_session* session, const char* request);

/* Frees a text the library returned; NULL is allowed. */
DRAVMOR_API void dravmor_free(char* text);

/* Releases every object of the session and closes its connection. */
DRAVMOR_API void dravmor_close(dravmor_session* session);

/* Called with each notification line (an event, a message) the moment the
 * engine raises it, while dravmor_request runs; the line is also part of
 * the text dravmor_request returns. NULL removes the callback. */
typedef void (*dravmor_event_callback)(void* context, const char* notification);
DRAVMOR_API void dravmor_on_event(dravmor_session* session, dravmor_event_callback callback,
                                  void* context);

/* Called with a Yes/No question the request's "answers" did not cover, as
 * the JSON params {"object","title","text"}. Return 1 for yes, 0 for no,
 * -1 for no answer. Without a callback, or with -1, the question is taken
 * as No and the call fails, as a script step without an answer does. */
typedef int (*dravmor_question_callback)(void* context, const char* question);
DRAVMOR_API void dravmor_on_question(dravmor_session* session,
                                     dravmor_question_callback callback, void* context);

#ifdef __cplusplus
}
#endif

#endif /* DRAVMOR2_DRAVMOR_H */
