#include "framework/PluginParameter.h"

#include "framework/TextCopy.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
// Number of decimals of the step: multiply by ten until it is whole, at most six times.
uint32_t DecimalsOfStep(double step)
{
    uint32_t precision = 0;
    double x = step;
    while (std::floor(x) != x && precision < static_cast<uint32_t>(PluginParameter::kMaxDisplayPrecision))
    {
        ++precision;
        x *= 10.0;
    }
    return precision;
}

// Truncates toward zero into an int without the undefined behaviour of converting a value
// that does not fit: out-of-range values saturate, NaN gives 0.
int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}
} // namespace

void PluginParameter::DefineContinuous(const char* name, double defaultValue, double minValue,
                                       double maxValue, double step, const char* label, double shape)
{
    if (mType == ParameterType::NoType)
        mType = ParameterType::DoubleType;
    CopyText(mName, sizeof mName, name);
    CopyText(mLabel, sizeof mLabel, label);
    mGroup[0] = '\0';
    mMin = minValue;
    StoreValue(defaultValue);
    mDefaultValue = defaultValue;
    mStep = step;
    mMax = (minValue + step > maxValue) ? minValue + step : maxValue;
    mDisplayPrecision = DecimalsOfStep(step);
    if (shape != 0.0)
        mShape = shape;
}

void PluginParameter::SetFromNormalized(double normalized)
{
    double plain = mMin + (mMax - mMin) * std::pow(normalized, mShape);
    if (mType != ParameterType::DoubleType)
        plain = std::floor(plain / mStep + 0.5) * mStep;
    // Written as "below max" so that a NaN from a broken host lands on max, never in the value.
    StoreValue((plain < mMax) ? plain : mMax);
}

double PluginParameter::ToNormalized(double plainValue) const
{
    double v = plainValue;
    if (v < mMin)
        v = mMin;
    if (v > mMax)
        v = mMax;
    return std::pow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

void PluginParameter::SetPlainValue(double plainValue)
{
    double v = std::isnan(plainValue) ? mDefaultValue : plainValue;
    if (v < mMin)
        v = mMin;
    if (v > mMax)
        v = mMax;
    StoreValue(v);
}

const DisplayTextEntry* PluginParameter::FindDisplayTextFor(double value) const
{
    const double truncated = std::trunc(value);
    for (const DisplayTextEntry& entry : mDisplayTexts)
        if (static_cast<double>(entry.value) == truncated)
            return &entry;
    return nullptr;
}

void PluginParameter::FormatDisplayText(char* text, int textBytes) const
{
    FormatDisplayText(text, textBytes, Value(), false, true);
}

void PluginParameter::FormatDisplayText(char* text, int textBytes, double value, bool isNormalized,
                                        bool withDisplayTexts) const
{
    if (!text || textBytes <= 0)
        return;
    double v = isNormalized ? mMin + (mMax - mMin) * std::pow(value, mShape) : value;
    if (withDisplayTexts)
    {
        const DisplayTextEntry* entry = FindDisplayTextFor(v);
        if (entry && entry->text[0] != '\0')
        {
            CopyText(text, static_cast<size_t>(textBytes), entry->text);
            return;
        }
    }
    if (mNegateDisplay)
        v = -v;
    if (mDisplayPrecision > 0)
        std::snprintf(text, static_cast<size_t>(textBytes), "%.*f", static_cast<int>(mDisplayPrecision), v);
    else
        std::snprintf(text, static_cast<size_t>(textBytes), "%d", TruncateToInt(v));
}

const char* PluginParameter::GetDisplayLabel() const
{
    if (!mDisplayTexts.empty())
    {
        const DisplayTextEntry* entry = FindDisplayTextFor(Value());
        if (entry && entry->text[0] != '\0')
            return "";
    }
    return mLabel;
}

bool PluginParameter::LookupDisplayText(const char* text, double& value) const
{
    if (!text)
        return false;
    for (const DisplayTextEntry& entry : mDisplayTexts)
        if (std::strcmp(entry.text, text) == 0)
        {
            value = static_cast<double>(entry.value);
            return true;
        }
    return false;
}

double PluginParameter::ParseNumericText(const char* text) const
{
    const double v = text ? std::strtod(text, nullptr) : 0.0;
    return mNegateDisplay ? -v : v;
}

void PluginParameter::SetGroup(const char* group) { CopyText(mGroup, sizeof mGroup, group); }

void PluginParameter::AddDisplayText(int32_t value, const char* text)
{
    DisplayTextEntry entry;
    entry.value = value;
    CopyText(entry.text, sizeof entry.text, text);
    mDisplayTexts.push_back(entry);
}
