// PdaList: code order and put results, removal, loading card words with
// their special records, the CRC bookkeeping and the serialised PDA.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "production/crc16.h"
#include "production/pda_list.h"
#include "tests/production/pda_records.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

// The CRC a card's end record carries for these record words.
std::uint16_t pda_crc(const Words& record_words) {
  const std::uint16_t end_head[] = {kEndRecordLength, kEndRecordCode};
  return crc16_update_words(crc16_update_words(0, record_words.data(), record_words.size()),
                            end_head, 2);
}

Words concat(const std::vector<Words>& records) {
  Words all;
  for (const auto& r : records) all.insert(all.end(), r.begin(), r.end());
  return all;
}

// A record of `length` words after the length word, data words counting up.
Words record_of_length(std::uint16_t length, std::uint16_t code) {
  Words r{length, code};
  for (std::uint16_t k = 1; k < length; ++k) r.push_back(k);
  return r;
}

TEST(PdaListPut, KeepsCodesInOrderAndSaysWhereEachWent) {
  PdaList list;
  const Words domain{7, 0x0103, 1, 0x30, 3, 4, 5, 6};
  const Words part{3, 0x0001, 0x4241, 0x0043};
  const Words table{2, 0x0900, 0x0909};
  EXPECT_EQ(list.put(domain.data()), kPutInserted);
  EXPECT_EQ(list.put(part.data()), kPutInserted) << "before the first record";
  EXPECT_EQ(list.put(table.data()), kPutAppended);
  EXPECT_EQ(records_of(list), (std::vector<Words>{part, domain, table}));

  const Words between{2, 0x0200, 0x2222};
  EXPECT_EQ(list.put(between.data()), kPutInserted) << "between two records";

  const Words new_domain{7, 0x0103, 9, 0x10, 9, 9, 9, 9};
  EXPECT_EQ(list.put(new_domain.data()), kPutReplaced);
  const Words new_table{3, 0x0900, 0xAAAA, 0xBBBB};
  EXPECT_EQ(list.put(new_table.data()), kPutReplaced) << "the last record";
  EXPECT_EQ(records_of(list), (std::vector<Words>{part, new_domain, between, new_table}));
}

TEST(PdaListPut, CodesCompareUnsigned) {
  PdaList list;
  const Words high{1, 0x8000};
  const Words low{1, 0x7FFF};
  list.put(high.data());
  EXPECT_EQ(list.put(low.data()), kPutInserted);
  EXPECT_EQ(records_of(list), (std::vector<Words>{low, high}));
}

TEST(PdaListPut, EndRecordOnlySetsTheStoredCrc) {
  PdaList list;
  const Words part{2, 0x0001, 0x1111};
  list.put(part.data());
  const std::uint16_t running = list.received_crc();
  const Words end{2, 0x0000, 0xBEEF};
  EXPECT_EQ(list.put(end.data()), kPutInserted);
  EXPECT_EQ(list.stored_crc(), 0xBEEF);
  EXPECT_EQ(records_of(list), (std::vector<Words>{part}));
  EXPECT_EQ(list.received_crc(), running);
}

TEST(PdaListPut, RefusesAZeroLengthWordWithoutReadingPastIt) {
  PdaList list;
  // The word after the zero length word would name code 0x0005 if read.
  const Words words{0, 0x0005, 0x5555};
  EXPECT_EQ(list.put(words.data()), kPutRefused);
  EXPECT_EQ(list.first_node(), nullptr);
  EXPECT_EQ(list.received_crc(), 0xB801) << "the running CRC is untouched";
}

TEST(PdaListCrc, RunningCrcFollowsThePutOrderFromTheFirstRecordOfAnEmptyList) {
  const Words a{2, 0x0003, 0x3333};
  const Words b{2, 0x0001, 0x1111};
  const Words b2{2, 0x0001, 0x2222};
  PdaList list;
  list.put(a.data());
  list.put(b.data());
  list.put(b2.data());
  EXPECT_EQ(list.received_crc(), pda_crc(concat({a, b, b2})))
      << "every record put counts, replaced ones too, in put order";
  EXPECT_EQ(list.compute_crc(), pda_crc(concat({b2, a})))
      << "the computed CRC runs over the list as it stands";

  // Once emptied, the next record starts the running CRC afresh.
  list.remove(0x0001);
  list.remove(0x0003);
  list.put(b.data());
  EXPECT_EQ(list.received_crc(), pda_crc(b));
}

