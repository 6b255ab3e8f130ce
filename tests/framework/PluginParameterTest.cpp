#include "framework/PluginParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace
{
std::string Display(const PluginParameter& param)
{
    char text[64];
    param.FormatDisplayText(text, sizeof text);
    return text;
}

PluginParameter Continuous(double minValue, double maxValue, double step, double shape = 1.0)
{
    PluginParameter param;
    param.DefineContinuous("Level", minValue, minValue, maxValue, step, "dB", shape);
    return param;
}
} // namespace

TEST(PluginParameter, DisplayPrecisionIsTheNumberOfDecimalsOfTheStepUpToSix)
{
    EXPECT_EQ(Continuous(0, 10, 0.00001).DisplayPrecision(), 5u);
    EXPECT_EQ(Continuous(0, 10, 0.25).DisplayPrecision(), 2u);
    EXPECT_EQ(Continuous(0, 10, 0.0000001).DisplayPrecision(), 6u);
    EXPECT_EQ(Continuous(0, 10, 1.0).DisplayPrecision(), 0u);

    PluginParameter fine = Continuous(0, 10, 0.00001);
    fine.SetPlainValue(1.0);
    EXPECT_EQ(Display(fine), "1.00000");

    // Precision 0 truncates toward zero rather than rounding.
    PluginParameter whole = Continuous(-10, 10, 1.0);
    whole.SetPlainValue(3.7);
    EXPECT_EQ(Display(whole), "3");
    whole.SetPlainValue(-3.7);
    EXPECT_EQ(Display(whole), "-3");
}

TEST(PluginParameter, DefinitionKeepsAnEarlierTypeAndNeverAllowsARangeShorterThanAStep)
{
    PluginParameter param;
    param.SetType(ParameterType::IntType);
    param.DefineContinuous("Mode", 0, 0, 0, 1, "");
    EXPECT_EQ(param.Type(), ParameterType::IntType);
    EXPECT_EQ(param.Max(), 1.0);

    // A single-value engine parameter becomes a one-step range; its default is not clamped.
    PluginParameter channel;
    channel.DefineContinuous("Channel", 1, 1, 1, 0.00001, "");
    EXPECT_EQ(channel.Type(), ParameterType::DoubleType);
    EXPECT_EQ(channel.Max(), 1.0 + 0.00001);
    EXPECT_EQ(channel.Value(), 1.0);

    PluginParameter unclamped;
    unclamped.DefineContinuous("Odd", 50, 0, 10, 1, "");
    EXPECT_EQ(unclamped.Value(), 50.0);

    // Shape 0 keeps the stored shape.
    PluginParameter shaped;
    shaped.DefineContinuous("A", 0, 0, 1, 1, "", 3.0);
    shaped.DefineContinuous("A", 0, 0, 1, 1, "", 0.0);
    EXPECT_EQ(shaped.Shape(), 3.0);
}

TEST(PluginParameter, SteppedTypesRoundToTheStepContinuousOnesDoNot)
{
    PluginParameter stepped;
    stepped.SetType(ParameterType::IntType);
    stepped.DefineContinuous("Steps", 0, 0, 10, 1, "");
    stepped.SetFromNormalized(0.46);
    EXPECT_EQ(stepped.Value(), 5.0);

    PluginParameter continuous = Continuous(0, 10, 1);
    continuous.SetFromNormalized(0.46);
    EXPECT_DOUBLE_EQ(continuous.Value(), 4.6);
}

TEST(PluginParameter, NormalizedValuesClampAtTheTopButNotAtTheBottom)
{
    PluginParameter param = Continuous(0, 1, 0.00001);
    param.SetFromNormalized(1.2);
    EXPECT_EQ(param.Value(), 1.0);
    param.SetFromNormalized(-0.5);
    EXPECT_EQ(param.Value(), -0.5);
    EXPECT_EQ(param.ToNormalized(-5.0), 0.0);
    EXPECT_EQ(param.ToNormalized(7.0), 1.0);
    // A NaN from a host never reaches the value.
    param.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(param.Value(), 1.0);
}

