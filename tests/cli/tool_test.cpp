// 6271devov-tool inspect: what it reports of firmware and .pda files, and its
// exit status.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int status;
  std::string output;
};

ToolRun inspect(const std::string& arguments) {
  std::string command = std::string(DEVOV_TOOL) + " inspect " + arguments + " 2>&1";
  ToolRun run{-1, {}};
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return run;
}

class InspectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/devov-inspect-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }
  fs::path dir_;
};

TEST_F(InspectTest, DescribesTheEmbeddedStationFirmware) {
  ToolRun run = inspect("res:163");
  EXPECT_EQ(run.status, 0) << run.output;
  for (const char* line : {
           "res:163: firmware, 2170 lines\n",
           "  station: 1.5.3 (component 31)\n",
           "    Primary Firmware-Driver: Actor: Range=1..2 Variant=1\n",
           "  build sequence: 503\n",
           "  platforms: e6a1 e6a2 e6b1 e6b2\n",
           "  segments: 1\n    0x00100000  68800 bytes\n",
           "  plugs: 7\n    0x00100010  14 bytes  file name\n",
           "    0x00100070  34 bytes  PDR 0x0301\n",
           "    area 0x00100100 length 68544  marker at 0x001000fe: de c0\n",
       })
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
}

TEST_F(InspectTest, ReportsTheFailingLineAsTheLogCarriesItAndExitsOne) {
  std::string good = write("good.hex", "S70500000000FA\n");
  std::string bad = write("bad.hex", "S70500000000FA\nS30BFF200000020003000000D1\n");
  ToolRun run = inspect(good + " " + bad + " res:999");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find(good + ": firmware, 2 lines\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(bad + ": firmware, load failed\n  log:\n"
                                  "    ERROR: Line 2: Checksum failed.\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("res:999: firmware, load failed"), std::string::npos);
  EXPECT_NE(run.output.find("Internal Error - Resource could not be loaded."), std::string::npos);
  EXPECT_EQ(inspect(good).status, 0);
}

TEST_F(InspectTest, ChecksTheCrcOfAPdaFile) {
  // PDR 0x0008 with one data word, then the end record 0x0002 0x0000 and
  // the CRC-16/ARC of the bytes 02 00 08 00 b2 e6 02 00 00 00.
  const std::string crc = "0xd0b3";
  std::string good = write("good.pda", "2 8 e6b2\n2 0 " + crc + "\n");
  ToolRun run = inspect(good);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("  0x0008 L=2 e6b2\n  end record: crc " + crc + "\n  crc checks: " +
                            crc + "\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(inspect(write("bad.pda", "2 8 e6b2\n2 0 1234\n")).output.find("crc does not check"),
            std::string::npos);
  ToolRun invalid = inspect(write("invalid.pda", "12345\n"));
  EXPECT_EQ(invalid.status, 1);
  EXPECT_NE(invalid.output.find("not readable or not valid"), std::string::npos);
}

}  // namespace
