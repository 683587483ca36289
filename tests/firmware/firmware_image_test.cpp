// The image memory model and the plug list: segments joining and reopening,
// a segment that starts at a full page, overwrites that are all or nothing
// and reach every copy, the chunk walk and its count, the page and segment
// limits, and the plug list's address order.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "tests/firmware/firmware_test_support.h"

namespace devov::test {
namespace {

struct Chunk {
  std::uint32_t address;
  std::uint16_t length;
  bool operator==(const Chunk&) const = default;
};

// Walks the whole image; the bytes handed out are appended to `bytes`.
std::vector<Chunk> walk(FirmwareImage& image, std::uint16_t max_length, std::uint32_t boundary,
                        std::vector<std::uint8_t>* bytes = nullptr) {
  std::vector<Chunk> chunks;
  image.rewind();
  std::vector<std::uint8_t> buffer(max_length);
  Chunk chunk{};
  while (image.next_chunk(buffer.data(), chunk.address, chunk.length, max_length, boundary)) {
    chunks.push_back(chunk);
    if (bytes) bytes->insert(bytes->end(), buffer.begin(), buffer.begin() + chunk.length);
    if (chunks.size() > 100000) break;  // a walk that never ends fails, not hangs
  }
  return chunks;
}

using Segments = std::vector<std::pair<std::uint32_t, std::uint32_t>>;  // address, length

Segments segments_of(const FirmwareImage& image) {
  Segments out;
  for (std::uint16_t k = 1; k <= image.segment_count(); ++k)
    out.emplace_back(image.segment(k).address, image.segment(k).length);
  return out;
}

using FirmwareImageTest = FirmwareTest;

TEST_F(FirmwareImageTest, AppendJoinsAFollowingAddressAndReopensAnyOther) {
  put(0x100, pattern(16, 0x00));
  put(0x110, pattern(16, 0x10));
  EXPECT_EQ(segments_of(image), (Segments{{0x100, 32}}));

  put(0x100, pattern(16, 0x80));
  put(0x0FF, pattern(1, 0xF0));  // just below: not a continuation either
  EXPECT_EQ(segments_of(image), (Segments{{0x100, 32}, {0x100, 16}, {0x0FF, 1}}));

  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(walk(image, 2042, 0x10000, &bytes),
            (std::vector<Chunk>{{0x100, 32}, {0x100, 16}, {0x0FF, 1}}));
  std::vector<std::uint8_t> expected = pattern(32);
  for (std::uint8_t b : pattern(16, 0x80)) expected.push_back(b);
  expected.push_back(0xF0);
  EXPECT_EQ(bytes, expected);
}

TEST_F(FirmwareImageTest, ZeroLengthAppendIsRefusedAndOpensNothing) {
  std::uint8_t byte = 1;
  EXPECT_FALSE(image.append(&byte, 0x100, 0));
  EXPECT_EQ(image.segment_count(), 0);
  put(0x100, {1});
  EXPECT_FALSE(image.append(&byte, 0x500, 0));
  EXPECT_EQ(segments_of(image), (Segments{{0x100, 1}}));
}

TEST_F(FirmwareImageTest, SegmentOpenedOnAFullPageLivesAtTheStartOfTheNext) {
  put(0x0000, pattern(kPageSize, 0));
  put(0x5000, {0xA1, 0xA2, 0xA3, 0xA4});
  ASSERT_EQ(image.segment_count(), 2);
  EXPECT_EQ(image.segment(2).page, 0);
  EXPECT_EQ(image.segment(2).page_offset, kPageSize);

  const ImageLocation at = image.locate(0x5001, 0);
  EXPECT_TRUE(at.found);
  EXPECT_EQ(at.segment, 2);
  EXPECT_EQ(at.offset, 1u);
  EXPECT_EQ(at.page, 1);
  EXPECT_EQ(at.page_offset, 1u);
  EXPECT_EQ(image.page(1)[0], 0xA1);

  const std::uint8_t two[] = {0xB1, 0xB2};
  EXPECT_TRUE(image.overwrite(two, 0x5000, 2));
  EXPECT_EQ(image.page(1)[0], 0xB1);
  EXPECT_EQ(image.page(1)[1], 0xB2);
  EXPECT_EQ(image.page(0)[kPageSize - 1], 0xFF);  // the full page is untouched

  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(walk(image, 2042, 0, &bytes),
            (std::vector<Chunk>{{0x0000, 2042}, {2042, 6}, {0x5000, 4}}));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()),
            (std::vector<std::uint8_t>{0xB1, 0xB2, 0xA3, 0xA4}));
}

