#include "framework/ChunkHeader.h"
#include "tests/framework/TestPlugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
std::vector<uint8_t> Bytes(const ChunkBuffer& chunk)
{
    return std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

ChunkBuffer ChunkOf(const std::vector<uint8_t>& bytes)
{
    ChunkBuffer chunk;
    chunk.PutBytes(bytes.data(), static_cast<int64_t>(bytes.size()));
    return chunk;
}

std::vector<double> Values(const IPlugBase& plugin)
{
    std::vector<double> values;
    for (int i = 0; i < plugin.NumParams(); ++i)
        values.push_back(plugin.GetParam(i)->Value());
    return values;
}

// A plug-in with a varied, non-default state.
void Scramble(TestPlugin& plugin)
{
    for (int i = 0; i < plugin.NumParams(); ++i)
        plugin.GetParam(i)->SetFromNormalized(0.013 * (i + 1) + 1.0 / 3.0);
}
} // namespace

TEST(ChunkBuffer, ValuesAreLittleEndianOnEveryHost)
{
    ChunkBuffer chunk;
    chunk.PutInt32(0x01020304);
    chunk.PutDouble(1.0);
    const std::vector<uint8_t> expected = {0x04, 0x03, 0x02, 0x01, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(Bytes(chunk), expected);

    int32_t i = 0;
    double d = 0;
    EXPECT_EQ(chunk.GetInt32(i, 0), 4);
    EXPECT_EQ(chunk.GetDouble(d, 4), 12);
    EXPECT_EQ(i, 0x01020304);
    EXPECT_EQ(d, 1.0);
}

TEST(ChunkBuffer, ReadsNeverPassTheEnd)
{
    ChunkBuffer chunk = ChunkOf({1, 2, 3, 4, 5});
    int32_t i = 77;
    double d = 0;
    uint8_t b = 0;
    EXPECT_EQ(chunk.GetInt32(i, 2), -1);
    EXPECT_EQ(i, 77);
    EXPECT_EQ(chunk.GetDouble(d, 0), -1);
    EXPECT_EQ(chunk.GetByte(b, 5), -1);
    EXPECT_EQ(chunk.GetByte(b, -1), -1);
    EXPECT_EQ(chunk.GetInt32(i, std::numeric_limits<int32_t>::max()), -1);
    char bytes[4];
    EXPECT_EQ(chunk.GetBytes(bytes, -3, 0), -1);
    EXPECT_EQ(chunk.GetBytes(bytes, 4, 1), 5);
}

TEST(StateChunk, IsOneLittleEndianDoublePerParameterAndRoundTripsExactly)
{
    TestPlugin source;
    Scramble(source);
    source.GetParam(0)->SetPlainValue(0.1);
    ChunkBuffer chunk;
    ASSERT_TRUE(source.SaveState(chunk));
    ASSERT_EQ(chunk.Size(), 224);
    uint64_t bits = 0;
    const double tenth = 0.1;
    std::memcpy(&bits, &tenth, 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(chunk.Data()[i], static_cast<uint8_t>(bits >> (8 * i)));

    TestPlugin target;
    EXPECT_EQ(target.LoadState(chunk, 0), 224);
    EXPECT_EQ(Values(target), Values(source));
    EXPECT_EQ(target.changes.size(), 28u);
}

TEST(StateChunk, AChunkTooShortForEveryValueChangesNothing)
{
    TestPlugin source;
    source.SetAll(0.25);
    ChunkBuffer full;
    source.SaveState(full);

    for (int32_t size : {0, 1, 16, 100, 223})
    {
        ChunkBuffer shortChunk = ChunkOf(std::vector<uint8_t>(full.Data(), full.Data() + size));
        TestPlugin target;
        target.SetAll(0.75);
        const std::vector<double> before = Values(target);
        target.changes.clear();
        EXPECT_EQ(target.LoadState(shortChunk, 0), -1) << size;
        EXPECT_EQ(Values(target), before) << size;
        EXPECT_TRUE(target.changes.empty()) << size;
    }
}

TEST(StateChunk, OutOfRangeAndCorruptedValuesAreMended)
{
    ChunkBuffer chunk;
    chunk.PutDouble(1e9);
    chunk.PutDouble(std::numeric_limits<double>::quiet_NaN());
    chunk.PutDouble(-std::numeric_limits<double>::infinity());
    for (int i = 3; i < 28; ++i)
        chunk.PutDouble(0.5);
    chunk.PutDouble(99.0); // trailing bytes are ignored

    TestPlugin plugin;
    EXPECT_EQ(plugin.LoadState(chunk, 0), 224);
    EXPECT_EQ(plugin.GetParam(0)->Value(), 1.0);
    EXPECT_EQ(plugin.GetParam(1)->Value(), 0.5); // NaN loads as the default
    EXPECT_EQ(plugin.GetParam(2)->Value(), 5.0);
    for (int i = 0; i < 28; ++i)
        EXPECT_FALSE(std::isnan(plugin.GetParam(i)->Value()));
}

TEST(StateChunk, StartPositionsBeyondTheEndFailWithoutReading)
{
    TestPlugin plugin;
    ChunkBuffer chunk;
    plugin.SaveState(chunk);
    EXPECT_EQ(plugin.LoadState(chunk, std::numeric_limits<int32_t>::max()), -1);
    EXPECT_EQ(plugin.LoadState(chunk, -1), -1);
}

TEST(ChunkHeader, IsReadWhenPresentAndToleratedWhenAbsent)
{
    ChunkBuffer chunk;
    chunk.PutInt32(1234); // will be discarded by the header writer
    ASSERT_TRUE(WriteChunkHeader(chunk));
    const std::vector<uint8_t> header = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(Bytes(chunk), header);
    int32_t pos = 0;
    EXPECT_EQ(ReadChunkHeader(chunk, pos), 0x00010000);
    EXPECT_EQ(pos, 8);

    const struct
    {
        std::vector<uint8_t> bytes;
        int32_t positionAfter;
    } headerless[] = {
        {{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, 0},        // raw values from an older host: untouched
        {{0x74, 0x66}, 0},                          // too short to hold a magic number
        {{0x74, 0x66, 0x66, 0x70, 0x00, 0x00}, -1}, // the magic, then cut inside the version
    };
    for (const auto& c : headerless)
    {
        pos = 0;
        EXPECT_EQ(ReadChunkHeader(ChunkOf(c.bytes), pos), 0) << c.bytes.size();
        EXPECT_EQ(pos, c.positionAfter) << c.bytes.size();
    }
}

TEST(ChunkHeader, ProgramChunkIsHeaderPlusState)
{
    TestPlugin plugin;
    ChunkBuffer chunk;
    WriteChunkHeader(chunk);
    plugin.SaveState(chunk);
    EXPECT_EQ(chunk.Size(), 232);
}

TEST(PresetBank, OneInitialisedSlotNamedInitHasTheKnownLayout)
{
    TestPlugin plugin;
    plugin.FillDefaultPresets("Init", 1);
    ChunkBuffer chunk;
    WriteChunkHeader(chunk);
    plugin.ModifyCurrentPreset();
    ASSERT_TRUE(plugin.SerializePresets(chunk));
    ASSERT_EQ(chunk.Size(), 241);
    const std::vector<uint8_t> start = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00, 0x04,
                                        0x00, 0x00, 0x00, 0x49, 0x6E, 0x69, 0x74, 0x01};
    EXPECT_EQ(std::vector<uint8_t>(chunk.Data(), chunk.Data() + 17), start);
    ChunkBuffer state;
    plugin.SaveState(state);
    EXPECT_EQ(0, std::memcmp(chunk.Data() + 17, state.Data(), 224));
}

TEST(PresetBank, RoundTripsNamesFlagsAndStates)
{
    TestPlugin source(TestConfig(3));
    source.SetAll(0.2);
    source.FillDefaultPresets("First", 1);
    Scramble(source);
    source.LoadPresetSlot(2); // fresh slot: takes the scrambled state as "user preset 1"
    ChunkBuffer bank;
    ASSERT_TRUE(source.SerializePresets(bank));

    TestPlugin target(TestConfig(3));
    EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
    EXPECT_STREQ(target.PresetNameAt(0), "First");
    EXPECT_STREQ(target.PresetNameAt(1), "empty");
    EXPECT_STREQ(target.PresetNameAt(2), "user preset 1");
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(target.GetPresetSlot(i)->initialized, source.GetPresetSlot(i)->initialized) << i;
        EXPECT_EQ(target.GetPresetSlot(i)->state, source.GetPresetSlot(i)->state) << i;
    }
    // The current slot (0) is reloaded at the end.
    EXPECT_EQ(target.GetParam(0)->Value(), 0.2);
}

TEST(PresetBank, EmptyNamesTakeThePreviousRecordsName)
{
    TestPlugin plugin(TestConfig(2));
    ChunkBuffer bank;
    bank.PutString("Kick");
    bank.PutByte(1);
    plugin.SaveState(bank);
    bank.PutString("");
    bank.PutByte(0);
    EXPECT_EQ(plugin.UnserializePresets(bank, 0), bank.Size());
    EXPECT_STREQ(plugin.PresetNameAt(0), "Kick");
    EXPECT_STREQ(plugin.PresetNameAt(1), "Kick");
}

TEST(PresetBank, HostileOrTruncatedBanksStopCleanly)
{
    TestPlugin reference(TestConfig(2));
    reference.FillDefaultPresets("A", 2);
    ChunkBuffer bank;
    reference.SerializePresets(bank);

    // Every truncation reports -1 and changes neither a slot nor a value.
    TestPlugin plugin(TestConfig(2));
    plugin.SetAll(0.75);
    plugin.FillDefaultPresets("Mine", 2);
    ChunkBuffer before;
    plugin.SerializePresets(before);
    const std::vector<double> valuesBefore = Values(plugin);
    for (int32_t size = 0; size < bank.Size(); ++size)
    {
        ChunkBuffer cut = ChunkOf(std::vector<uint8_t>(bank.Data(), bank.Data() + size));
        EXPECT_EQ(plugin.UnserializePresets(cut, 0), -1) << size;
        ChunkBuffer after;
        plugin.SerializePresets(after);
        EXPECT_EQ(Bytes(after), Bytes(before)) << size;
        EXPECT_EQ(Values(plugin), valuesBefore) << size;
    }

    const int32_t hostileLengths[] = {-1, -5, std::numeric_limits<int32_t>::min(),
                                      std::numeric_limits<int32_t>::max(), 1 << 30};
    for (int32_t length : hostileLengths)
    {
        ChunkBuffer hostile;
        hostile.PutInt32(length);
        hostile.PutBytes("Name", 4);
        hostile.PutByte(1);
        TestPlugin fresh(TestConfig(2));
        EXPECT_EQ(fresh.UnserializePresets(hostile, 0), -1) << length;
        EXPECT_STREQ(fresh.PresetNameAt(1), "empty") << length;
    }

    // A name with an embedded zero ends at the zero; names are cut to 255 characters.
    ChunkBuffer odd;
    odd.PutInt32(5);
    odd.PutBytes("Ab\0cd", 5);
    odd.PutByte(1);
    plugin.SaveState(odd);
    const std::string longName(300, 'x');
    odd.PutString(longName.c_str());
    odd.PutByte(0);
    EXPECT_EQ(plugin.UnserializePresets(odd, 0), odd.Size());
    EXPECT_STREQ(plugin.PresetNameAt(0), "Ab");
    EXPECT_EQ(std::string(plugin.PresetNameAt(1)), std::string(255, 'x'));
}
