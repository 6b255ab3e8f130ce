#include "tools/render/ScenarioJsonReader.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/render/ErrorText.h"

namespace
{

// Only scalars are ever held in this type; containers are walked, never stored.
using Json = nlohmann::json;

// What an error says about a bad value: strings as a short excerpt, objects and arrays
// by kind only, so a huge or deeply nested value is never printed.
std::string DescribeValue(const Json& value)
{
    if (value.is_string())
        return QuotedExcerpt(value.get_ref<const std::string&>());
    if (value.is_object())
        return "an object";
    if (value.is_array())
        return "an array";
    return value.dump();
}

std::string RangeText(int64_t minimum, int64_t maximum)
{
    return "(" + std::to_string(minimum) + " to " + std::to_string(maximum) + ")";
}

// Whole numbers only; 60 and 60.0 are both accepted, 60.5 is not.
bool ReadInteger(const Json& value, const std::string& what, int64_t minimum, int64_t maximum, int64_t& out,
                 std::string& error)
{
    bool whole = false;
    double asDouble = 0.0;
    if (value.is_number_integer())
    {
        // Unsigned values beyond int64 are reported as out of range below.
        if (value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX))
        {
            error = what + " is out of range " + RangeText(minimum, maximum);
            return false;
        }
        out = value.get<int64_t>();
        whole = true;
    }
    else if (value.is_number_float())
    {
        asDouble = value.get<double>();
        whole = std::isfinite(asDouble) && std::floor(asDouble) == asDouble;
        // INT64_MAX rounds up to 2^63 as a double, so 2^63 itself passes the comparison
        // with the maximum yet cannot be converted: test against 2^63 as well.
        constexpr double kTwoTo63 = 9223372036854775808.0;
        if (whole && (asDouble < static_cast<double>(minimum) || asDouble > static_cast<double>(maximum) ||
                      asDouble >= kTwoTo63))
        {
            error = what + " is out of range " + RangeText(minimum, maximum);
            return false;
        }
        if (whole)
            out = static_cast<int64_t>(asDouble);
    }
    if (!whole)
    {
        error = what + " must be an integer, not " + DescribeValue(value);
        return false;
    }
    if (out < minimum || out > maximum)
    {
        error = what + " is out of range " + RangeText(minimum, maximum) + ": " + std::to_string(out);
        return false;
    }
    return true;
}

bool ReadNumber(const Json& value, const std::string& what, double& out, std::string& error)
{
    if (!value.is_number())
    {
        error = what + " must be a number, not " + DescribeValue(value);
        return false;
    }
    out = value.get<double>();
    return true;
}

// An optional whole-number field of an event; absent means 0.
bool ReadOptionalInteger(const std::optional<Json>& value, const char* key, const std::string& where,
                         int64_t maximum, int64_t& out, std::string& error)
{
    out = 0;
    return !value || ReadInteger(*value, where + "." + key, 0, maximum, out, error);
}

// The four fields of an event object as they were read.
struct EventFields
{
    std::optional<Json> status, frame, data1, data2;

    std::optional<Json>* Find(const std::string& key)
    {
        if (key == "status")
            return &status;
        if (key == "frame")
            return &frame;
        if (key == "d1")
            return &data1;
        if (key == "d2")
            return &data2;
        return nullptr;
    }
};

bool ReadEvent(const EventFields& fields, size_t index, ScenarioEvent& event, std::string& error)
{
    const std::string where = "events[" + std::to_string(index) + "]";
    if (!fields.status)
    {
        error = where + " has no \"status\"";
        return false;
    }
    int64_t status = 0, frame = 0, data1 = 0, data2 = 0;
    if (!ReadOptionalInteger(fields.status, "status", where, 255, status, error) ||
        !ReadOptionalInteger(fields.frame, "frame", where, INT64_MAX, frame, error) ||
        !ReadOptionalInteger(fields.data1, "d1", where, 255, data1, error) ||
        !ReadOptionalInteger(fields.data2, "d2", where, 255, data2, error))
        return false;
    event.frame = frame;
    event.status = static_cast<uint8_t>(status);
    event.data1 = static_cast<uint8_t>(data1);
    event.data2 = static_cast<uint8_t>(data2);
    return true;
}

// Walks the parser's events and keeps only what a scenario needs.
class ScenarioSaxReader : public nlohmann::json_sax<Json>
{
public:
    explicit ScenarioSaxReader(RenderScenario& scenario) : mScenario(scenario) {}

    bool FramesGiven() const { return mFramesGiven; }
    const std::string& Error() const { return mError; }

