// Adapter discovery over .reg fixtures: which network-class key each
// operating system reads, the enumeration and its log, the open names, the
// name-size rules, and the hardware-profile scan with its PCI lookup.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "adapter/discovery.h"
#include "platform/view_state.h"
#include "resources/resource_ids.h"
#include "tests/adapter/adapter_fixture.h"

namespace devov::test {
namespace {

constexpr const char* k9xClassKey = "System\\CurrentControlSet\\Services\\Class\\Net";
constexpr const char* kNt4ClassKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kNtEnum =
    "HKEY_LOCAL_MACHINE\\system\\CurrentControlSet\\Hardware Profiles\\Current\\System\\"
    "CurrentControlSet\\Enum";

std::string key_line(const std::string& path) { return "[" + path + "]\n"; }
std::string class_subkey(const char* class_key, const std::string& subkey) {
  return key_line(std::string("HKEY_LOCAL_MACHINE\\") + class_key + "\\" + subkey);
}

class Discovery : public AdapterTest {
 protected:
  // The list entries as text and item datum.
  std::vector<std::pair<std::string, std::intptr_t>> entries() {
    std::vector<std::pair<std::string, std::intptr_t>> found;
    for (int i = 0; i < view.list_count(IDC_ADAPTER_LIST); ++i)
      found.emplace_back(view.list_text(IDC_ADAPTER_LIST, i),
                         view.list_item_data(IDC_ADAPTER_LIST, i));
    return found;
  }

  // resolve_adapter with what it writes to standard output.
  bool resolve(std::int32_t index, std::string& open_name, std::string& printed) {
    testing::internal::CaptureStdout();
    const bool ok = resolve_adapter(index, open_name);
    printed = testing::internal::GetCapturedStdout();
    return ok;
  }

