#include "tools/render/OfflineRenderer.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/render/TestTempPath.h"

#include "engine/NoiseGenerator.h"
#include "instrument/Kestrum.h"
#include "tools/render/RenderInterrupt.h"
#include "tools/render/RenderCommandLine.h"
#include "tools/render/RenderJob.h"

namespace
{

// The noise source is shared by the whole module and starts at 2 when it loads; every
// render here starts from there so that renders in one test program compare exactly.
constexpr uint32_t kNoiseStateAtLoad = 2;

RenderScenario BusyScenario()
{
    RenderScenario scenario;
    std::string error;
    const bool parsed = ParseRenderScenario(R"({
        "sample_rate": 48000, "block": 100, "frames": 2050, "tempo": 140,
        "params": {"TonalPitchAmt": 0.3, "StereoExpandOffOn": 1, "TransistorDistLoad": 0.4,
                   "VelAmpOffOn": 1, "MainVolume": 2},
        "events": [{"frame": 250, "status": 144, "d1": 38, "d2": 110},
                   {"frame": 205, "status": 176, "d1": 9, "d2": 90},
                   {"frame": 0, "status": 144, "d1": 40, "d2": 60},
                   {"frame": 210, "status": 128, "d1": 40, "d2": 0},
                   {"frame": 1300, "status": 145, "d1": 38, "d2": 127},
                   {"frame": 1401, "status": 128, "d1": 38, "d2": 0},
                   {"frame": 1402, "status": 144, "d1": 36, "d2": 127},
                   {"frame": 2049, "status": 128, "d1": 36, "d2": 0},
                   {"frame": 5000, "status": 144, "d1": 36, "d2": 127}]})",
                                            scenario, error);
    EXPECT_TRUE(parsed) << error;
    return scenario;
}