    bool null() override { return Scalar(Json(nullptr)); }
    bool boolean(bool value) override { return Scalar(Json(value)); }
    bool number_integer(number_integer_t value) override { return Scalar(Json(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Scalar(Json(value)); }
    bool number_float(number_float_t value, const string_t&) override { return Scalar(Json(value)); }
    bool string(string_t& value) override { return Scalar(Json(std::move(value))); }
    bool binary(binary_t&) override { return Scalar(Json(nullptr)); }
    bool key(string_t& key) override
    {
        mKey = std::move(key);
        return true;
    }
    bool start_object(std::size_t) override { return Container(false); }
    bool start_array(std::size_t) override { return Container(true); }
    bool end_object() override { return End(); }
    bool end_array() override { return End(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override
    {
        if (mError.empty())
            mError = "malformed JSON: cannot parse";
        return false;
    }

private:
    enum class Place
    {
        Root,   // the scenario object
        Params, // the "params" object
        Events, // the "events" array
        Event,  // one event object
        Skip,   // an unknown key's value or a misplaced container
    };

    bool Fail(std::string error)
    {
        mError = std::move(error);
        return false;
    }

    // A value at the top level of the scenario object.
    bool RootScalar(const Json& value)
    {
        int64_t number = 0;
        if (mKey == "sample_rate")
            return ReadNumber(value, mKey, mScenario.sampleRate, mError);
        if (mKey == "tempo")
            return ReadNumber(value, mKey, mScenario.tempoBpm, mError);
        if (mKey == "block")
        {
            if (!ReadInteger(value, mKey, 1, RenderScenario::kMaxBlockFrames, number, mError))
                return false;
            mScenario.blockFrames = static_cast<int32_t>(number);
            return true;
        }
        if (mKey == "frames")
        {
            if (!ReadInteger(value, mKey, 1, INT64_MAX, number, mError))
                return false;
            mScenario.frames = number;
            mFramesGiven = true;
            return true;
        }
        if (mKey == "params")
            return Fail("params must be an object of parameter names and values");
        if (mKey == "events")
            return Fail("events must be an array");
        return true; // unknown keys are ignored
    }

    // A parameter value; a name given twice keeps its first place and its last value.
    bool ParamScalar(const Json& value)
    {
        double plain = 0.0;
        if (!ReadNumber(value, "params." + QuotedExcerpt(mKey), plain, mError))
            return false;
        for (auto& param : mScenario.params)
        {
            if (param.first == mKey)
            {
                param.second = plain;
                return true;
            }
        }
        mScenario.params.emplace_back(mKey, plain);
        return true;
    }

    bool Scalar(const Json& value)
    {
        if (mOpen.empty())
            return Fail("the scenario must be a JSON object");
        switch (mOpen.back())
        {
            case Place::Root: return RootScalar(value);
            case Place::Params: return ParamScalar(value);
            case Place::Events:
                return Fail("events[" + std::to_string(mEventIndex++) + "] must be an object");
            case Place::Event:
                if (std::optional<Json>* field = mEvent.Find(mKey))
                    *field = value;
                return true;
            case Place::Skip: return true;
        }
        return true;
    }

    // Where a container opens inside the current place; a known field that wants a scalar
    // gets an empty container of the same kind, so the error names the kind found.
    bool Container(bool isArray)
    {
        const Json emptyOfKind = isArray ? Json::array() : Json::object();
        if (mOpen.empty())
        {
            if (isArray)
                return Fail("the scenario must be a JSON object");
            return Open(Place::Root);
        }
        switch (mOpen.back())
        {
            case Place::Root:
                if (mKey == "params" && !isArray)
                {
                    mScenario.params.clear();
                    return Open(Place::Params);
                }
                if (mKey == "events" && isArray)
                {
                    mScenario.events.clear();
                    mEventIndex = 0;
                    return Open(Place::Events);
                }
                return RootScalar(emptyOfKind) && Open(Place::Skip);
            case Place::Params: return ParamScalar(emptyOfKind);
            case Place::Events:
                if (isArray)
                    return Scalar(emptyOfKind);
                mEvent = EventFields();
                return Open(Place::Event);
            case Place::Event:
                if (std::optional<Json>* field = mEvent.Find(mKey))
                    *field = emptyOfKind;
                return Open(Place::Skip);
            case Place::Skip: return Open(Place::Skip);
        }
        return true;
    }

    bool Open(Place place)
    {
        mOpen.push_back(place);
        return true;
    }

    bool End()
    {
        const Place closed = mOpen.back();
        mOpen.pop_back();
        if (closed != Place::Event)
            return true;
        ScenarioEvent event;
        if (!ReadEvent(mEvent, mEventIndex++, event, mError))
            return false;
        mScenario.events.push_back(event);
        return true;
    }

    RenderScenario& mScenario;
    std::vector<Place> mOpen;
    std::string mKey;
    EventFields mEvent;
    size_t mEventIndex = 0;
    bool mFramesGiven = false;
    std::string mError;
};

} // namespace

bool ReadScenarioJson(const std::string& jsonText, RenderScenario& scenario, bool& framesGiven,
                      std::string& error)
{
    ScenarioSaxReader reader(scenario);
    if (!Json::sax_parse(jsonText, &reader, nlohmann::detail::input_format_t::json, true))
    {
        error = reader.Error().empty() ? "malformed JSON: cannot parse" : reader.Error();
        return false;
    }
    framesGiven = reader.FramesGiven();
    return true;
}
