// Chunks through the VST2 module loaded from disk: their layout, byte-exact round trips into
// fresh instances, headerless states from older hosts, hostile chunks, and the program
// switch that keeps edits.

#include "tests/vst2/host/ScriptedHost.h"
#include "tests/vst2/host/Vst2Module.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
constexpr int kMainVolume = 3;

std::vector<uint8_t> Int32Bytes(int32_t value)
{
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<uint8_t> kHeader = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
} // namespace

TEST(Vst2Chunks, LayoutAndByteExactRoundTrips)
{
    ScriptedHost host;
    Vst2Instance original(host);
    original.Start();
    const std::vector<uint8_t> bank = original.Chunk(false);
    ASSERT_EQ(bank.size(), 241u);
    const std::vector<uint8_t> start = Join({kHeader, Int32Bytes(4), {'I', 'n', 'i', 't', 1}});
    EXPECT_TRUE(std::equal(start.begin(), start.end(), bank.begin()));
    const std::vector<uint8_t> program = original.Chunk(true);
    ASSERT_EQ(program.size(), 232u);
    EXPECT_TRUE(std::equal(kHeader.begin(), kHeader.end(), program.begin()));

    // Edits travel in both kinds, byte for byte.
    original.SetParam(kMainVolume, 0.123456f);
    original.SetParam(17, 1.0f / 3.0f);
    const std::vector<uint8_t> editedBank = original.Chunk(false);
    const std::vector<uint8_t> editedProgram = original.Chunk(true);
    Vst2Instance fromBank(host), fromProgram(host), fromRaw(host);
    EXPECT_EQ(fromBank.SetChunk(false, editedBank), 1);
    EXPECT_EQ(fromBank.Chunk(false), editedBank);
    EXPECT_EQ(fromProgram.SetChunk(true, editedProgram), 1);
    EXPECT_EQ(fromProgram.Chunk(true), editedProgram);
    // 224 raw bytes without header, as older hosts stored them, load as the state.
    const std::vector<uint8_t> raw(editedProgram.begin() + 8, editedProgram.end());
    EXPECT_EQ(fromRaw.SetChunk(false, raw), 1);
    EXPECT_EQ(fromRaw.Chunk(true), editedProgram);
    EXPECT_EQ(fromRaw.Param(kMainVolume), original.Param(kMainVolume));
}

TEST(Vst2Chunks, HostileChunksAreRefusedAndChangeNothing)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    plugin.SetParam(kMainVolume, 0.3f);
    const std::vector<uint8_t> before = plugin.Chunk(false);
    const std::vector<uint8_t> state(before.begin() + 17, before.end());

    struct Case
    {
        std::vector<uint8_t> bytes;
        bool alsoAsProgram; // bank records read as a program would be a long enough state
    };
    const Case hostile[] = {
        {{0x74, 0x66}, true},                                     // shorter than a header
        {{0x74, 0x66, 0x66, 0x70, 0x00}, true},                   // header cut in its version
        {kHeader, true},                                          // a header and nothing
        {Join({kHeader, std::vector<uint8_t>(100, 0x41)}), true}, // a state cut short
        {std::vector<uint8_t>(223, 0x3F), true},                  // raw state one byte short
        {Join({kHeader, Int32Bytes(0x7FFFFFFF), {'I', 'n', 'i', 't', 1}, state}), false}, // name past the end
        {Join({kHeader, Int32Bytes(-4), {'I', 'n', 'i', 't', 1}, state}), false},         // negative length
        {Join({kHeader, Int32Bytes(4), {'I', 'n', 'i', 't', 1}}), true}, // a slot without its state
    };
    for (size_t i = 0; i < sizeof hostile / sizeof hostile[0]; ++i)
        for (bool singleProgram : {false, true})
        {
            if (singleProgram && !hostile[i].alsoAsProgram)
                continue;
            EXPECT_EQ(plugin.SetChunk(singleProgram, hostile[i].bytes), 0) << i << " " << singleProgram;
            EXPECT_EQ(plugin.Chunk(false), before) << i << " " << singleProgram;
        }
    // Sizes no chunk of this product has are refused before anything is read.
    uint8_t small[16] = {};
    EXPECT_EQ(plugin.Dispatch(kVst2SetChunk, 0, intptr_t{1} << 40, small), 0);
    EXPECT_EQ(plugin.Dispatch(kVst2SetChunk, 0, -5, small), 0);
    EXPECT_EQ(plugin.Chunk(false), before);
}

TEST(Vst2Chunks, ProgramSwitchKeepsEdits)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    plugin.SetParam(kMainVolume, 0.3f);
    plugin.Dispatch(kVst2SetProgram, 0, 0);
    EXPECT_EQ(plugin.Param(kMainVolume), 0.3f);
    // A program that does not exist changes nothing but still keeps the edits.
    plugin.Dispatch(kVst2SetProgram, 0, 7);
    plugin.Dispatch(kVst2SetProgram, 0, -1);
    EXPECT_EQ(plugin.Dispatch(kVst2GetProgram), 0);
    plugin.SetParam(kMainVolume, 0.9f);
    plugin.Dispatch(kVst2SetProgram, 0, 0);
    EXPECT_EQ(plugin.Param(kMainVolume), 0.9f);
    EXPECT_EQ(plugin.Chunk(false).size(), 241u);
}
