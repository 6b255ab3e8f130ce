#pragma once
// One automatable parameter. It keeps its current value in plain units (milliseconds, a
// level, a note number) and converts between that and the 0..1 normalised value that hosts
// and editor controls exchange; it also turns values into display text and text back into
// values. The parameter's index in IPlugBase's list is its identity everywhere.
//
// Threads: the definition (range, shape, texts) is fixed once the instance is constructed.
// The current value is read and written by the audio thread under the plug-in lock and by a
// host's controller calls without it, so it is kept in a relaxed atomic: every reader sees a
// whole value, and nothing else is ordered by it.

#include "framework/RelaxedAtomicDouble.h"

#include <cstdint>
#include <vector>

enum class ParameterType : int32_t
{
    NoType = 0,     // not yet defined
    BoolType = 1,   // two-state switch
    IntType = 2,    // integer steps
    EnumType = 3,   // choice from a list
    DoubleType = 4, // continuous value
};

// Stands for every value that, truncated toward zero, equals `value`.
struct DisplayTextEntry
{
    static constexpr int kTextBytes = 32;
    int32_t value = 0;
    char text[kTextBytes] = {};
};

class PluginParameter
{
public:
    static constexpr int kTextBytes = 32; // name, label and group, terminator included
    static constexpr int kMaxDisplayPrecision = 6;

    PluginParameter() = default;

    // Defines a continuous parameter. The default is stored as given (not clamped); the range
    // is never shorter than one step; the display precision is the number of decimals of the
    // step. A type set before the call is kept, otherwise the type becomes DoubleType. A
    // shape of 0 keeps the current shape.
    void DefineContinuous(const char* name, double defaultValue, double minValue, double maxValue,
                          double step, const char* label = "", double shape = 1.0);

    // Plain value from a normalised one: min + (max - min) * n^shape, rounded to the step for
    // stepped types, and clamped to max (but not to min: n itself is not clamped).
    void SetFromNormalized(double normalized);
    // Normalised value of a plain value clamped to the range.
    double ToNormalized(double plainValue) const;
    double GetNormalized() const { return ToNormalized(Value()); }
    // Sets the value clamped to [min, max], without step rounding. A NaN is a corrupted value
    // (a damaged chunk or a broken host) and sets the default, clamped to the range, instead.
    void SetPlainValue(double plainValue);

    // Display text of the current value, consulting the display texts. Always terminated;
    // cut to textBytes - 1 characters.
    void FormatDisplayText(char* text, int textBytes) const;
    // Display text of a given value, which may be normalised.
    void FormatDisplayText(char* text, int textBytes, double value, bool isNormalized,
                           bool withDisplayTexts = true) const;
    // The label to show beside the display text: empty when a display text already names
    // the current value.
    const char* GetDisplayLabel() const;

    // Text to value, the two building blocks of text entry. Looks up a display text exactly
    // (case-sensitive); false when none matches.
    bool LookupDisplayText(const char* text, double& value) const;
    // The leading decimal number of the text (0 without one), negated when the display is.
    double ParseNumericText(const char* text) const;

    // Setters for the general case (this product's parameters use none of them).
    void SetType(ParameterType type) { mType = type; }
    void SetGroup(const char* group);
    void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
    void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }
    // Appends a display text; later entries for the same value are never reached.
    void AddDisplayText(int32_t value, const char* text);

    ParameterType Type() const { return mType; }
    double Value() const { return mValue.Load(); }
    double Min() const { return mMin; }
    double Max() const { return mMax; }
    double Step() const { return mStep; }
    double Shape() const { return mShape; }
    double DefaultValue() const { return mDefaultValue; }
    uint32_t DisplayPrecision() const { return mDisplayPrecision; }
    const char* Name() const { return mName; }
    const char* Label() const { return mLabel; }
    const char* Group() const { return mGroup; }
    bool NegateDisplay() const { return mNegateDisplay; }
    bool CanAutomate() const { return mCanAutomate; }
    const std::vector<DisplayTextEntry>& DisplayTexts() const { return mDisplayTexts; }
    int NumDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }

private:
    // The first entry whose value equals the truncated value, or none.
    const DisplayTextEntry* FindDisplayTextFor(double value) const;
    void StoreValue(double value) { mValue.Store(value); }

    ParameterType mType = ParameterType::NoType;
    RelaxedAtomicDouble mValue;
    double mMin = 0.0;
    double mMax = 1.0;
    double mStep = 1.0;
    double mShape = 1.0;
    double mDefaultValue = 0.0;
    uint32_t mDisplayPrecision = 0;
    char mName[kTextBytes] = {};
    char mLabel[kTextBytes] = {};
    char mGroup[kTextBytes] = {};
    bool mNegateDisplay = false;
    bool mCanAutomate = true;
    std::vector<DisplayTextEntry> mDisplayTexts;
};
