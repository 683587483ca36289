// adapter.conf as a person writes it, the PDA a new adapter gets, and the
// choices make_host and add_adapter make.
#include "production/pda_list.h"
#include "tests/emulator/emulator_fixture.h"

namespace devov::emulator::test {
namespace {

TEST(EmulatedAdapterDescription, EveryKeyRoundTripsThroughTheFileText) {
  AdapterDescription d;
  d.display_name = "A # name = with marks";
  d.instance_name = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
  d.class_subkey = "0007";
  d.matching_device_id = "pci\\ven_1234&dev_5678";
  d.device_instance = "3&61aaa01&0&58";
  d.disabled = true;
  d.platform_type = 1;
  d.primary = {2, 3, 4};
  d.station = {5, 6, 7};
  d.supplier_bottom = 2;
  d.supplier_top = 9;
  d.firmware_files = "A.HEX B.HEX";
  d.mac_address = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};
  d.driver_version = 0x80020304;
  d.enable_aux_accepted = false;
  d.probe_supported = false;
  d.status_faults = {{0xFF020198, 0xC0000001, FaultWhen::Always, 1},
                     {0x00010116, 0xC0010017, FaultWhen::Once, 1},
                     {0xFF010181, 0xC0000001, FaultWhen::From, 4}};
  d.block_write_fault = BlockWriteFault::FailTwice;
  d.block_write_fault_at = 5;
  d.rid_length_zero = {0xFD20, 0xFFFF};
  d.pda_a = PdaCopyFault::Erased;
  d.pda_b = PdaCopyFault::BadCrc;
  d.removed_after = 12;

  AdapterDescription back;
  std::string error;
  ASSERT_TRUE(parse_adapter_description(format_adapter_description(d), back, error)) << error;
  EXPECT_EQ(back, d);
  // And the defaults too.
  AdapterDescription plain;
  ASSERT_TRUE(parse_adapter_description(format_adapter_description(AdapterDescription{}), plain,
                                        error))
      << error;
  EXPECT_EQ(plain, AdapterDescription{});
}

TEST(EmulatedAdapterDescription, ABadLineNamesItsLineAndLeavesTheDescriptionAlone) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"platform_type = 2\nplatfrom_type = 1\n", "line 2: unknown key 'platfrom_type'"},
      {"no equals sign\n", "line 1: expected key = value"},
      {"platform_type = 70000\n", "line 1: platform_type: bad value '70000'"},
      {"primary = 1.2\n", "line 1: primary: bad value '1.2'"},
      {"mac_address = 00-11-22-33-44\n", "line 1: mac_address: bad value '00-11-22-33-44'"},
      {"supplier_range = 1\n", "line 1: supplier_range: bad value '1'"},
      {"enable_aux = maybe\n", "line 1: enable_aux: bad value 'maybe'"},
      {"disabled = perhaps\n", "line 1: disabled: bad value 'perhaps'"},
      {"fault_status = 0xFF020198 0xC0000001 sometimes\n",
       "line 1: fault_status: expected OID STATUS always|once|from N, not '0xFF020198 "
       "0xC0000001 sometimes'"},
      {"fault_status = 0xFF020198 0xC0000001 from 0\n",
       "line 1: fault_status: expected OID STATUS always|once|from N, not '0xFF020198 "
       "0xC0000001 from 0'"},
      {"fault_block_write = thrice\n", "line 1: fault_block_write: bad value 'thrice'"},
      {"pda_b = damaged\n", "line 1: pda_b: bad value 'damaged'"},
      {"driver_version = -1\n", "line 1: driver_version: bad value '-1'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    AdapterDescription d;
    std::string error;
    EXPECT_FALSE(parse_adapter_description(c.text, d, error));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(d, AdapterDescription{});
  }
}

TEST(EmulatedNewAdapterPda, IsSoundAndHoldsTheRecordsTheProgramReads) {
  ProductionData data;
  data.regulatory_domain = 0x30;
  const auto words = build_pda_words(data);
  PdaList list;
  ASSERT_EQ(list.load_words(words.data(), static_cast<std::uint16_t>(words.size())), 8);
  EXPECT_EQ(list.received_crc(), list.stored_crc());
  std::vector<std::uint16_t> reserialised(kPdaSerialisedMaxWords);
  ASSERT_EQ(list.serialise(reserialised.data()), words.size());
  reserialised.resize(words.size());
  EXPECT_EQ(reserialised, words);

  const struct {
    std::uint16_t code, length;
  } expected[] = {{0x0001, 7}, {0x0003, 7}, {0x0008, 5}, {0x0101, 4},
                  {0x0103, 7}, {0x0900, 31}, {0x0901, 34}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.code);
    const auto* r = list.find(e.code);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r[0], e.length);
  }
  EXPECT_EQ(list.find(0x0008)[2], 0xE6B2);
  EXPECT_EQ(list.find(0x0101)[2], 0x9000);
  EXPECT_EQ(list.find(0x0101)[4], 0x0171);
  EXPECT_EQ(list.find(0x0103)[3] & 0xFF, 0x30);
  // "VLK627100001": two characters a word, low byte first.
  EXPECT_EQ(list.find(0x0003)[2], 'V' | 'L' << 8);
  EXPECT_EQ(list.find(0x0003)[7], '0' | '1' << 8);
}

TEST_F(EmulatorTest, AHostIsMadeOnceAndItsAdaptersGetTheirOwnRegistryIdentity) {
  HostOptions nt4{"nt", 4, 0, true};
  std::string error;
  ASSERT_TRUE(make_host(folder_, nt4, error)) << error;
  EXPECT_FALSE(make_host(folder_, nt4, error));
  EXPECT_EQ(error, folder_ + " already holds a virtual host");

  ASSERT_TRUE(add_adapter(folder_, "second", AdapterDescription{}, ProductionData{}, error))
      << error;
  EXPECT_FALSE(add_adapter(folder_, "second", AdapterDescription{}, ProductionData{}, error));
  EXPECT_FALSE(add_adapter(folder_, "bad/name", AdapterDescription{}, ProductionData{}, error));
  AdapterDescription taken;
  taken.class_subkey = "1";
  EXPECT_FALSE(add_adapter(folder_, "third", taken, ProductionData{}, error));
  EXPECT_EQ(error, "the network-class subkey '1' is taken");

  AdapterDescription first, second;
  ASSERT_TRUE(read_adapter_description(adapter_path(kDescriptionFileName), first, error));
  ASSERT_TRUE(
      read_adapter_description(adapter_path(kDescriptionFileName, "second"), second, error));
  EXPECT_EQ(first.class_subkey, "1");
  EXPECT_EQ(second.class_subkey, "2");
  EXPECT_EQ(first.instance_name, "VLK62711");
  EXPECT_EQ(second.instance_name, "VLK62712");
  EXPECT_NE(first.device_instance, second.device_instance);
  EXPECT_EQ(adapter_names(folder_), (std::vector<std::string>{"default", "second"}));
}

}  // namespace
}  // namespace devov::emulator::test
