// The library's face to discovery: network-class subkeys read from the
// registry per OS layout, open names mapped to adapter folders, and the
// start-up check.
#include <cstring>

#include "tests/emulator/emulator_fixture.h"

namespace devov::emulator::test {
namespace {

struct LayoutCase {
  const char* name;
  HostOptions options;
  const char* subkey;          // the default adapter's network-class subkey
  const char* class_key;       // where it stands
  const char* instance_value;  // the value that holds the instance name
  bool nt;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

const LayoutCase kLayouts[] = {
    {"nt5", {"nt", 5, 1, true}, "0000",
     "System\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}",
     "NetCfgInstanceId", true},
    {"nt4", {"nt", 4, 0, true}, "1",
     "Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", "ServiceName", true},
    {"win9x", {"9x", 4, 10, true}, "0000", "System\\CurrentControlSet\\Services\\Class\\Net",
     "DeviceVxDs", false},
};

class EmulatedLayout : public EmulatorTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(EmulatedLayout, RegistryInfoOfTheAdapterSubkeyOpensTheAdapterByTheLayoutsOpenName) {
  const LayoutCase& c = GetParam();
  make(c.options);
  // The registry holds the subkey under the layout's class key, as discovery
  // reads it.
  ASSERT_NE(registry_->node(std::string("HKEY_LOCAL_MACHINE\\") + c.class_key + "\\" + c.subkey),
            nullptr);

  std::uint8_t record[platform::kAdapterRecordSize];
  std::memset(record, 0x55, sizeof record);
  ASSERT_EQ(library_->get_adapter_registry_info(record, c.subkey), 0u);
  EXPECT_STREQ(reinterpret_cast<char*>(record), "Velk 6271 Wireless USB Adapter");
  const std::string instance =
      reinterpret_cast<char*>(record + platform::kAdapterRecordInstanceOffset);
  const auto* value = registry_->node(std::string("HKEY_LOCAL_MACHINE\\") + c.class_key + "\\" +
                                      c.subkey)
                          ->value(c.instance_value);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(instance + '\0', std::string(value->begin(), value->end()));

  // The open name as discovery builds it: "\Device\" + instance on NT, the
  // subkey itself on 9x.
  const std::string open_name = c.nt ? "\\Device\\" + instance : c.subkey;
  const auto handle = library_->open_adapter(open_name.c_str());
  ASSERT_NE(handle, platform::kInvalidAdapter);
  EXPECT_EQ(last_trace(), "open name=\"" + open_name + "\" handle=" + std::to_string(handle));
  library_->close_adapter(handle);
  EXPECT_EQ(last_trace(), "close handle=" + std::to_string(handle));
}

TEST_P(EmulatedLayout, SubkeysThatAreNotAdaptersAndNamesThatDesignateNoneFail) {
  const LayoutCase& c = GetParam();
  make(c.options);
  // A subkey without the adapter's values, as NT 5 keeps "Properties".
  registry_->parse(std::string("[HKEY_LOCAL_MACHINE\\") + c.class_key +
                   "\\Properties]\n\"Other\"=\"x\"\n");
  std::uint8_t record[platform::kAdapterRecordSize];
  EXPECT_NE(library_->get_adapter_registry_info(record, "Properties"), 0u);
  EXPECT_EQ(record[0], 0);
  EXPECT_NE(library_->get_adapter_registry_info(record, "0042"), 0u);

  for (const char* name : {"\\Device\\{00000000-0000-0000-0000-000000000000}", "0042", "",
                           "\\Device\\"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(library_->open_adapter(name), platform::kInvalidAdapter);
    EXPECT_EQ(library_->get_last_error(), kErrorFileNotFound);
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, EmulatedLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EmulatorTest, NtOpenNamesNeedTheDevicePrefixAndIgnoreCase) {
  make();
  const auto d = default_adapter_description(read_host_config(folder_));
  EXPECT_EQ(library_->open_adapter(d.instance_name.c_str()), platform::kInvalidAdapter);
  std::string lower = "\\device\\" + d.instance_name;
  for (auto& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  EXPECT_NE(library_->open_adapter(lower.c_str()), platform::kInvalidAdapter);
}

TEST_F(EmulatorTest, TheStartUpCheckAnswersTheHostsLibraryCheckAndABrokenLibraryOpensNothing) {
  make();
  EXPECT_EQ(library_->open_adapter("Check for VXD..."), platform::kInvalidAdapter);
  EXPECT_EQ(library_->get_last_error(), 6u);

  std::ofstream(folder_ + "/host.conf", std::ios::app) << "library_check = 5\n";
  reload();
  EXPECT_EQ(library_->open_adapter("Check for VXD..."), platform::kInvalidAdapter);
  EXPECT_EQ(library_->get_last_error(), 5u);
  EXPECT_EQ(open_default(), platform::kInvalidAdapter);
  EXPECT_EQ(library_->get_last_error(), 5u);
}

TEST_F(EmulatorTest, TwoAdaptersOpenByTheirOwnNamesAndKeepTheirOwnTraces) {
  make();
  std::string error;
  AdapterDescription second;
  second.display_name = "Second adapter";
  ASSERT_TRUE(add_adapter(folder_, "second", second, ProductionData{}, error)) << error;
  reload();

  std::uint8_t record[platform::kAdapterRecordSize];
  ASSERT_EQ(library_->get_adapter_registry_info(record, "0001"), 0u);
  EXPECT_STREQ(reinterpret_cast<char*>(record), "Second adapter");
  const std::string name =
      std::string("\\Device\\") +
      reinterpret_cast<char*>(record + platform::kAdapterRecordInstanceOffset);
  handle_ = library_->open_adapter(name.c_str());
  ASSERT_NE(handle_, platform::kInvalidAdapter);
  EXPECT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(read_lines(adapter_path(kTraceFileName, "second")).size(), 2u);
  EXPECT_TRUE(trace().empty());
}

TEST_F(EmulatorTest, AHostWithoutAFolderKnowsNoAdapter) {
  EmulatedLibrary bare(HostConfig{});
  std::uint8_t record[platform::kAdapterRecordSize];
  EXPECT_NE(bare.get_adapter_registry_info(record, "0000"), 0u);
  EXPECT_EQ(bare.open_adapter("\\Device\\anything"), platform::kInvalidAdapter);
  EXPECT_EQ(bare.get_last_error(), kErrorFileNotFound);
}

TEST_F(EmulatorTest, RequestsOnAClosedHandleFailWithInvalidHandle) {
  make();
  open();
  library_->close_adapter(handle_);
  EXPECT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_FAILURE);
  EXPECT_EQ(library_->get_last_error(), kErrorInvalidHandle);
}

}  // namespace
}  // namespace devov::emulator::test
