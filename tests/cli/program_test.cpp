// The POSIX program against a temporary virtual host: what the log, the
// terminal and the exit status show.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// One run of the program, with a pipe on each of standard input and output.
class Program {
 public:
  Program(const fs::path& host, std::vector<std::string> args,
          std::vector<std::string> extra_env = {}) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(out[1], 2);
      close(in[1]);
      close(out[0]);
      setenv("DEVOV_PREFIX", host.c_str(), 1);
      for (const auto& e : extra_env) putenv(const_cast<char*>(e.c_str()));
      std::vector<char*> argv;
      args.insert(args.begin(), DEVOV_PROGRAM);
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
    fcntl(output_, F_SETFL, O_NONBLOCK);
  }
  ~Program() {
    if (input_ >= 0) close(input_);
    if (pid_ > 0 && !finished_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(output_);
  }

  void type(const std::string& keys) {
    ASSERT_EQ(write(input_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  void close_input() {
    close(input_);
    input_ = -1;
  }

  // Collects output until the text appears or the time runs out.
  bool wait_for_output(const std::string& text, int seconds = 10) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (output_text_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > until) return false;
      drain(100);
    }
    return true;
  }

  // Waits for the exit and answers the status, or -1 after the time-out.
  int wait_exit(int seconds = 20) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until) {
      drain(50);
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        finished_ = true;
        drain(0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
    }
    return -1;
  }

  const std::string& output() const { return output_text_; }

 private:
  void drain(int timeout_ms) {
    pollfd fd{output_, POLLIN, 0};
    poll(&fd, 1, timeout_ms);
    char buffer[4096];
    ssize_t n;
    while ((n = read(output_, buffer, sizeof buffer)) > 0) output_text_.append(buffer, n);
  }

  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  bool finished_ = false;
  std::string output_text_;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/devov-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    host_ = root_ / "host";
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path log_path() const { return host_ / "drive_c" / "flash.log"; }
  std::string log() const { return read_file(log_path()); }
  void set_host(const std::string& line) {
    fs::create_directories(host_);
    std::ofstream(host_ / "host.conf", std::ios::app) << line << "\n";
  }

  fs::path root_;
  fs::path host_;
};

const std::string kStartLines =
    "6271DEVOVVersion 0\\.6\\.16 \\([A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}\\)\n"
    "Time of flash utility execution: (Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|"
    "Saturday), (January|February|March|April|May|June|July|August|September|October|"
    "November|December) [0-9]{2}, [0-9]{4}  [0-9]{2}:[0-9]{2}:[0-9]{2}\n";

TEST_F(ProgramTest, QuietRunLogsStartUpAndEchoAndTwoRunsAppend) {
  for (int run = 1; run <= 2; ++run) {
    Program program(host_, {"-quiet", "-repeat", "2"});
    EXPECT_EQ(program.wait_exit(), 1) << program.output();
    // Quiet mode draws nothing.
    EXPECT_EQ(program.output(), "");
  }
  const std::string one_run = kStartLines + "Command Line: " + DEVOV_PROGRAM +
                              " -quiet -repeat2\n\n";
  EXPECT_TRUE(std::regex_match(log(), std::regex(one_run + one_run))) << log();
}

TEST_F(ProgramTest, FailedLibraryCheckOffersOnlyExitEvenWhenQuiet) {
  struct Case {
    std::string library_check;
    std::string box;
  };
  const Case cases[] = {
      {"2", "Startup Error:Error loading system files: File Not Found."},
      {"0x1F", "Unable to load necessary system files.:W32N error code: 1F"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library_check);
    fs::remove_all(host_);
    set_host("library_check = " + c.library_check);
    Program program(host_, {"-quiet", "x.hex"});
    const std::string box_text = c.box.substr(c.box.find(':') + 1);
    ASSERT_TRUE(program.wait_for_output(box_text)) << program.output();
    program.type("\n");
    ASSERT_TRUE(program.wait_for_output("Keys: x = Exit")) << program.output();
    EXPECT_NE(program.output().find("Could not find/load the necessary"), std::string::npos);
    // Continue is disabled: its key does nothing and the dialog stays.
    program.type("c\n");
    program.type("x\n");
    EXPECT_EQ(program.wait_exit(), 1);
    EXPECT_TRUE(std::regex_match(log(), std::regex(kStartLines + std::regex_replace(
        c.box, std::regex(R"([.()])"), R"(\$&)") + "\n")))
        << log();
  }
}

