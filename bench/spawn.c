/* Runs one program and prints its wall time in nanoseconds, its peak resident
 * set in KiB and its exit code (-1 after a timeout, -2 when it cannot start).
 * The benchmark starts programs through this small process, since a child
 * forked from a large process inherits that process's peak in its rusage.
 * Usage: spawn TIMEOUT_SECONDS PROGRAM [ARGUMENT...] */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static pid_t child;
static volatile sig_atomic_t timed_out;

static void on_alarm(int signal_number) {
  (void)signal_number;
  timed_out = 1;
  kill(-child, SIGKILL);
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: spawn TIMEOUT_SECONDS PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  unsigned timeout = (unsigned)strtoul(argv[1], NULL, 10);
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  child = fork();
  if (child == 0) {
    setpgid(0, 0);
    int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    dup2(null_fd, 2);
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  if (child < 0) {
    printf("0 0 -2\n");
    return 0;
  }
  setpgid(child, child);
  signal(SIGALRM, on_alarm);
  if (timeout > 0) alarm(timeout);
  int status = 0;
  struct rusage usage;
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      printf("0 0 -2\n");
      return 0;
    }
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  long long ns = (end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
  int code = timed_out ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  printf("%lld %ld %d\n", ns, usage.ru_maxrss, code);
  return 0;
}