TEST_F(FirmwareImageTest, LocateFindsTheFirstHolderOrTestsOneSegment) {
  EXPECT_FALSE(image.locate(0x100, 0).found);  // empty image
  put(0x100, pattern(16));
  put(0x400, pattern(8));
  put(0x108, pattern(8, 0x40));  // a second copy of 0x108..0x10F

  EXPECT_EQ(image.locate(0x10A, 0).segment, 1);
  EXPECT_EQ(image.locate(0x10A, 3).segment, 3);
  EXPECT_EQ(image.locate(0x10A, 3).offset, 2u);
  EXPECT_FALSE(image.locate(0x10A, 2).found);
  EXPECT_FALSE(image.locate(0x110, 0).found);  // one past the end
  EXPECT_FALSE(image.locate(0x0FF, 0).found);
  // A segment number beyond the live ones holds nothing, and reads no table
  // entry beyond them.
  EXPECT_FALSE(image.locate(0x10A, 4).found);
  EXPECT_FALSE(image.locate(0x10A, 0xFFFF).found);
}

TEST_F(FirmwareImageTest, OverwriteSpansJoinedSegmentsButAGapWritesNothing) {
  const std::uint8_t four[] = {0xC1, 0xC2, 0xC3, 0xC4};
  const struct {
    const char* name;
    std::uint32_t later_start;  // the first segment is 0x100..0x10F
    bool written;
    std::vector<int> at_10e_10f_111_112;
  } cases[] = {
      {"later segment starts at the first one's end", 0x110, true, {0xC1, 0xC2, 0xC4, 0x22}},
      {"later segment starts one address further on", 0x111, false, {0x0E, 0x0F, 0x20, 0x21}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    image.clear();
    put(0x100, pattern(16));
    put(0x800, pattern(4, 0x60));  // keeps the later segment from joining
    put(c.later_start, pattern(16, 0x20));

    EXPECT_EQ(image.overwrite(four, 0x10E, 4), c.written);
    EXPECT_EQ((std::vector<int>{image_byte(image, 0x10E), image_byte(image, 0x10F),
                                image_byte(image, 0x111), image_byte(image, 0x112)}),
              c.at_10e_10f_111_112);
  }
}

TEST_F(FirmwareImageTest, OverwriteReachesEveryCopyOfAnAddress) {
  put(0x100, pattern(16));
  put(0x800, pattern(4));
  put(0x104, pattern(8, 0x40));  // 0x104..0x10B again
  put(0x100, pattern(16, 0x80));  // and all of 0x100..0x10F a third time

  const std::uint8_t bytes[] = {0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5};
  ASSERT_TRUE(image.overwrite(bytes, 0x102, 6));  // 0x102..0x107
  for (std::uint32_t a = 0x102; a < 0x108; ++a) {
    const int expected = 0xE0 + static_cast<int>(a - 0x102);
    EXPECT_EQ(image_byte(image, a, 1), expected);
    EXPECT_EQ(image_byte(image, a, 4), expected);
    if (a >= 0x104) {
      EXPECT_EQ(image_byte(image, a, 3), expected);
    }
  }
  EXPECT_EQ(image_byte(image, 0x101, 4), 0x81);
  EXPECT_EQ(image_byte(image, 0x108, 3), 0x44);
  EXPECT_EQ(image_byte(image, 0x800, 2), 0x00);
}

TEST_F(FirmwareImageTest, OverwriteNeverAddsBytes) {
  const std::uint8_t bytes[] = {1, 2, 3};
  EXPECT_TRUE(image.overwrite(bytes, 0x100, 0));  // zero length, empty image
  EXPECT_FALSE(image.overwrite(bytes, 0x100, 1));
  EXPECT_EQ(image.segment_count(), 0);

  put(0x100, pattern(4));
  EXPECT_FALSE(image.overwrite(bytes, 0x102, 3));  // runs one past the end
  EXPECT_FALSE(image.overwrite(bytes, 0x0FF, 2));  // starts one before
  EXPECT_EQ(segments_of(image), (Segments{{0x100, 4}}));
  for (std::uint32_t a = 0x100; a < 0x104; ++a)
    EXPECT_EQ(image_byte(image, a), static_cast<int>(a - 0x100));
}

TEST_F(FirmwareImageTest, ChunkWalkKeepsToTheLengthAndTheBoundary) {
  const struct {
    const char* name;
    Segments segments;
    std::uint16_t max_length;
    std::uint32_t boundary;
    std::vector<Chunk> chunks;
  } cases[] = {
      {"5000 bytes across pages", {{0x7E1800, 5000}}, 2042, 0x10000,
       {{0x7E1800, 2042}, {0x7E1FFA, 2042}, {0x7E27F4, 916}}},
      {"100 bytes across a boundary", {{0xFFC0, 100}}, 2042, 0x10000,
       {{0xFFC0, 64}, {0x10000, 36}}},
      {"a chunk never spans two segments", {{0x100, 10}, {0x200, 10}}, 2042, 0,
       {{0x100, 10}, {0x200, 10}}},
      {"joined segments are one", {{0x100, 10}, {0x10A, 10}}, 8, 0,
       {{0x100, 8}, {0x108, 8}, {0x110, 4}}},
      {"boundary right at the start", {{0x20000, 3}}, 2042, 0x10000, {{0x20000, 3}}},
      {"length of one", {{0x10, 3}}, 1, 0, {{0x10, 1}, {0x11, 1}, {0x12, 1}}},
      {"boundary that is not a power of two", {{5, 10}}, 2042, 6, {{5, 1}, {6, 6}, {12, 3}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    image.clear();
    std::vector<std::uint8_t> expected;
    std::uint8_t seed = 0;
    for (const auto& [address, length] : c.segments) {
      const auto bytes = pattern(length, seed);
      seed = static_cast<std::uint8_t>(seed + 37);
      put(address, bytes);
      expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(walk(image, c.max_length, c.boundary, &bytes), c.chunks);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(image.count_chunks(c.max_length, c.boundary), c.chunks.size());
    // A second walk after rewind yields the same.
    EXPECT_EQ(walk(image, c.max_length, c.boundary), c.chunks);
  }
}

TEST_F(FirmwareImageTest, WalkWithoutBufferMeasuresOnly) {
  put(0x100, pattern(3000));
  image.rewind();
  std::uint32_t address = 0;
  std::uint16_t length = 0;
  ASSERT_TRUE(image.next_chunk(nullptr, address, length, 2042, 0x10000));
  EXPECT_EQ(address, 0x100u);
  EXPECT_EQ(length, 2042);
  std::vector<std::uint8_t> buffer(2042);
  ASSERT_TRUE(image.next_chunk(buffer.data(), address, length, 2042, 0x10000));
  EXPECT_EQ(length, 958);
  EXPECT_EQ(buffer[0], static_cast<std::uint8_t>(2042 & 0xFF));
}

TEST_F(FirmwareImageTest, WalkEndsOnAnEmptyImageAndForAZeroMaximum) {
  std::uint32_t address = 1;
  std::uint16_t length = 1;
  std::uint8_t buffer[8];
  EXPECT_EQ(image.rewind(), 0);
  EXPECT_FALSE(image.next_chunk(buffer, address, length, 8, 0));
  EXPECT_EQ(address, 0u);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(image.count_chunks(0, 0x10000), 0);

  put(0x100, pattern(4));
  EXPECT_EQ(image.count_chunks(0, 0), 0);
  image.rewind();
  // A walk that could never take a byte would never end.
  EXPECT_FALSE(image.next_chunk(buffer, address, length, 0, 0));
  EXPECT_TRUE(image.next_chunk(buffer, address, length, 8, 0));
  EXPECT_FALSE(image.next_chunk(buffer, address, length, 8, 0));
}

TEST_F(FirmwareImageTest, AppendIsRefusedOncePageOneHundredIsBeingFilled) {
  const auto page = pattern(kPageSize);
  // 101 full pages: the append that opens page 100 is still taken.
  for (std::uint32_t i = 0; i <= kMaxPages; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(image.append(page.data(), i * kPageSize, kPageSize));
  }
  EXPECT_EQ(image.fill_page(), kMaxPages);
  EXPECT_FALSE(image.append(page.data(), (kMaxPages + 1) * kPageSize, 1));
  EXPECT_EQ(segments_of(image), (Segments{{0, (kMaxPages + 1) * kPageSize}}));

  image.clear();
  EXPECT_EQ(image.segment_count(), 0);
  EXPECT_EQ(image.fill_page(), 0);
  EXPECT_TRUE(image.append(page.data(), 0, 1));
}

TEST_F(FirmwareImageTest, AppendIsRefusedWhenA256thSegmentWouldBeNeeded) {
  const std::uint8_t byte = 0x5A;
  for (std::uint32_t k = 0; k < kMaxSegments; ++k)
    ASSERT_TRUE(image.append(&byte, k * 0x10, 1)) << k;
  EXPECT_EQ(image.segment_count(), 255);
  EXPECT_FALSE(image.append(&byte, 0x8000, 1));
  EXPECT_EQ(image.segment_count(), 255);
  // Continuing the last segment needs no new one.
  EXPECT_TRUE(image.append(&byte, (kMaxSegments - 1) * 0x10 + 1, 1));
  EXPECT_EQ(image.segment(255).length, 2u);
}

TEST_F(FirmwareImageTest, ClearForgetsTheStartAddressFlag) {
  put(0x100, pattern(4));
  image.start_address = 0x1234;
  image.has_start_address = true;
  image.clear();
  EXPECT_FALSE(image.has_start_address);
  EXPECT_EQ(image.segment_count(), 0);
  EXPECT_FALSE(image.locate(0x100, 0).found);
}

std::vector<std::uint32_t> entries(PlugList& plugs) {
  std::vector<std::uint32_t> out;  // address, code pairs flattened
  plugs.rewind();
  while (const PlugEntry* e = plugs.next()) {
    out.push_back(e->address);
    out.push_back(e->code);
  }
  return out;
}

TEST(PlugListTest, KeepsAddressOrderAndReplacesAnEqualAddressInPlace) {
  PlugList plugs;
  const struct {
    std::uint32_t address;
    std::uint32_t code;
    std::uint8_t result;
  } adds[] = {
      {0x300, 1, kPlugInserted},  // into the empty list
      {0x100, 2, kPlugInserted},  // before a higher address
      {0x500, 3, kPlugAppended},
      {0x300, 4, kPlugReplaced},
      {0x500, 5, kPlugReplaced},  // the last entry
      {0x600, 6, kPlugAppended},  // after the replaced last entry
      {0x200, 7, kPlugInserted},
      {0x100, 8, kPlugReplaced},  // the first entry
  };
  for (const auto& a : adds) EXPECT_EQ(plugs.add(a.address, a.code, 2), a.result) << a.code;
  EXPECT_EQ(entries(plugs), (std::vector<std::uint32_t>{0x100, 8, 0x200, 7, 0x300, 4, 0x500,
                                                        5, 0x600, 6}));
  plugs.clear();
  EXPECT_EQ(plugs.head(), nullptr);
  plugs.rewind();
  EXPECT_EQ(plugs.next(), nullptr);
  EXPECT_EQ(plugs.add(0x10, 9, 1), kPlugInserted);
}

}  // namespace
}  // namespace devov::test
