// Audible behaviour of the drum voice: silence, onsets, retrigger blanking, envelope
// timing, shaper bypass, stereo expander, velocity latch, tone filter and output range.

#include "engine/AttackDecayEnvelope.h"
#include "engine/SynthEngine.h"
#include "engine/ToneFilter.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace
{

class EngineVoiceTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (SynthEngine* engine : engines)
            EngineDestroy(engine);
    }
    SynthEngine* make(double sampleRate)
    {
        engines.push_back(EngineCreate(sampleRate));
        return engines.back();
    }
    std::vector<SynthEngine*> engines;
};

TEST_F(EngineVoiceTest, GateZeroSinceResetIsExactSilenceWithOrWithoutShaper)
{
    for (double load : {0.0, 0.6})
    {
        SynthEngine* engine = make(44100.0);
        EngineSetParameter(engine, kTransistorDistLoad, load);
        EngineSetParameter(engine, kStereoExpandOffOn, 1.0);
        EngineSetParameter(engine, kVoice00_NoteRetrig, 1.0); // a token change alone plays nothing
        for (int block = 0; block < 40; ++block)
        {
            const StereoBlock out = renderBlock(engine, 500);
            ASSERT_EQ(firstNonZero(out.left), -1) << load;
            ASSERT_EQ(firstNonZero(out.right), -1) << load;
        }
    }
}

TEST_F(EngineVoiceTest, HitStartsAtFirstSampleAndLeavesOneSampleLater)
{
    SynthEngine* engine = make(44100.0);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    const StereoBlock out = renderBlock(engine, 8);
    EXPECT_EQ(firstNonZero(out.left), 1);
    EXPECT_EQ(firstNonZero(out.right), 1);
    EXPECT_EQ(out.left, out.right);
}

TEST_F(EngineVoiceTest, RetriggerWithRisingGateStartsOneMillisecondLate)
{
    for (double sampleRate : {44100.0, 48000.0})
    {
        SynthEngine* engine = make(sampleRate);
        EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
        EngineSetParameter(engine, kVoice00_NoteRetrig, 1.0);
        const int32_t blank = static_cast<int32_t>(sampleRate * 0.001);
        const StereoBlock out = renderBlock(engine, 200);
        // The attack starts at sample `blank` and is heard one sample later.
        EXPECT_EQ(firstNonZero(out.left), blank + 1) << sampleRate;
    }
}

TEST_F(EngineVoiceTest, RetriggerDuringHeldNoteReleasesThenRestarts)
{
    SynthEngine* engine = make(44100.0);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    renderBlock(engine, 1000);
    const AttackDecayEnvelope& tonal = engine->voice.tonalEnvelope;
    ASSERT_EQ(tonal.stage, AttackDecayEnvelope::kDecay);
    const double levelBefore = tonal.output;

    EngineSetParameter(engine, kVoice00_NoteRetrig, 0.25);
    renderBlock(engine, 1);
    EXPECT_EQ(tonal.stage, AttackDecayEnvelope::kRelease);
    EXPECT_EQ(tonal.heldLevel, levelBefore);
    renderBlock(engine, 43);
    EXPECT_EQ(tonal.stage, AttackDecayEnvelope::kRelease);
    renderBlock(engine, 1);
    EXPECT_EQ(tonal.stage, AttackDecayEnvelope::kAttack);
    EXPECT_EQ(engine->voice.noiseEnvelope.stage, AttackDecayEnvelope::kAttack);
}

TEST_F(EngineVoiceTest, HeldGateEndsTheTonalPartAfterAttackPlusDecay)
{
    SynthEngine* engine = make(44100.0);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    const double expectedSamples = (0.001 + 0.18225) * 44100.0; // defaults: At 1 ms, Dt 0.18225 s
    renderBlock(engine, 8000);
    int32_t rendered = 8000;
    while (engine->voice.tonalEnvelope.stage != AttackDecayEnvelope::kEnded && rendered < 9000)
    {
        renderBlock(engine, 1);
        ++rendered;
    }
    EXPECT_NEAR(rendered, expectedSamples, 2.0);
    EXPECT_EQ(engine->voice.tonalEnvelope.output, 0.0);
}

TEST_F(EngineVoiceTest, ReleaseFromZeroStaysSilentAndNextGateAttacksNormally)
{
    SynthEngine* engine = make(44100.0);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    renderBlock(engine, 12000); // both parts have ended by now
    ASSERT_EQ(engine->voice.noiseEnvelope.stage, AttackDecayEnvelope::kEnded);
    EngineSetParameter(engine, kVoice00_NoteGate, 0.0);
    renderBlock(engine, 5000);
    for (const AttackDecayEnvelope* envelope : {&engine->voice.tonalEnvelope, &engine->voice.noiseEnvelope})
    {
        EXPECT_EQ(envelope->stage, AttackDecayEnvelope::kRelease);
        EXPECT_EQ(envelope->heldLevel, 0.0);
        EXPECT_EQ(envelope->phase, 0.0);
        EXPECT_EQ(envelope->output, 0.0);
    }
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    renderBlock(engine, 1);
    EXPECT_EQ(engine->voice.tonalEnvelope.stage, AttackDecayEnvelope::kAttack);
    EXPECT_GT(engine->voice.tonalEnvelope.output, 0.0);
}

