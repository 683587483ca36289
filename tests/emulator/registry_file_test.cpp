// The REGEDIT4 registry file: what a fixture written for regedit gives to
// the registry interface.
#include "emulator/registry_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace devov::emulator {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

const char* kFixture =
    "REGEDIT4\r\n"
    "\r\n"
    "; the network class\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net\\0001]\r\n"
    "\"DriverDesc\"=\"Second \\\"quoted\\\" C:\\\\path\"\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net\\0000]\r\n"
    "@=\"default\"\r\n"
    "\"Flags\"=dword:00000101\r\n"
    "\"Bytes\"=hex:01,02,\\\r\n"
    "  03,04\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net\\abc]\r\n"
    "[HKEY_CURRENT_CONFIG\\Enum\\pci\\VEN_1]\r\n";

std::vector<std::uint8_t> bytes(const std::string& text) {
  std::vector<std::uint8_t> out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

TEST(RegistryFile, ReadsKeysValuesAndEscapesOfARegeditFixture) {
  RegistryFile registry;
  ASSERT_TRUE(registry.parse(kFixture));
  RegistryKey net = 0;
  ASSERT_TRUE(registry.open_key(RegistryRoot::LocalMachine,
                                "system\\currentcontrolset\\SERVICES\\Class\\Net", net));

  // Subkeys in the order Windows enumerates them, whatever the file's order.
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; registry.enum_subkey(net, i, 200, name); ++i) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"0000", "0001", "abc"}));
  // A name with its terminating zero must fit the caller's buffer.
  EXPECT_FALSE(registry.enum_subkey(net, 0, 4, name));
  EXPECT_TRUE(registry.enum_subkey(net, 0, 5, name));

  RegistryKey first = 0, second = 0;
  ASSERT_TRUE(registry.open_subkey(net, "0000", first));
  ASSERT_TRUE(registry.open_subkey(net, "0001", second));
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(registry.query_value(first, "", 200, data));
  EXPECT_EQ(data, bytes("default"));
  ASSERT_TRUE(registry.query_value(first, "flags", 200, data));
  EXPECT_EQ(data, (std::vector<std::uint8_t>{0x01, 0x01, 0x00, 0x00}));
  ASSERT_TRUE(registry.query_value(first, "Bytes", 200, data));
  EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
  EXPECT_FALSE(registry.query_value(first, "Bytes", 3, data));
  EXPECT_FALSE(registry.query_value(first, "Missing", 200, data));
  ASSERT_TRUE(registry.query_value(second, "DriverDesc", 200, data));
  EXPECT_EQ(data, bytes("Second \"quoted\" C:\\path"));

  RegistryKey pci = 0;
  EXPECT_TRUE(registry.open_key(RegistryRoot::CurrentConfig, "Enum\\pci", pci));
  EXPECT_FALSE(registry.open_key(RegistryRoot::LocalMachine, "Enum\\pci", pci));
  registry.close_key(first);
  EXPECT_FALSE(registry.query_value(first, "", 200, data));
}

TEST(RegistryFile, RefusesLinesItCannotRead) {
  const char* bad[] = {
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X\n",
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=dword:123456789\n",
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=hex:0g\n",
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"unterminated\n",
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\nA=\"x\"\n",
  };
  for (const char* text : bad) {
    RegistryFile registry;
    EXPECT_FALSE(registry.parse(text)) << text;
  }
}

}  // namespace
}  // namespace devov::emulator
