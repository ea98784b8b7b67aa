/* Runs a command and reports its wall time and peak memory, for the
   comparison script: finer than GNU time's hundredths of a second, which
   matter for runs of a few milliseconds.

     run_stat OUT CMD [ARG]...

   CMD inherits standard input, output and error. OUT gets one line:
   "SECONDS MAX_RSS_KIB", the time from before the fork to after the wait and
   the child's peak resident size. The exit status is the command's (128 + the
   signal's number when a signal ended it; 127 when it could not start). */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
  struct timespec t0, t1;
  struct rusage usage;
  int status;
  pid_t child;
  FILE* out;
  if (argc < 3) {
    fputs("usage: run_stat OUT CMD [ARG]...\n", stderr);
    return 2;
  }
  clock_gettime(CLOCK_MONOTONIC, &t0);
  child = fork();
  if (child < 0) {
    perror("run_stat: fork");
    return 127;
  }
  if (child == 0) {
    execvp(argv[2], argv + 2);
    perror(argv[2]);
    _exit(127);
  }
  if (wait4(child, &status, 0, &usage) < 0) {
    perror("run_stat: wait4");
    return 127;
  }
  clock_gettime(CLOCK_MONOTONIC, &t1);
  out = fopen(argv[1], "w");
  if (!out) {
    perror(argv[1]);
    return 127;
  }
  fprintf(out, "%.6f %ld\n",
          (double)(t1.tv_sec - t0.tv_sec) + (double)(t1.tv_nsec - t0.tv_nsec) / 1e9,
          usage.ru_maxrss);
  if (fclose(out) != 0) {
    perror(argv[1]);
    return 127;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