TEST(AttackDecayEnvelopeTest, ReleaseLengthIsHeldLevelTimesDecay)
{
    AttackDecayEnvelope envelope;
    envelope.prepare(0.01, 0.2, 44100.0, 44, 1.0 / 44.1);
    while (envelope.step(1.0) < 0.5)
    {
    }
    ASSERT_EQ(envelope.stage, AttackDecayEnvelope::kAttack);
    const double held = envelope.output;
    int32_t samples = 0;
    do
    {
        envelope.step(0.0);
        ++samples;
    } while (envelope.output > 0.0 && samples < 100000);
    // The first release sample still uses the previous (zero) length, hence the +1.
    EXPECT_NEAR(samples, held * 0.2 * 44100.0 + 1.0, 1.5);
    EXPECT_EQ(envelope.stage, AttackDecayEnvelope::kRelease);
    // After three release lengths the envelope goes idle.
    for (int i = 0; i < 2 * samples + 10; ++i)
        envelope.step(0.0);
    EXPECT_EQ(envelope.stage, AttackDecayEnvelope::kIdle);
}

TEST_F(EngineVoiceTest, ShaperIsBypassedOnlyAtLoadZero)
{
    SynthEngine* bypassed = make(44100.0);
    SynthEngine* driven = make(44100.0);
    for (SynthEngine* engine : {bypassed, driven})
    {
        EngineSetParameter(engine, kNoiseAmpLevel, 0.0);
        EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    }
    EngineSetParameter(driven, kTransistorDistLoad, 1e-9);
    const StereoBlock plain = renderBlock(bypassed, 400);
    const StereoBlock shaped = renderBlock(driven, 400);
    EXPECT_FALSE(bypassed->voice.shaper.enabled);
    EXPECT_TRUE(driven->voice.shaper.enabled);
    // The shaper looks one sample back, so its first hit sample is 0.
    EXPECT_EQ(firstNonZero(plain.left), 1);
    EXPECT_EQ(firstNonZero(shaped.left), 2);
    EXPECT_NE(plain.left, shaped.left);
    // Gentlest drive: k1 = 1.154, k2 = 1, gain 0.9.
    EXPECT_NEAR(driven->voice.shaper.driveK1, 1.154, 1e-12);
    EXPECT_NEAR(driven->voice.shaper.gain, 0.9, 1e-3);
}

TEST_F(EngineVoiceTest, StereoExpanderDelaysLeftAndRight)
{
    SynthEngine* engine = make(44100.0);
    EngineSetParameter(engine, kStereoExpandOffOn, 1.0);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    const StereoBlock out = renderBlock(engine, 2000);
    // Left 705.6 samples (interpolated), right 1764 samples.
    EXPECT_EQ(firstNonZero(out.left), 705);
    EXPECT_EQ(firstNonZero(out.right), 1764);
    EXPECT_NEAR(out.left[705], 0.4 * out.right[1764], 1e-12);
    EXPECT_NEAR(out.left[706], out.right[1764] + 0.4 * (out.right[1765] - out.right[1764]), 1e-12);

    // At 250 kHz the first attack samples quantise to 0, so compare with the plain onset.
    SynthEngine* plain = make(250000.0);
    SynthEngine* fast = make(250000.0);
    for (SynthEngine* e : {plain, fast})
    {
        EngineSetParameter(e, kNoiseAmpLevel, 0.0);
        EngineSetParameter(e, kVoice00_NoteGate, 1.0);
    }
    EngineSetParameter(fast, kStereoExpandOffOn, 1.0);
    const int32_t plainOnset = firstNonZero(renderBlock(plain, 9000).left);
    const StereoBlock limited = renderBlock(fast, 9000);
    ASSERT_GT(plainOnset, 0);
    EXPECT_EQ(firstNonZero(limited.left), plainOnset + 4000 - 1);
    EXPECT_EQ(firstNonZero(limited.right), plainOnset + 8000 - 1); // 10000 asked, 8000 is the limit
}