TEST(PdaListRemove, UnlinksOnlyTheNamedCode) {
  PdaList list;
  const Words a{1, 0x0001}, b{1, 0x0002}, c{1, 0x0003};
  for (const auto* r : {&a, &b, &c}) list.put(r->data());
  EXPECT_EQ(list.remove(0x0004), 0) << "past the last";
  EXPECT_EQ(list.remove(0x0000), 0) << "before the first";
  EXPECT_EQ(list.remove(0x0002), 0x0002);
  EXPECT_EQ(list.remove(0x0002), 0) << "already gone";
  EXPECT_EQ(list.remove(0x0001), 0x0001) << "the first";
  EXPECT_EQ(records_of(list), (std::vector<Words>{c}));
  EXPECT_EQ(list.find(0x0001), nullptr);
  ASSERT_NE(list.find(0x0003), nullptr);
  EXPECT_EQ(list.find(0x0003)[kPdrCodeWord], 0x0003);
}

TEST(PdaListClear, ForgetsRecordsAndBothCrcs) {
  PdaList list;
  const Words words{2, 0x0001, 0x1111, 2, 0x0000, 0x1234};
  list.load_words(words.data(), static_cast<std::uint16_t>(words.size()));
  list.clear();
  EXPECT_EQ(list.first_node(), nullptr);
  EXPECT_EQ(list.stored_crc(), 0);
  EXPECT_EQ(list.received_crc(), 0xB801);
}

struct LoadCase {
  const char* name;
  Words words;
  std::uint16_t count;  // of `words`, may leave words beyond it unused
  int processed;
  std::vector<Words> records;  // the list starts with kSerial
  std::uint16_t stored_crc;
};

const Words kSerial{2, 0x0003, 0x5353};

std::vector<LoadCase> load_cases() {
  return {
      {"delete record removes the code", {1, 0x0003}, 2, 1, {}, 0},
      {"delete record of an absent code", {1, 0x0004}, 2, 1, {kSerial}, 0},
      {"only an end record", {2, 0x0000, 0xABCD}, 3, 1, {kSerial}, 0xABCD},
      {"stops at the first end record",
       {2, 0x0001, 0x1111, 2, 0x0000, 0x1234, 2, 0x0002, 0x2222, 2, 0x0000, 0x9999},
       12, 2, {{2, 0x0001, 0x1111}, kSerial}, 0x1234},
      {"erased card", Words(kPdaWords, 0xFFFF), kPdaWords, 0, {kSerial}, 0},
      {"zero length word stops the walk",
       {2, 0x0001, 0x1111, 0, 2, 0x0002, 0x2222}, 7, 1, {{2, 0x0001, 0x1111}, kSerial}, 0},
      {"zero length word as the last word counted",
       {2, 0x0001, 0x1111, 0, 0x0002}, 4, 1, {{2, 0x0001, 0x1111}, kSerial}, 0},
      {"record reaching past the count",
       {2, 0x0001, 0x1111, 3, 0x0002, 0x2222, 0x3333}, 6, 1,
       {{2, 0x0001, 0x1111}, kSerial}, 0},
      {"record ending on the last word counted",
       {2, 0x0001, 0x1111, 2, 0x0002, 0x2222}, 6, 2,
       {{2, 0x0001, 0x1111}, {2, 0x0002, 0x2222}, kSerial}, 0},
      {"no words", {0xFFFF}, 0, 0, {kSerial}, 0},
  };
}

TEST(PdaListLoadWords, WalksRecordsUpToTheEndRecord) {
  for (const LoadCase& c : load_cases()) {
    SCOPED_TRACE(c.name);
    PdaList list;
    list.put(kSerial.data());
    EXPECT_EQ(list.load_words(c.words.data(), c.count), c.processed);
    EXPECT_EQ(records_of(list), c.records);
    EXPECT_EQ(list.stored_crc(), c.stored_crc);
  }
}

