// 6271devov-tool's host and adapter commands, run as a person runs them, and
// the hosts they make opened by a fresh library.
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "tests/emulator/emulator_fixture.h"

namespace devov::emulator::test {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

ToolRun tool(const std::string& arguments) {
  ToolRun run{-1, {}};
  FILE* pipe = popen((std::string(DEVOV_TOOL_PATH) + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST_F(EmulatorTest, HostNewMakesAHostWhoseDefaultAdapterAFreshLibraryOpens) {
  const ToolRun made = tool("host new " + folder_);
  ASSERT_EQ(made.status, 0) << made.out;
  EXPECT_EQ(made.out, "virtual host " + folder_ + ": nt 5.1, adapter default\n");
  reload();

  std::uint8_t record[platform::kAdapterRecordSize];
  ASSERT_EQ(library_->get_adapter_registry_info(record, "0000"), 0u);
  handle_ = library_->open_adapter(
      (std::string("\\Device\\") +
       reinterpret_cast<char*>(record + platform::kAdapterRecordInstanceOffset))
          .c_str());
  ASSERT_NE(handle_, platform::kInvalidAdapter);
  ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  std::vector<std::uint8_t> pda;
  ASSERT_EQ(aux_read(0x7F0000, 6, pda), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(pda[2] | pda[3] << 8, 0x0001);  // the part number comes first

  const ToolRun again = tool("host new " + folder_);
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.out.find("already holds a virtual host"), std::string::npos);
}

TEST_F(EmulatorTest, HostNewTakesTheOsLayout) {
  ASSERT_EQ(tool("host new --os 9x " + folder_).status, 0);
  EXPECT_EQ(read_host_config(folder_).os_family, "9x");
  reload();
  EXPECT_NE(registry_->node(
                "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net\\0000"),
            nullptr);
  EXPECT_NE(library_->open_adapter("0000"), platform::kInvalidAdapter);
  EXPECT_EQ(tool("host new --os nt3 " + folder_ + "-x").status, 1);
}

TEST_F(EmulatorTest, AdapterAddTakesDescriptionAndProductionKeysAndShowTellsTheState) {
  ASSERT_EQ(tool("host new --no-adapter " + folder_).status, 0);
  const ToolRun added = tool("adapter add " + folder_ +
                         " small platform_type=1 primary=1.0.7 serial_number=SN42 "
                         "regulatory_domain=0x40 pda_b=erased");
  ASSERT_EQ(added.status, 0) << added.out;
  EXPECT_EQ(tool("adapter add " + folder_ + " other platfrom_type=1").status, 1);

  const ToolRun shown = tool("adapter show " + folder_ + " small");
  ASSERT_EQ(shown.status, 0) << shown.out;
  for (const char* line : {
           "  platform_type = 1\n",
           "  RID_PRI_IDENTITY 0xFD02: primary 1.0.7 (from the description)\n",
           "PDA copy A at 0x3F0000 in flash.bin: sound, CRC ",
           "  PDR 0x0003 L 7: serial number \"SN42\"\n",
           "  PDR 0x0008 L 5: platform id 0xE6B1\n",
           "  PDR 0x0103 L 7: regulatory domain 0x40\n",
           "  reads answer it erased (fault)\n",
           "flash regions not erased:\n  0x3F0000-",
       })
    EXPECT_NE(shown.out.find(line), std::string::npos) << line << "\n" << shown.out;
}

TEST_F(EmulatorTest, AdapterShowFindsTheIdentityBlocksAndTraceShowsWhatWasSent) {
  make();
  open();
  open_write_session();
  std::vector<std::uint8_t> block(32, 0);
  const char marker[] = "6271FWID";
  std::copy(marker, marker + 8, block.begin());
  block[8] = 31;
  block[10] = 1;
  block[12] = 5;
  block[14] = 3;
  const char name[] = "SU010503.HEX";
  std::copy(name, name + 12, block.begin() + 16);
  ASSERT_EQ(aux_write(0x100000, block), NDIS_STATUS_SUCCESS);

  const ToolRun shown = tool("adapter show " + folder_ + " default");
  EXPECT_NE(shown.out.find("  RID_STA_IDENTITY 0xFD20: station 1.5.3 (from the identity block "
                           "in flash)\n"),
            std::string::npos)
      << shown.out;
  EXPECT_NE(shown.out.find("  0x100000-0x10001F  32 bytes  identity block at 0x100000: "
                           "component 31 1.5.3 \"SU010503.HEX\"\n"),
            std::string::npos)
      << shown.out;

  const ToolRun traced = tool("adapter trace " + folder_ + " default");
  ASSERT_EQ(traced.status, 0);
  std::string expected;
  for (const auto& line : trace()) expected += line + "\n";
  EXPECT_EQ(traced.out, expected);
  EXPECT_NE(traced.out.find("request set oid=0xFF01018C len=38 addr=0x00100000 n=32 "
                            "status=0x00000000\n"),
            std::string::npos);
  ASSERT_EQ(tool("adapter trace " + folder_ + " default --clear").status, 0);
  EXPECT_TRUE(trace().empty());
}

TEST_F(EmulatorTest, AdapterSetChangesTheDescriptionButNotTheRegistryIdentity) {
  make();
  ASSERT_EQ(tool("adapter set " + folder_ + " default fault_rid_length_zero=0xFD20 disabled=yes")
                .status,
            0);
  AdapterDescription d;
  std::string error;
  ASSERT_TRUE(read_adapter_description(adapter_path(kDescriptionFileName), d, error)) << error;
  EXPECT_EQ(d.rid_length_zero, std::vector<std::uint16_t>{0xFD20});
  EXPECT_TRUE(d.disabled);
  // system.reg alone, as regedit would import it, carries the flag too.
  RegistryFile plain;
  ASSERT_TRUE(plain.load(folder_ + "/system.reg"));
  const auto* key = plain.node(
      "HKEY_LOCAL_MACHINE\\system\\CurrentControlSet\\Hardware Profiles\\Current\\System\\"
      "CurrentControlSet\\Enum\\usb\\vid_6271&pid_0001\\VLK000001");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->value("CSConfigFlags")->at(0), 1);

  EXPECT_EQ(tool("adapter set " + folder_ + " default class_subkey=0009").status, 1);
}

}  // namespace
}  // namespace devov::emulator::test