  platform::ViewState view;
};

// ---- Which key each operating system reads ----

struct LayoutCase {
  const char* name;
  bool nt;
  std::uint32_t major;
  const char* key;
  const char* display_name;
  const char* open_name;
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

const LayoutCase kLayouts[] = {
    {"Windows9xWhateverItsVersion", false, 5, k9xClassKey, "Adapter 9x", "0001"},
    {"Nt4", true, 4, kNt4ClassKey, "Adapter NT4", "\\Device\\NdisService2"},
    {"Nt5", true, 5, kNt5ClassKey, "Adapter NT5", "\\Device\\{GUID-5}"},
    {"Nt6", true, 6, kNt5ClassKey, "Adapter NT5", "\\Device\\{GUID-5}"},
    {"VersionWithBit31ComparesUnsigned", true, 0x80000000u, kNt5ClassKey, "Adapter NT5",
     "\\Device\\{GUID-5}"},
};

class DiscoveryLayout : public Discovery, public testing::WithParamInterface<LayoutCase> {};

TEST_P(DiscoveryLayout, ReadsTheNetworkClassKeyOfTheOperatingSystem) {
  const LayoutCase& c = GetParam();
  // All three keys exist, each with an adapter of its own.
  load_registry("REGEDIT4\n\n" + class_subkey(k9xClassKey, "0001") +
                class_subkey(kNt4ClassKey, "2") + class_subkey(kNt5ClassKey, "0007"));
  library.nt = c.nt;
  library.major_version = c.major;
  library.adapters["0001"] = {"Adapter 9x", "NETDRV.SYS"};
  library.adapters["2"] = {"Adapter NT4", "NdisService2"};
  library.adapters["0007"] = {"Adapter NT5", "{GUID-5}"};

  enumerate_adapters(view, IDC_ADAPTER_LIST);
  EXPECT_EQ(entries(), (std::vector<std::pair<std::string, std::intptr_t>>{{c.display_name, 0}}));
  EXPECT_NE(log_text().find(std::string("Registry Path =") + c.key + "\n"), std::string::npos)
      << log_text();

  std::string open_name, printed;
  ASSERT_TRUE(resolve(0, open_name, printed));
  EXPECT_EQ(open_name, c.open_name);
  EXPECT_EQ(printed, std::string("Adapter Names : ") + c.display_name + "\n");
  EXPECT_EQ(keys_left_open(), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DiscoveryLayout, testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Enumeration ----

TEST_F(Discovery, StopsAtTheFirstSubkeyTheLibraryDoesNotKnowAndLogsEachStep) {
  load_registry("REGEDIT4\n\n" + class_subkey(kNt5ClassKey, "0000") +
                class_subkey(kNt5ClassKey, "0001") + class_subkey(kNt5ClassKey, "0002") +
                class_subkey(kNt5ClassKey, "0003"));
  library.adapters["0000"] = {"First %s Adapter", "{A}"};
  library.adapters["0001"] = {"Second", "{B}"};
  library.adapters["0003"] = {"Behind the unknown one", "{D}"};

  EXPECT_TRUE(enumerate_adapters(view, IDC_ADAPTER_LIST));

  EXPECT_EQ(entries(), (std::vector<std::pair<std::string, std::intptr_t>>{
                           {"First %s Adapter", 0}, {"Second", 1}}));
  EXPECT_EQ(log_text(), std::string("Results of search for Net Adapters:\n"
                                    "Registry Path =") +
                            kNt5ClassKey +
                            "\n"
                            "Adapter Enum=0000  Adapter Name= First %s Adapter\n"
                            "Adapter Enum=0001  Adapter Name= Second\n"
                            "Adapter Enum=0002End results of search for Net Adapters.\n\n");
  EXPECT_EQ(library.calls, (std::vector<std::string>{
                               "os_get_platform_version 2", "get_adapter_registry_info 0000",
                               "get_adapter_registry_info 0001",
                               "get_adapter_registry_info 0002"}));
  EXPECT_EQ(keys_left_open(), 0);
}

TEST_F(Discovery, AMissingOrEmptyClassKeyListsNothingBetweenTheTwoLines) {
  const std::string expected = std::string("Results of search for Net Adapters:\nRegistry Path =") +
                               kNt5ClassKey + "\nEnd results of search for Net Adapters.\n\n";
  enumerate_adapters(view, IDC_ADAPTER_LIST);
  EXPECT_EQ(log_text(), expected);

  load_registry("REGEDIT4\n\n" + key_line(std::string("HKEY_LOCAL_MACHINE\\") + kNt5ClassKey));
  enumerate_adapters(view, IDC_ADAPTER_LIST);
  EXPECT_EQ(log_text(), expected + expected);
  EXPECT_TRUE(entries().empty());
  EXPECT_EQ(keys_left_open(), 0);
}

// ---- Resolving a list index ----

TEST_F(Discovery, NtOpenNameIsTheDeviceInstanceCutTo79Characters) {
  add_one_adapter();
  const std::string instance(100, 'g');
  library.adapters["0000"].instance_name = instance;
  std::string open_name, printed;
  ASSERT_TRUE(resolve(0, open_name, printed));
  EXPECT_EQ(open_name, ("\\Device\\" + instance).substr(0, 79));
  EXPECT_EQ(open_name.size(), 79u);
}

TEST_F(Discovery, NameRulesDecideWhichIndexesResolve) {
  // Subkey names of 15 and 16 characters: enumeration reads both, resolving
  // fits only the shorter one.
  load_registry("REGEDIT4\n\n" + class_subkey(kNt5ClassKey, "A23456789012345") +
                class_subkey(kNt5ClassKey, "B234567890123456"));
  library.adapters["A23456789012345"] = {"Fifteen", "{15}"};
  library.adapters["B234567890123456"] = {"Sixteen", "{16}"};

  enumerate_adapters(view, IDC_ADAPTER_LIST);
  EXPECT_EQ(entries().size(), 2u);

  struct Case {
    std::int32_t index;
    bool resolves;
  };
  for (const Case c : {Case{0, true}, Case{1, false}, Case{2, false}, Case{-1, false}}) {
    std::string open_name = "unchanged", printed;
    EXPECT_EQ(resolve(c.index, open_name, printed), c.resolves) << c.index;
    EXPECT_EQ(printed.empty(), !c.resolves) << c.index;
  }
  EXPECT_EQ(keys_left_open(), 0);
}

TEST_F(Discovery, ADisabledAdapterDoesNotResolve) {
  add_one_adapter();
  load_registry(key_line(std::string(kNtEnum) + "\\usb\\vid_6271&pid_0001\\5&1") +
                "\"CSConfigFlags\"=dword:00000001\n");
  std::string open_name, printed;
  EXPECT_FALSE(resolve(0, open_name, printed));
  EXPECT_EQ(printed, "");
  EXPECT_EQ(log_text(), "Disabled adapter detected.\n");
  EXPECT_EQ(keys_left_open(), 0);
}

// ---- The hardware-profile scan ----

struct EnabledCase {
  const char* name;
  bool nt;
  std::string registry;  // below the adapter's class subkey 0000
  bool enabled;
  std::string log;
};

void PrintTo(const EnabledCase& c, std::ostream* out) { *out << c.name; }

const std::string kUsbId = "\"MatchingDeviceId\"=\"usb\\\\vid_6271&pid_0001\"\n";
const std::string kUsbDevice = std::string(kNtEnum) + "\\usb\\vid_6271&pid_0001";
const std::string kPciId = "\"MatchingDeviceId\"=\"PCI\\\\VEN_1260&DEV_3873\"\n";
const std::string kPciRoot = std::string(kNtEnum) + "\\pci";

const EnabledCase kEnabledCases[] = {
    {"NoMatchingDeviceIdCountsAsEnabled", true, "", true, ""},
    {"NoDeviceKeyCountsAsEnabled", true, kUsbId, true, ""},
    {"AnInstanceWithBitZeroSetDisables", true,
     kUsbId + key_line(kUsbDevice + "\\5&1") + "\"CSConfigFlags\"=dword:00000001\n", false,
     "Disabled adapter detected.\n"},
    {"OneOfTwoInstancesDisabledDisables", true,
     kUsbId + key_line(kUsbDevice + "\\5&1") + "\"CSConfigFlags\"=dword:00000000\n" +
         key_line(kUsbDevice + "\\5&2") + "\"CSConfigFlags\"=dword:00000001\n",
     false, "Disabled adapter detected.\n"},
    {"EveryDisabledInstanceIsLogged", true,
     kUsbId + key_line(kUsbDevice + "\\5&1") + "\"CSConfigFlags\"=hex:03\n" +
         key_line(kUsbDevice + "\\5&2") + "\"CSConfigFlags\"=dword:00000001\n",
     false, "Disabled adapter detected.\nDisabled adapter detected.\n"},
    {"AnInstanceWithoutFlagsEndsTheScan", true,
     kUsbId + key_line(kUsbDevice + "\\5&1") + key_line(kUsbDevice + "\\5&2") +
         "\"CSConfigFlags\"=dword:00000001\n",
     true, ""},
    {"OnlyBitZeroOfTheFirstByteCounts", true,
     kUsbId + key_line(kUsbDevice + "\\5&1") + "\"CSConfigFlags\"=hex:fe,01,01,01\n", true, ""},
    {"Windows9xReadsTheCurrentConfiguration", false,
     kUsbId + key_line("HKEY_CURRENT_CONFIG\\Enum\\usb\\vid_6271&pid_0001\\5&1") +
         "\"CSConfigFlags\"=hex:01,00,00,00\n",
     false, "Disabled adapter detected.\n"},
    {"PciIdTakesTheMatchingKeyThatSortsLast", true,
     kPciId + key_line(kPciRoot + "\\VEN_1260&DEV_3873&SUBSYS_A\\1") +
         "\"CSConfigFlags\"=dword:00000000\n" +
         key_line(kPciRoot + "\\ven_1260&dev_3873&subsys_b\\1") +
         "\"CSConfigFlags\"=dword:00000001\n" + key_line(kPciRoot + "\\VEN_1260&DEV_9999\\1") +
         "\"CSConfigFlags\"=dword:00000000\n",
     false,
     "Found PCI Device VEN_1260&DEV_3873&SUBSYS_A\n"
     "Found PCI Device ven_1260&dev_3873&subsys_b\n"
     "Disabled adapter detected.\n"},
    // The names compare as the C library's case-blind comparison does, with
    // letters folded to lower case: "_" sorts before "a", though the
    // registry lists "XA" first.
    {"PciNamesCompareFoldedToLowerCase", true,
     kPciId + key_line(kPciRoot + "\\VEN_1260&DEV_3873&XA\\1") +
         "\"CSConfigFlags\"=dword:00000001\n" + key_line(kPciRoot + "\\VEN_1260&DEV_3873&X_\\1") +
         "\"CSConfigFlags\"=dword:00000000\n",
     false, "Found PCI Device VEN_1260&DEV_3873&XA\nDisabled adapter detected.\n"},
    {"NoMatchingPciKeyCountsAsEnabled", true,
     kPciId + key_line(kPciRoot + "\\VEN_1260&DEV_1111\\1") + "\"CSConfigFlags\"=dword:00000001\n",
     true, ""},
    {"Windows9xPciRoot", false,
     kPciId + key_line("HKEY_CURRENT_CONFIG\\Enum\\pci\\VEN_1260&DEV_3873&SUBSYS_A\\1") +
         "\"CSConfigFlags\"=dword:00000001\n",
     false, "Found PCI Device VEN_1260&DEV_3873&SUBSYS_A\nDisabled adapter detected.\n"},
};

class AdapterEnabled : public Discovery, public testing::WithParamInterface<EnabledCase> {};

TEST_P(AdapterEnabled, ScansTheDeviceInstances) {
  const EnabledCase& c = GetParam();
  library.nt = c.nt;
  const char* class_key = c.nt ? kNt5ClassKey : k9xClassKey;
  load_registry("REGEDIT4\n\n" + class_subkey(class_key, "0000") + c.registry);
  platform::RegistryKey adapter_key = 0;
  ASSERT_TRUE(fake.registry.open_key(platform::RegistryRoot::LocalMachine,
                                     std::string(class_key) + "\\0000", adapter_key));
  EXPECT_EQ(is_adapter_enabled(adapter_key), c.enabled);
  fake.registry.close_key(adapter_key);
  EXPECT_EQ(log_text(), c.log);
  EXPECT_EQ(keys_left_open(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, AdapterEnabled, testing::ValuesIn(kEnabledCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Discovery, PciLookupOpensTheChosenKeyForTheCaller) {
  load_registry("REGEDIT4\n\n" + key_line(kPciRoot + "\\VEN_1260&DEV_3873&SUBSYS_A\\first") +
                key_line(kPciRoot + "\\VEN_1260&DEV_3873&SUBSYS_B\\second"));
  platform::RegistryKey device = 0;
  ASSERT_TRUE(find_pci_device_key("pci\\ven_1260&dev_3873", device));
  std::string instance;
  EXPECT_TRUE(fake.registry.enum_subkey(device, 0, 200, instance));
  EXPECT_EQ(instance, "second");
  EXPECT_EQ(keys_left_open(), 1) << "only the device key handed out";

  EXPECT_FALSE(find_pci_device_key("pci\\ven_1260&dev_0000", device));
  EXPECT_EQ(keys_left_open(), 1);
}

}  // namespace
}  // namespace devov::test