// A card PDA as it should be: records in ascending code order, the end
// record with their CRC, the rest of the area erased.
struct CardPda {
  std::vector<Words> records{
      {5, 0x0001, 0x3031, 0x3332, 0x3534, 0x0036},
      {7, 0x0003, 0x3141, 0x3342, 0x3543, 0x3744, 0x3945, 0x3046},
      {5, 0x0008, 0x00A5, 1, 2, 3},
      {4, 0x0101, 0x9000, 0x124B, 0x5634},
      {7, 0x0103, 0, 0x0030, 0, 0, 0, 0},
  };
  Words serialised() const {
    Words w = concat(records);
    const std::uint16_t crc = pda_crc(w);
    w.insert(w.end(), {kEndRecordLength, kEndRecordCode, crc});
    return w;
  }
  Words area() const {
    Words w = serialised();
    w.resize(kPdaWords, 0xFFFF);
    return w;
  }
};

TEST(PdaListLoadWords, SoundCardPdaRoundTripsAndItsCrcsAgree) {
  const CardPda card;
  const Words area = card.area();
  PdaList list;
  EXPECT_EQ(list.load_words(area.data(), kPdaWords), 6);
  EXPECT_EQ(list.stored_crc(), card.serialised().back());
  EXPECT_EQ(list.received_crc(), list.stored_crc());
  EXPECT_EQ(list.compute_crc(), list.stored_crc());

  Words out(1021, 0x7777);
  const std::uint16_t written = list.serialise(out.data());
  out.resize(written);
  EXPECT_EQ(out, card.serialised());
}

TEST(PdaListLoadWords, DamagedCardPdaShowsInTheCrcs) {
  Words area = CardPda().area();
  area[10] ^= 0x0100;  // one bit of a data word
  PdaList list;
  list.load_words(area.data(), kPdaWords);
  EXPECT_NE(list.received_crc(), list.stored_crc());
}

class PdaListSerialise : public ShellTest {};

TEST_F(PdaListSerialise, EmptyListIsTheEndRecordAlone) {
  PdaList list;
  Words out(1021, 0x7777);
  EXPECT_EQ(list.serialise(out.data()), 3);
  EXPECT_EQ(Words(out.begin(), out.begin() + 4), (Words{0x0002, 0x0000, 0xB801, 0x7777}));
  EXPECT_EQ(log_text(), "");
}

TEST_F(PdaListSerialise, RecordsMayFillAtMost511Words) {
  PdaList list;
  const Words first = record_of_length(9, 0x0001);        // 10 words
  const Words last = record_of_length(500, 0x0002);       // 501 words
  list.put(first.data());
  list.put(last.data());
  Words out(1021, 0x7777);
  ASSERT_EQ(list.serialise(out.data()), 514);
  EXPECT_EQ(Words(out.begin(), out.begin() + 511), concat({first, last}));
  EXPECT_EQ(Words(out.begin() + 511, out.begin() + 515),
            (Words{0x0002, 0x0000, list.compute_crc(), 0x7777}));
  EXPECT_EQ(log_text(), "");
}

TEST_F(PdaListSerialise, RecordsReaching512WordsOverflowWithoutOverrunning) {
  const struct {
    const char* name;
    std::uint16_t last_length;
  } cases[] = {
      {"exactly 512 words", 501},
      {"the last record far beyond", 1000},
  };
  std::string expected_log;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PdaList list;
    const Words first = record_of_length(9, 0x0001);
    const Words last = record_of_length(c.last_length, 0x0002);
    list.put(first.data());
    list.put(last.data());

    Words out(1021, 0x7777);
    EXPECT_EQ(list.serialise(out.data()), 0);
    expected_log += "PDA OVERFLOW. PDA EXCEEDS 512 WORD LIMIT.\n";
    EXPECT_EQ(log_text(), expected_log);
    EXPECT_TRUE(std::all_of(out.begin() + kPdaSerialisedMaxWords, out.end(),
                            [](std::uint16_t w) { return w == 0x7777; }))
        << "nothing beyond the most a serialised PDA holds";
    EXPECT_EQ(records_of(list), (std::vector<Words>{first, last}));
  }
}

}  // namespace
}  // namespace devov::test
