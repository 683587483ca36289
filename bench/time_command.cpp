// time_command RUNS COMMAND [ARGUMENTS...]: starts the command RUNS times,
// with its output thrown away, and prints the median wall time of one run in
// microseconds. Spawning directly keeps the measuring program's own cost out
// of the figure, the same for every command compared.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: time_command RUNS COMMAND [ARGUMENTS...]\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<long long> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[2], &actions, nullptr, argv + 2, environ) != 0) {
      std::perror(argv[2]);
      return 1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status)) {
      std::fprintf(stderr, "time_command: %s did not exit normally\n", argv[2]);
      return 1;
    }
    times.push_back(std::chrono::duration_cast<std::chrono::microseconds>(end - start).count());
  }
  std::sort(times.begin(), times.end());
  std::printf("%lld\n", times[times.size() / 2]);
  return 0;
}