TEST_F(EngineVoiceTest, VelocityIsLatchedOnlyWhenTheGateRisesBetweenBlocks)
{
    SynthEngine* engine = make(44100.0);
    EngineSetParameter(engine, kVelAmpOffOn, 1.0);
    EXPECT_EQ(engine->voice.latchedVelocity, 0.0);
    EngineSetParameter(engine, kVoice00_NoteVelocity, 0.0);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    EXPECT_EQ(firstNonZero(renderBlock(engine, 3000).left), -1);

    EngineSetParameter(engine, kVoice00_NoteGate, 0.0);
    renderBlock(engine, 0);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    EngineSetParameter(engine, kVoice00_NoteVelocity, 127.0);
    renderBlock(engine, 0); // an empty block still latches
    EXPECT_DOUBLE_EQ(engine->voice.latchedVelocity, 0.99949);
    EngineSetParameter(engine, kVoice00_NoteVelocity, 20.0);
    renderBlock(engine, 10);
    EXPECT_DOUBLE_EQ(engine->voice.latchedVelocity, 0.99949);
    EngineSetParameter(engine, kVoice00_NoteGate, 0.5); // not above the middle
    renderBlock(engine, 10);
    EngineSetParameter(engine, kVoice00_NoteGate, 0.0);
    renderBlock(engine, 10);
    EngineSetParameter(engine, kVoice00_NoteGate, 0.5);
    renderBlock(engine, 10);
    EXPECT_DOUBLE_EQ(engine->voice.latchedVelocity, 0.99949);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    renderBlock(engine, 10);
    EXPECT_DOUBLE_EQ(engine->voice.latchedVelocity, 20.0 * 0.00787);
}

TEST(ToneFilterTest, KnobEndsGiveStatedCutoffsAndUnityPassbands)
{
    ToneFilter filter;
    filter.prepare(0.0, 44100.0);
    EXPECT_NEAR(filter.lowPassCutoffHz, 296.2, 0.05);
    EXPECT_EQ(filter.crossfade, 0.0);
    filter.prepare(1.0, 44100.0);
    EXPECT_NEAR(filter.highPassCutoffHz, 10249.76, 1e-9);
    EXPECT_EQ(filter.crossfade, 1.0);
    filter.prepare(0.5, 44100.0);
    EXPECT_NEAR(filter.crossfade, 0.6, 1e-12);
    EXPECT_NEAR(filter.lowPassCutoffHz, 20000.0, 1e-9);

    for (double sampleRate : {44100.0, 96000.0, 16000.0})
    {
        for (double tone : {0.0, 0.3, 0.5, 0.7, 1.0})
        {
            filter.prepare(tone, sampleRate);
            const ToneFilter::Biquad& lp = filter.lowPass;
            const ToneFilter::Biquad& hp = filter.highPass;
            // Low-pass passes DC; high-pass blocks DC and passes the Nyquist frequency.
            EXPECT_NEAR((lp.b0 + lp.b1 + lp.b2) / (1.0 + lp.a1 + lp.a2), 1.0, 1e-6);
            EXPECT_EQ(hp.b0 + hp.b1 + hp.b2, 0.0);
            EXPECT_NEAR((hp.b0 - hp.b1 + hp.b2) / (1.0 - hp.a1 + hp.a2), 1.0, 1e-9);
        }
    }
    filter.prepare(0.5, 0.0); // no division by a zero rate
    EXPECT_TRUE(filter.coefficientsAreFinite());
}

TEST_F(EngineVoiceTest, LoudestSettingsStayWithinOutputRange)
{
    SynthEngine* engine = make(48000.0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double peak = 0.0;
    for (int hit = 0; hit < 60; ++hit)
    {
        for (int32_t index : {kNoiseFilterTone, kTransistorDistLoad, kTonalPitchAmt, kStereoExpandOffOn,
                              kNoiseEnvAttack, kTonalEnvAttack, kNoiseEnvDecay, kTonalEnvDecay})
            EngineSetParameter(engine, index, unit(random));
        EngineSetParameter(engine, kMainVolume, 1.0);
        EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
        EngineSetParameter(engine, kVoice00_NoteRetrig, hit % 2);
        for (int block = 0; block < 12; ++block)
        {
            const StereoBlock out = renderBlock(engine, 256);
            for (int i = 0; i < 256; ++i)
            {
                ASSERT_TRUE(std::fabs(out.left[i]) <= 1.2 && std::fabs(out.right[i]) <= 1.2);
                peak = std::max(peak, std::fabs(out.left[i]));
            }
        }
        EngineSetParameter(engine, kVoice00_NoteGate, 0.0);
        renderBlock(engine, 256);
    }
    EXPECT_GT(peak, 0.3);
}

TEST_F(EngineVoiceTest, LowSampleRatesKeepTheOutputFiniteDespiteUnstableFilter)
{
    // The default tone puts the low-pass at 20 kHz, above the Nyquist frequency here.
    for (double sampleRate : {22050.0, 32000.0})
    {
        SynthEngine* engine = make(sampleRate);
        EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
        EngineSetParameter(engine, kNoiseEnvDecay, 1.0);
        for (int block = 0; block < 100; ++block)
        {
            const StereoBlock out = renderBlock(engine, 256);
            for (int i = 0; i < 256; ++i)
                ASSERT_TRUE(std::fabs(out.left[i]) <= 1.2 && std::fabs(out.right[i]) <= 1.2)
                    << sampleRate << " " << block << " " << out.left[i];
        }
        EXPECT_TRUE(std::isfinite(engine->voice.toneFilter.lowPass.y1));
    }
}

} // namespace
