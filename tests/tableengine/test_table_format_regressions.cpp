// Images found by the loader fuzzer that exposed a fault, kept as regression tests.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TVolgaCursor.h"

namespace {

std::string U32(uint32_t v) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &v, 4);
    return s;
}

// A plain image with the given section, an empty notes block and one record.
std::string ImageWithEmptyNotes(const std::string& section, uint32_t fieldCount,
                                const std::string& record) {
    std::string body = "S";
    body += U32(1);
    body += U32(fieldCount);
    body += U32(static_cast<uint32_t>(section.size()));
    body += section;
    body.append("*\0\0", 3);
    body += record;
    return U32(static_cast<uint32_t>(body.size() + 4)) + body;
}

}  // namespace

// A SmallStr field may declare a length above 35 (any type character that names no other type
// is a length character: "x" is 65). Holding 42 bytes, the first record's first header byte is
// 0x2A, the notes marker. Such a table loads when an (empty) notes block precedes the records;
// saved without notes, its first record is then read as notes and the table no longer opens.
// The image builder writes an empty notes block in this case.
TEST(TableFormatRegressions, FirstHeaderByteEqualToNotesMarkerSurvivesASave) {
    const std::string value(42, 'v');
    const std::string image = ImageWithEmptyNotes("XXX.s x\x12\x14", 1, "\x2A" + value);
    TVolgaCursor c;
    std::string message;
    ASSERT_TRUE(c.LoadFromImage(image, message)) << message;
    ASSERT_EQ(c.RecordCount(), 1);
    ASSERT_EQ(c.Field(0)->Size, 65);
    EXPECT_EQ(c.Field(0)->GetText(c.Record(0)->Data), value);

    std::string saved;
    c.BuildImage(saved);
    TVolgaCursor again;
    ASSERT_TRUE(again.LoadFromImage(saved, message)) << message;
    ASSERT_EQ(again.RecordCount(), 1);
    EXPECT_EQ(again.Field(0)->GetText(again.Record(0)->Data), value);
}
