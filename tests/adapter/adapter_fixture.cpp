// The adapter test fixture.
#include "tests/adapter/adapter_fixture.h"

namespace devov::test {

void AdapterTest::add_one_adapter() {
  load_registry(std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + kNt5ClassKey +
                "\\0000]\n\"MatchingDeviceId\"=\"usb\\\\vid_6271&pid_0001\"\n");
  library.adapters["0000"] = {"Velk 6271 Wireless USB Adapter", "{6271}"};
  library.openable.insert("\\Device\\{6271}");
}

}  // namespace devov::test
