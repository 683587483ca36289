// The driver at the request level: each request of the table answered from
// the description with its record format, and the trace line of each.
#include "tests/emulator/emulator_fixture.h"

namespace devov::emulator::test {
namespace {

class EmulatedDriver : public EmulatorTest {
 protected:
  void SetUp() override {
    EmulatorTest::SetUp();
    make();
  }
};

struct RidCase {
  std::uint16_t rid;
  std::vector<std::uint16_t> words;  // length word, RID, data words
};

TEST_F(EmulatedDriver, RidRecordsCarryTheirLengthAndDataWords) {
  open();
  const RidCase cases[] = {
      // Identity: component, variant, major, minor (primary 1.1.3).
      {RID_PRI_IDENTITY, {5, RID_PRI_IDENTITY, 21, 3, 1, 1}},
      // Station 1.4.0.
      {RID_STA_IDENTITY, {5, RID_STA_IDENTITY, 31, 0, 1, 4}},
      // Supplier range: words 3 and 4 are bottom and top.
      {RID_PRI_SUPPLIER_RANGE, {6, RID_PRI_SUPPLIER_RANGE, 0, 3, 1, 1, 4}},
      // Platform: word 2 is the platform type.
      {RID_PLATFORM, {5, RID_PLATFORM, 0, 1, 2, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rid);
    std::vector<std::uint16_t> words;
    ASSERT_EQ(read_rid(c.rid, words), NDIS_STATUS_SUCCESS);
    EXPECT_EQ(std::vector<std::uint16_t>(words.begin(), words.begin() + c.words.size()), c.words);
  }
  EXPECT_EQ(last_trace(), "request query oid=0xFF010181 len=504 rid=0xFD04 status=0x00000000");
}

TEST_F(EmulatedDriver, TheFirmwareFilesTextIsReadableWithinTwoLMinusFourCharacters) {
  open();
  std::vector<std::uint16_t> words;
  ASSERT_EQ(read_rid(RID_FIRMWARE_FILES, words), NDIS_STATUS_SUCCESS);
  const std::string expected = "PU010103.HEX SU010400.HEX";
  const std::size_t readable = 2u * words[0] - 4;
  ASSERT_GE(readable, expected.size());
  std::string text;
  for (std::size_t i = 0; i < readable; ++i)
    text += static_cast<char>(words[2 + i / 2] >> (8 * (i % 2)));
  EXPECT_EQ(text.substr(0, expected.size()), expected);
  EXPECT_EQ(text.find_first_not_of('\0', expected.size()), std::string::npos);
}

TEST_F(EmulatedDriver, AnUnknownRidFailsWithLengthZero) {
  open();
  std::vector<std::uint16_t> words;
  EXPECT_NE(read_rid(0xFD99, words), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(words[0], 0);
}

TEST_F(EmulatedDriver, PublicRequestsAnswerTheAddressAndTheDriverVersion) {
  set_keys({{"mac_address", "02-11-22-33-44-55"}, {"driver_version", "0x80010203"}});
  open();
  std::uint8_t mac[6] = {};
  ASSERT_EQ(request(kRequestQuery, OID_802_3_PERMANENT_ADDRESS, mac, 6), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(std::vector<std::uint8_t>(mac, mac + 6),
            (std::vector<std::uint8_t>{0x02, 0x11, 0x22, 0x33, 0x44, 0x55}));
  std::uint8_t version[4] = {};
  ASSERT_EQ(request(kRequestQuery, OID_GEN_VENDOR_DRIVER_VERSION, version, 4),
            NDIS_STATUS_SUCCESS);
  EXPECT_EQ(std::vector<std::uint8_t>(version, version + 4),
            (std::vector<std::uint8_t>{0x03, 0x02, 0x01, 0x80}));
  EXPECT_EQ(request(kRequestQuery, OID_GEN_VENDOR_DRIVER_VERSION, version, 2),
            NDIS_STATUS_BUFFER_TOO_SHORT);
}

TEST_F(EmulatedDriver, ProbeEnableAuxAndTheProtocolSetsSucceed) {
  open();
  std::uint8_t probe[8] = {};
  EXPECT_EQ(request(kRequestQuery, OID_PROBE, probe, 8), NDIS_STATUS_SUCCESS);
  for (auto oid : {OID_ENABLE_AUX, OID_BLOCK_PROTOCOLS, OID_UNBLOCK_PROTOCOLS, OID_FINISH})
    EXPECT_EQ(set(oid), NDIS_STATUS_SUCCESS) << std::hex << oid;
}

TEST_F(EmulatedDriver, UnknownOidsAndRequestsInTheWrongDirectionAreRefused) {
  open();
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(request(kRequestQuery, 0xFF010199, buffer, 8), NDIS_STATUS_INVALID_OID);
  EXPECT_EQ(set(OID_GEN_VENDOR_DRIVER_VERSION), NDIS_STATUS_NOT_SUPPORTED);
  EXPECT_EQ(request(kRequestQuery, OID_ENABLE_AUX, buffer, 0), NDIS_STATUS_NOT_SUPPORTED);
  EXPECT_EQ(request(7, OID_ENABLE_AUX, nullptr, 0), NDIS_STATUS_NOT_SUPPORTED);
  EXPECT_EQ(last_trace(),
            "request type=7 oid=0xFF010184 len=0 status=0xC00000BB "
            "refused=\"request type is neither query nor set\"");
}

TEST_F(EmulatedDriver, AuxReadsNeedTheAuxPortAndStayInsideTheMemory) {
  open();
  std::vector<std::uint8_t> data;
  EXPECT_EQ(aux_read(0x7F0000, 16, data), NDIS_STATUS_FAILURE);
  EXPECT_EQ(last_trace(),
            "request query oid=0xFF010186 len=22 addr=0x007F0000 n=16 status=0xC0000001 "
            "refused=\"aux port not enabled\"");
  ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(aux_read(0x7FFFF0, 16, data), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(aux_read(0x7FFFF1, 16, data), NDIS_STATUS_INVALID_DATA);
  EXPECT_EQ(aux_read(0x807F0000 + kPdaCopyBytes - 15, 16, data), NDIS_STATUS_INVALID_DATA);
  EXPECT_EQ(aux_read(0, kAuxMaxData + 1, data), NDIS_STATUS_INVALID_LENGTH);
}

TEST_F(EmulatedDriver, TheDefaultAdaptersPdaReadsBackSoundFromBothCopies) {
  open();
  ASSERT_EQ(set(OID_ENABLE_AUX), NDIS_STATUS_SUCCESS);
  const auto words = build_pda_words(ProductionData{});
  std::vector<std::uint8_t> expected(kPdaCopyBytes, 0xFF);
  for (std::size_t i = 0; i < words.size(); ++i) {
    expected[2 * i] = static_cast<std::uint8_t>(words[i]);
    expected[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
  }
  std::vector<std::uint8_t> a, b;
  ASSERT_EQ(aux_read(0x7F0000, kPdaCopyBytes, a), NDIS_STATUS_SUCCESS);
  ASSERT_EQ(aux_read(0x807F0000, kPdaCopyBytes, b), NDIS_STATUS_SUCCESS);
  EXPECT_EQ(a, expected);
  EXPECT_EQ(b, expected);
}

}  // namespace
}  // namespace devov::emulator::test
