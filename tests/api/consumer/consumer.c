/* A program that uses the installed package: opens the database named on
 * the command line, lists the factories and prints the answer. */
#include <dravmor2/dravmor.h>
#include <stdio.h>
#include <string.h>

static int events = 0;

static void count_event(void* context, const char* notification) {
  (void)context;
  if (strstr(notification, "\"method\":\"event\"")) ++events;
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  dravmor_session* session = dravmor_open(argv[1]);
  if (!session) {
    fprintf(stderr, "cannot open: %s\n", dravmor_errmsg());
    return 1;
  }
  dravmor_on_event(session, count_event, NULL);
  const char* requests[] = {
      "{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"new\",\"params\":{\"new\":\"f\",\"class\":\"ServerForFactory\"}}",
      "{\"jsonrpc\":\"2.0\",\"id\":2,\"method\":\"call\",\"params\":{\"call\":\"f.Connect\",\"args\":[\"\"]}}",
      "{\"jsonrpc\":\"2.0\",\"id\":3,\"method\":\"call\",\"params\":{\"call\":\"f.GetFactory\",\"args\":[\"\",2,2]}}"};
  char* answer = NULL;
  for (int i = 0; i < 3; ++i) {
    dravmor_free(answer);
    answer = dravmor_request(session, requests[i]);
  }
  int ok = answer && strstr(answer, "\"id\":3,\"result\"") && events == 1;
  printf("%s %s\n", dravmor_version(), answer ? answer : "(null)");
  dravmor_free(answer);
  dravmor_close(session);
  return ok ? 0 : 1;
}
