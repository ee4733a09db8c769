#include "CompositeTag.hpp"
#include "HandleOwner.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Velmar::Bo::CompositeTag;

CompositeTag SampleTag()
{
    CompositeTag tag;
    tag.systemName = "GYP-MS-100 \xE9";
    tag.storedSystemId.ConvertFromString("01020304-0506-0708-090A-0B0C0D0E0F10");
    tag.timeStamp = {2024, 11, 5, 14, 3, 59};
    tag.lod = 300;
    return tag;
}

TEST(CompositeTag, WritesTheFixedLittleEndianLayoutAndReadsItBackFromAHostHandle)
{
    const CompositeTag tag = SampleTag();
    const std::string bytes = tag.ToBytes();
    ASSERT_EQ(bytes.size(), 292u);
    EXPECT_EQ(std::string(bytes.c_str()), tag.systemName);
    EXPECT_EQ(bytes.find_first_not_of('\0', tag.systemName.size()), 256u) << "the name field is zero-filled";
    const UInt8 tail[36] = {1,    2,    3,  4, 5, 6, 7, 8, 9,  10, 11, 12, 13, 14, 15, 16,  // stored-system id
                            0xE8, 0x07, 11, 0, 0, 0, 5, 0, 14, 0,  3,  0,  59, 0,  0,  0,   // 2024-11, day 5, 14:03:59
                            0x2C, 0x01, 0,  0};                                             // LOD 300
    EXPECT_EQ(std::memcmp(bytes.data() + 256, tail, sizeof tail), 0);

    Velmar::HandleOwner handle(BMAllocateHandle(static_cast<Int32>(bytes.size()), 0, 0));
    std::memcpy(*handle.Get(), bytes.data(), bytes.size());
    API_AttributeUserData userData = {};
    userData.dataVersion = 1;
    userData.platformSign = 0x5757;
    userData.dataHdl = handle.Get();
    const auto read = CompositeTag::FromUserData(userData);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->ToBytes(), bytes) << "every field read back as written";
    userData.dataHdl = nullptr;
    EXPECT_FALSE(CompositeTag::FromUserData(userData).has_value());

    // Names are cut to 255 characters; a full field without a zero ends with the field.
    CompositeTag longName = tag;
    longName.systemName = std::string(300, 'x');
    std::string cut = longName.ToBytes();
    EXPECT_EQ(CompositeTag::FromUserData(1, 0x5757, cut.data(), cut.size())->systemName, std::string(255, 'x'));
    std::memset(cut.data(), 'y', 256);
    const auto full = CompositeTag::FromUserData(1, 0x5757, cut.data(), cut.size());
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->systemName, std::string(256, 'y'));
    EXPECT_EQ(full->lod, 300);
}

TEST(CompositeTag, OtherVersionsSignsAndSizesAreNotTags)
{
    std::string bytes = SampleTag().ToBytes();
    bytes.resize(293);
    struct Case {
        Int32 version;
        UInt16 sign;
        std::size_t size;
        bool isTag;
    };
    const Case cases[] = {
        {1, 0x5757, 292, true},  {2, 0x5757, 292, false}, {0, 0x5757, 292, false}, {1, 0x1000, 292, false},
        {1, 0x5757, 291, false}, {1, 0x5757, 293, false}, {1, 0x5757, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompositeTag::FromUserData(c.version, c.sign, bytes.data(), c.size).has_value(), c.isTag)
            << c.version << " " << c.sign << " " << c.size;
}

}  // namespace