TEST(PluginParameter, ShapeBendsBothDirectionsConsistently)
{
    PluginParameter param = Continuous(0, 100, 0.00001, 2.0);
    param.SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(param.Value(), 25.0);
    EXPECT_DOUBLE_EQ(param.ToNormalized(25.0), 0.5);
    char text[32];
    param.FormatDisplayText(text, sizeof text, 0.5, true);
    EXPECT_STREQ(text, "25.00000");
}

TEST(PluginParameter, PlainValuesAreClampedAndNanFallsBackToTheDefault)
{
    PluginParameter param;
    param.DefineContinuous("Tempo", 120, 0, 1000, 0.00001, "bpm");
    param.SetPlainValue(2000);
    EXPECT_EQ(param.Value(), 1000.0);
    param.SetPlainValue(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(param.Value(), 0.0);
    param.SetPlainValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(param.Value(), 120.0);

    // A default outside the range still yields a value inside it.
    PluginParameter odd;
    odd.DefineContinuous("Odd", 50, 0, 10, 1, "");
    odd.SetPlainValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(odd.Value(), 10.0);
}

TEST(PluginParameter, DisplayTextsNameTruncatedValuesAndHideTheLabel)
{
    PluginParameter param;
    param.SetType(ParameterType::BoolType);
    param.DefineContinuous("Switch", 0, 0, 2, 1, "units");
    param.AddDisplayText(1, "On");
    param.AddDisplayText(1, "Shadowed");
    param.AddDisplayText(2, "");

    param.SetPlainValue(1.9);
    EXPECT_EQ(Display(param), "On");
    EXPECT_STREQ(param.GetDisplayLabel(), "");

    // An empty text stops the search and the number and label show instead.
    param.SetPlainValue(2.0);
    EXPECT_EQ(Display(param), "2");
    EXPECT_STREQ(param.GetDisplayLabel(), "units");

    param.SetPlainValue(0.0);
    EXPECT_EQ(Display(param), "0");
    EXPECT_STREQ(param.GetDisplayLabel(), "units");

    char text[32];
    param.FormatDisplayText(text, sizeof text, 1.0, false, false);
    EXPECT_STREQ(text, "1");
}

TEST(PluginParameter, TextTurnsBackIntoValues)
{
    PluginParameter param;
    param.DefineContinuous("Gain", 0, -10, 10, 0.1, "dB");
    param.AddDisplayText(-10, "Off");
    double value = 0;
    EXPECT_TRUE(param.LookupDisplayText("Off", value));
    EXPECT_EQ(value, -10.0);
    EXPECT_FALSE(param.LookupDisplayText("off", value));

    EXPECT_DOUBLE_EQ(param.ParseNumericText("3.25 dB"), 3.25);
    EXPECT_EQ(param.ParseNumericText("loud"), 0.0);
    param.SetNegateDisplay(true);
    EXPECT_DOUBLE_EQ(param.ParseNumericText("3.25"), -3.25);
    param.SetPlainValue(2.5);
    EXPECT_EQ(Display(param), "-2.5");
}

TEST(PluginParameter, FormattingNeverOverrunsAndHugeValuesStayDefined)
{
    PluginParameter whole = Continuous(-1e300, 1e300, 1.0);
    whole.SetPlainValue(1e300);
    EXPECT_EQ(Display(whole), "2147483647");

    PluginParameter fine = Continuous(0, 1e300, 0.000001);
    fine.SetPlainValue(1e300);
    char small[8];
    fine.FormatDisplayText(small, sizeof small);
    EXPECT_EQ(std::string(small).size(), 7u);
}

TEST(PluginParameter, TextFieldsAreCutTo31Characters)
{
    PluginParameter param;
    const std::string longName(40, 'n');
    param.DefineContinuous(longName.c_str(), 0, 0, 1, 1, longName.c_str());
    param.SetGroup(longName.c_str());
    EXPECT_EQ(std::string(param.Name()), std::string(31, 'n'));
    EXPECT_EQ(std::string(param.Label()).size(), 31u);
    EXPECT_EQ(std::string(param.Group()).size(), 31u);
    param.DefineContinuous("Again", 0, 0, 1, 1, "");
    EXPECT_STREQ(param.Group(), "");
}