// What a host does with the instrument, written out without the renderer's help.
void DriveDirectly(const RenderScenario& scenario, std::vector<double>& left, std::vector<double>& right)
{
    auto plug = std::make_unique<Kestrum>();
    plug->SetHostTempo(scenario.tempoBpm);
    plug->SetSampleRate(scenario.sampleRate);
    plug->ApplyBlockSize(scenario.blockFrames);
    plug->ResetProcessing();
    for (const auto& [name, value] : scenario.params)
    {
        const int index = plug->FindParameter(name.c_str());
        plug->GetParam(index)->SetPlainValue(value);
        plug->OnParameterChange(index);
    }
    std::vector<double> silence(scenario.blockFrames, 0.0), l(scenario.blockFrames), r(scenario.blockFrames);
    double* inputs[2] = {silence.data(), silence.data()};
    double* outputs[2] = {l.data(), r.data()};
    for (int64_t start = 0; start < scenario.frames; start += scenario.blockFrames)
    {
        const int frames = static_cast<int>(std::min<int64_t>(scenario.blockFrames, scenario.frames - start));
        for (const ScenarioEvent& event : scenario.events)
        {
            if (event.frame < start || event.frame >= start + frames)
                continue;
            MidiMessage message;
            message.sampleOffset = static_cast<int32_t>(event.frame - start);
            message.status = event.status;
            message.data1 = event.data1;
            message.data2 = event.data2;
            plug->ProcessMidiMessage(message);
        }
        plug->ProcessBlock(inputs, outputs, frames);
        left.insert(left.end(), l.begin(), l.begin() + frames);
        right.insert(right.end(), r.begin(), r.begin() + frames);
    }
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The largest magnitude; a NaN anywhere is returned as the peak, so no check passes over it.
double PeakOf(const std::vector<double>& samples)
{
    double peak = 0.0;
    for (double sample : samples)
    {
        if (std::isnan(sample))
            return sample;
        peak = std::max(peak, std::fabs(sample));
    }
    return peak;
}

std::vector<double> ReadDoubles(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<double> values(bytes.size() / sizeof(double));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
    return values;
}

TEST(OfflineRenderer, RendersExactlyWhatDrivingTheInstrumentDirectlyGives)
{
    const RenderScenario scenario = BusyScenario();
    std::vector<double> renderedLeft, renderedRight, directLeft, directRight;
    std::string error;
    NoiseGenerator::setState(kNoiseStateAtLoad);
    ASSERT_TRUE(OfflineRenderer::RenderToBuffers(scenario, renderedLeft, renderedRight, error)) << error;
    NoiseGenerator::setState(kNoiseStateAtLoad);
    DriveDirectly(scenario, directLeft, directRight);

    ASSERT_EQ(renderedLeft.size(), 2050u);
    EXPECT_TRUE(SameBits(renderedLeft, directLeft));
    EXPECT_TRUE(SameBits(renderedRight, directRight));
    EXPECT_GT(PeakOf(renderedLeft), 0.01);
    EXPECT_FALSE(SameBits(renderedLeft, renderedRight)); // the stereo expander is on
}

TEST(OfflineRenderer, EventsGoToTheBlockThatHoldsTheirFrame)
{
    // A note-on and its note-off in one block stay silent; one block apart they sound.
    RenderScenario together;
    together.frames = 4096;
    together.blockFrames = 512;
    together.events = {{10, 0x90, 38, 127}, {511, 0x80, 38, 0}};
    RenderScenario apart = together;
    apart.events[1].frame = 512;

    std::vector<double> left, right;
    std::string error;
    ASSERT_TRUE(OfflineRenderer::RenderToBuffers(together, left, right, error)) << error;
    EXPECT_EQ(PeakOf(left), 0.0);
    ASSERT_TRUE(OfflineRenderer::RenderToBuffers(apart, left, right, error)) << error;
    EXPECT_GT(PeakOf(left), 0.01);
}

TEST(OfflineRenderer, UnknownParameterNamesAreRefused)
{
    RenderScenario scenario;
    scenario.frames = 100;
    scenario.params = {{"MainVolume", 0.5}, {"MainVolumes", 0.5}};
    std::vector<double> left, right;
    std::string error;
    EXPECT_FALSE(OfflineRenderer::RenderToBuffers(scenario, left, right, error));
    EXPECT_NE(error.find("MainVolumes"), std::string::npos) << error;
}

class RenderJobTest : public ::testing::Test
{
protected:
    bool Parse(std::vector<const char*> arguments)
    {
        error.clear();
        return ParseRenderCommandLine(static_cast<int>(arguments.size()), arguments.data(), job, error);
    }
    void TearDown() override
    {
        std::remove(output.c_str());
        std::remove(scenarioFile.c_str());
    }

    RenderJob job;
    std::string error;
    std::string output = TestTempPath("job.wav");
    std::string scenarioFile = TestTempPath("job.json");
};

TEST_F(RenderJobTest, OneShotOptionsDescribeASingleHit)
{
    ASSERT_TRUE(Parse({"--note", "38", "--velocity", "110", "--seconds", "1.5", "--set", "TonalEnvDecay=0.7",
                       "--rate", "48000", "--gate", "0.25", "--bits", "64", "hit.WAV"}))
        << error;
    EXPECT_EQ(job.format, AudioFileFormat::WavFloat64);
    EXPECT_EQ(job.scenario.frames, 72000);
    ASSERT_EQ(job.scenario.events.size(), 2u);
    EXPECT_EQ(job.scenario.events[0].frame, 0);
    EXPECT_EQ(job.scenario.events[0].status, 0x90);
    EXPECT_EQ(job.scenario.events[0].data1, 38);
    EXPECT_EQ(job.scenario.events[0].data2, 110);
    EXPECT_EQ(job.scenario.events[1].frame, 12000);
    EXPECT_EQ(job.scenario.events[1].status, 0x80);
    ASSERT_EQ(job.scenario.params.size(), 1u);
    EXPECT_EQ(job.scenario.params[0].first, "TonalEnvDecay");
    EXPECT_EQ(job.scenario.params[0].second, 0.7);

    ASSERT_TRUE(Parse({"out.f64"}));
    EXPECT_EQ(job.format, AudioFileFormat::RawFloat64);
    EXPECT_EQ(job.scenario.events.size(), 1u); // held to the end by default
    EXPECT_EQ(job.scenario.frames, 44100);

    ASSERT_TRUE(Parse({"scene.json", "out.wav"}));
    EXPECT_EQ(job.scenarioPath, "scene.json");
    EXPECT_EQ(job.format, AudioFileFormat::WavFloat32);
}

TEST_F(RenderJobTest, BadCommandLinesAreRefused)
{
    EXPECT_FALSE(Parse({}));
    EXPECT_FALSE(Parse({"out.mp3"}));
    EXPECT_FALSE(Parse({"--bits", "24", "out.wav"}));
    EXPECT_FALSE(Parse({"--bits", "32", "out.f64"}));
    EXPECT_FALSE(Parse({"--note", "128", "out.wav"}));
    EXPECT_FALSE(Parse({"--velocity", "0", "out.wav"}));
    EXPECT_FALSE(Parse({"--seconds", "0", "out.wav"}));
    EXPECT_FALSE(Parse({"--seconds", "abc", "out.wav"}));
    EXPECT_FALSE(Parse({"--rate", "0", "out.wav"}));
    EXPECT_FALSE(Parse({"--block", "0", "out.wav"}));
    EXPECT_FALSE(Parse({"--set", "MainVolume", "out.wav"}));
    EXPECT_FALSE(Parse({"--frobnicate", "1", "out.wav"}));
    EXPECT_FALSE(Parse({"--note", "40", "scene.json", "out.wav"}));
    EXPECT_FALSE(Parse({"a", "b", "c.wav"}));
    EXPECT_FALSE(Parse({"--note"}));
    EXPECT_TRUE(Parse({"--help"}));
    EXPECT_TRUE(job.showHelp);
}

TEST_F(RenderJobTest, AFailedRenderLeavesNoFile)
{
    ASSERT_TRUE(Parse({"--set", "NoSuchParameter=1", output.c_str()}));
    EXPECT_FALSE(RunRenderJob(job, error));
    EXPECT_NE(error.find("NoSuchParameter"), std::string::npos);
    EXPECT_FALSE(FileExists(output));
    EXPECT_FALSE(PartialFileBeside(output));

    std::ofstream(scenarioFile) << R"({"events": [{"frame": 0, "status": 144, "d1": 60, "d2": 300}]})";
    ASSERT_TRUE(Parse({scenarioFile.c_str(), output.c_str()}));
    EXPECT_FALSE(LoadRenderScenarioFile(job, error));
    EXPECT_NE(error.find("d2"), std::string::npos);

    ASSERT_TRUE(Parse({(scenarioFile + ".missing").c_str(), output.c_str()}));
    EXPECT_FALSE(LoadRenderScenarioFile(job, error));
}

TEST_F(RenderJobTest, HostileJobsAreRefusedBeforeAnythingIsWritten)
{
    std::filesystem::create_directory(scenarioFile);
    ASSERT_TRUE(Parse({scenarioFile.c_str(), output.c_str()}));
    EXPECT_FALSE(LoadRenderScenarioFile(job, error));
    EXPECT_NE(error.find("is a folder, not a readable file"), std::string::npos) << error;
    std::filesystem::remove(scenarioFile);
#ifndef _WIN32
    // Devices and pipes are refused before anything waits on them: /dev/zero never ends, and
    // opening a pipe with no writer would wait for ever, deaf to SIGTERM.
    ASSERT_TRUE(Parse({"/dev/zero", output.c_str()}));
    EXPECT_FALSE(LoadRenderScenarioFile(job, error));
    EXPECT_NE(error.find("is not a regular file"), std::string::npos) << error;
    ASSERT_EQ(mkfifo(scenarioFile.c_str(), 0600), 0);
    ASSERT_TRUE(Parse({scenarioFile.c_str(), output.c_str()}));
    EXPECT_FALSE(LoadRenderScenarioFile(job, error));
    EXPECT_NE(error.find("is not a regular file"), std::string::npos) << error;
    std::remove(scenarioFile.c_str());
#endif
    EXPECT_FALSE(Parse({"--rate", "0.4", "--seconds", "10", output.c_str()}));
    EXPECT_NE(error.find("sample_rate"), std::string::npos) << error;

    // Raw renders longer than the limit are refused before the first block.
    const std::string rawOutput = TestTempPath("job.f64");
    ASSERT_TRUE(Parse({"--seconds", "1e10", rawOutput.c_str()}));
    EXPECT_FALSE(RunRenderJob(job, error));
    EXPECT_NE(error.find("too many frames"), std::string::npos) << error;
    std::ofstream(scenarioFile) << R"({"frames": 1e15})";
    ASSERT_TRUE(Parse({scenarioFile.c_str(), rawOutput.c_str()}));
    ASSERT_TRUE(LoadRenderScenarioFile(job, error)) << error;
    EXPECT_FALSE(RunRenderJob(job, error));
    EXPECT_NE(error.find("too many frames"), std::string::npos) << error;
    EXPECT_FALSE(FileExists(rawOutput));
    EXPECT_FALSE(PartialFileBeside(rawOutput));
}

TEST_F(RenderJobTest, OutputsThatCannotBeWrittenAreRefusedBeforeTheRender)
{
    std::ofstream(scenarioFile) << R"({"frames": 100})";
    const std::string folder = TestTempPath("folder.wav");
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(Parse({scenarioFile.c_str(), folder.c_str()}));
    EXPECT_FALSE(CheckRenderOutput(job, {scenarioFile}, error));
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    std::filesystem::remove(folder);

    ASSERT_TRUE(Parse({scenarioFile.c_str(), (folder + "/missing/out.wav").c_str()}));
    EXPECT_FALSE(CheckRenderOutput(job, {scenarioFile}, error));
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;

    // The scenario itself, under another spelling of its path: rendering would replace it.
    const std::string scenarioAsOutput = TestTempPath("scene.wav");
    std::ofstream(scenarioAsOutput) << R"({"frames": 100})";
    const std::filesystem::path other = std::filesystem::path(scenarioAsOutput).parent_path() / "." /
                                        std::filesystem::path(scenarioAsOutput).filename();
    ASSERT_TRUE(Parse({scenarioAsOutput.c_str(), other.string().c_str()}));
    EXPECT_FALSE(CheckRenderOutput(job, {job.scenarioPath}, error));
    EXPECT_NE(error.find("which the render would replace"), std::string::npos) << error;
    std::remove(scenarioAsOutput.c_str());

    ASSERT_TRUE(Parse({scenarioFile.c_str(), output.c_str()}));
    EXPECT_TRUE(CheckRenderOutput(job, {scenarioFile, ""}, error)) << error;
}

TEST_F(RenderJobTest, AnInterruptedRenderStopsAndLeavesNoFile)
{
    ASSERT_TRUE(Parse({"--seconds", "10", output.c_str()}));
    InstallRenderInterruptHandlers();
    std::raise(SIGTERM); // only recorded; the render sees it at its first block
    EXPECT_FALSE(RunRenderJob(job, error));
    ClearRenderInterrupt();
    std::signal(SIGTERM, SIG_DFL);
    EXPECT_NE(error.find("interrupted"), std::string::npos) << error;
    EXPECT_FALSE(FileExists(output));
    EXPECT_FALSE(PartialFileBeside(output));
}

TEST_F(RenderJobTest, ScenarioFileRendersToTheOutput)
{
    std::ofstream(scenarioFile) << R"({"frames": 1000, "events": [{"status": 144, "d1": 60, "d2": 100}]})";
    ASSERT_TRUE(Parse({scenarioFile.c_str(), output.c_str()}));
    ASSERT_TRUE(LoadRenderScenarioFile(job, error)) << error;
    ASSERT_TRUE(RunRenderJob(job, error)) << error;
    std::ifstream file(output, std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<long>(file.tellg()), 44 + 1000 * 8);
}

// The tool itself, run by CTest, rendered a scenario to a .f64 file; it must hold exactly
// what this process renders from the same scenario.
TEST(RenderTool, OutputEqualsTheInProcessRender)
{
    const char* scenarioPath = std::getenv("KESTRUM_RENDER_TOOL_SCENARIO");
    const char* outputPath = std::getenv("KESTRUM_RENDER_TOOL_OUTPUT");
    if (!scenarioPath || !outputPath)
        GTEST_SKIP() << "run by the render tool test";
    RenderJob job;
    job.scenarioPath = scenarioPath;
    std::string error;
    ASSERT_TRUE(LoadRenderScenarioFile(job, error)) << error;
    std::vector<double> left, right;
    NoiseGenerator::setState(kNoiseStateAtLoad);
    ASSERT_TRUE(OfflineRenderer::RenderToBuffers(job.scenario, left, right, error)) << error;

    const std::vector<double> fromTool = ReadDoubles(outputPath);
    ASSERT_EQ(fromTool.size(), 2 * left.size());
    for (size_t i = 0; i < left.size(); ++i)
    {
        ASSERT_EQ(std::memcmp(&fromTool[2 * i], &left[i], sizeof(double)), 0) << "left, frame " << i;
        ASSERT_EQ(std::memcmp(&fromTool[2 * i + 1], &right[i], sizeof(double)), 0) << "right, frame " << i;
    }
}

} // namespace