TEST_F(ProgramTest, SecondInstanceHandsItsArgumentsToTheFirst) {
  const fs::path dump = root_ / "dialog.txt";
  Program first(host_, {}, {"DEVOV_VIEW_DUMP=" + dump.string()});
  ASSERT_TRUE(first.wait_for_output("Keys: c = Continue")) << first.output();
  const auto log_before = log();

  Program second(host_, {"x.hex", "-quiet"});
  EXPECT_EQ(second.wait_exit(), 0);
  EXPECT_EQ(second.output(), "");
  EXPECT_EQ(log(), log_before);

  // The first instance has queued both texts, in order, as files.
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string rows;
  while (std::chrono::steady_clock::now() < until) {
    rows = read_file(dump);
    if (rows.find("| -quiet") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_NE(rows.find("row 1040 image=1 data=0 |  | x.hex\nrow 1040 image=1 data=0 |  | -quiet\n"),
            std::string::npos)
      << rows;

  first.type("x\n");
  EXPECT_EQ(first.wait_exit(), 1);
}

// A person's way to the adapter on the terminal: detect, select the first
// adapter, ask for the driver version; the emulated adapter's trace and an
// injected fault show through.
TEST_F(ProgramTest, TerminalKeysReachTheAdapterAndItsTrace) {
  const std::string tool = DEVOV_TOOL;
  ASSERT_EQ(std::system((tool + " host new " + host_.string() + " >/dev/null").c_str()), 0);
  {
    Program program(host_, {});
    ASSERT_TRUE(program.wait_for_output("Also: d = Detect Adapters")) << program.output();
    program.type("d\ns\nv\n");
    ASSERT_TRUE(program.wait_for_output("| Version: 1. 2. 3")) << program.output();
    program.type("\nx\n");
    EXPECT_EQ(program.wait_exit(), 1);
  }
  const std::string text = log();
  for (const char* line : {"Adapter Enum=0000  Adapter Name= Velk 6271 Wireless USB Adapter\n",
                           "Selected Adapter: Velk 6271 Wireless USB Adapter\n",
                           "  Current firmware version: Primary: 1.1.3   Station: 1.4.0\n",
                           "End Select Adapter: Appropriate adapter found!\n",
                           "Driver Version for Selected Card:Version: 1. 2. 3\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  const std::string trace = read_file(host_ / "adapters" / "default" / "trace.log");
  EXPECT_NE(trace.find("request set oid=0xFF010184 len=0 status=0x00000000"), std::string::npos)
      << trace;
  EXPECT_NE(trace.find("oid=0x00010116"), std::string::npos) << trace;

  // A driver too old for updating: the selection says so in its boxes (one
  // for each of its two driver checks).
  ASSERT_EQ(std::system((tool + " adapter set " + host_.string() +
                         " default driver_version=0x80010203 >/dev/null").c_str()),
            0);
  Program again(host_, {});
  ASSERT_TRUE(again.wait_for_output("Also: d = Detect Adapters")) << again.output();
  again.type("d\ns\n");
  EXPECT_TRUE(again.wait_for_output("This program requires a newer driver version"))
      << again.output();
  again.type("\n\nx\n");
  EXPECT_EQ(again.wait_exit(), 1);
}

TEST_F(ProgramTest, ClosedInputIsACloseRequest) {
  Program program(host_, {});
  ASSERT_TRUE(program.wait_for_output("Keys: c = Continue   x = Cancel")) << program.output();
  program.close_input();
  EXPECT_EQ(program.wait_exit(), 1);
}

}  // namespace
