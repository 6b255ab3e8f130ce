#include "tools/render/RenderScenario.h"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace
{

using Json = nlohmann::ordered_json;

// Collects the parser's message for malformed input without throwing.
struct ParseErrorCatcher : nlohmann::json_sax<Json>
{
    std::string message;
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override
    {
        // Drop the library's "[json.exception.parse_error.101] " tag; keep where and why.
        message = ex.what();
        const size_t tagEnd = message.find("] ");
        if (message.rfind("[json.exception", 0) == 0 && tagEnd != std::string::npos)
            message.erase(0, tagEnd + 2);
        return false;
    }
};

std::string DescribeParseError(const std::string& text)
{
    ParseErrorCatcher catcher;
    Json::sax_parse(text, &catcher, nlohmann::detail::input_format_t::json, true);
    return "malformed JSON: " + (catcher.message.empty() ? std::string("cannot parse") : catcher.message);
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
            error = what + " is out of range (" + std::to_string(minimum) + " to " + std::to_string(maximum) +
                    ")";
            return false;
        }
        out = value.get<int64_t>();
        whole = true;
    }
    else if (value.is_number_float())
    {
        asDouble = value.get<double>();
        whole = std::isfinite(asDouble) && std::floor(asDouble) == asDouble;
        if (whole && (asDouble < static_cast<double>(minimum) || asDouble > static_cast<double>(maximum)))
        {
            error = what + " is out of range (" + std::to_string(minimum) + " to " + std::to_string(maximum) +
                    ")";
            return false;
        }
        if (whole) out = static_cast<int64_t>(asDouble);
    }
    if (!whole)
    {
        error = what + " must be an integer, not " + value.dump();
        return false;
    }
    if (out < minimum || out > maximum)
    {
        error = what + " is out of range (" + std::to_string(minimum) + " to " + std::to_string(maximum) +
                "): " + std::to_string(out);
        return false;
    }
    return true;
}

bool ReadNumber(const Json& value, const std::string& what, double& out, std::string& error)
{
    if (!value.is_number())
    {
        error = what + " must be a number, not " + value.dump();
        return false;
    }
    out = value.get<double>();
    return true;
}

// An optional whole-number field of an object; absent means 0.
bool ReadOptionalInteger(const Json& object, const char* key, const std::string& where, int64_t maximum,
                         int64_t& out, std::string& error)
{
    out = 0;
    const auto found = object.find(key);
    return found == object.end() || ReadInteger(*found, where + "." + key, 0, maximum, out, error);
}

bool ReadEvent(const Json& value, size_t index, ScenarioEvent& event, std::string& error)
{
    const std::string where = "events[" + std::to_string(index) + "]";
    if (!value.is_object())
    {
        error = where + " must be an object";
        return false;
    }
    if (value.find("status") == value.end())
    {
        error = where + " has no \"status\"";
        return false;
    }
    int64_t status = 0, frame = 0, data1 = 0, data2 = 0;
    if (!ReadOptionalInteger(value, "status", where, 255, status, error) ||
        !ReadOptionalInteger(value, "frame", where, INT64_MAX, frame, error) ||
        !ReadOptionalInteger(value, "d1", where, 255, data1, error) ||
        !ReadOptionalInteger(value, "d2", where, 255, data2, error))
        return false;
    event.frame = frame;
    event.status = static_cast<uint8_t>(status);
    event.data1 = static_cast<uint8_t>(data1);
    event.data2 = static_cast<uint8_t>(data2);
    return true;
}

} // namespace

int64_t RenderScenario::DefaultFrames(double sampleRate)
{
    if (!(sampleRate > 0.0 && sampleRate <= kMaxSampleRate)) return 0; // Validate reports the rate
    return static_cast<int64_t>(std::llround(kDefaultSeconds * sampleRate));
}

bool RenderScenario::Validate(std::string& error) const
{
    if (!(sampleRate > 0.0))
    {
        error = "sample_rate must be above 0";
        return false;
    }
    if (!(sampleRate <= kMaxSampleRate))
    {
        error = "sample_rate must be at most " + std::to_string(static_cast<int64_t>(kMaxSampleRate));
        return false;
    }
    if (blockFrames <= 0 || blockFrames > kMaxBlockFrames)
    {
        error = "block must be 1 to " + std::to_string(kMaxBlockFrames);
        return false;
    }
    if (frames <= 0)
    {
        error = "frames must be above 0";
        return false;
    }
    if (!std::isfinite(tempoBpm))
    {
        error = "tempo must be a finite number";
        return false;
    }
    for (const ScenarioEvent& event : events)
    {
        if (event.frame < 0)
        {
            error = "event frame must not be negative";
            return false;
        }
    }
    return true;
}

bool ParseRenderScenario(const std::string& jsonText, RenderScenario& scenario, std::string& error)
{
    const Json root = Json::parse(jsonText, nullptr, false);
    if (root.is_discarded())
    {
        error = DescribeParseError(jsonText);
        return false;
    }
    if (!root.is_object())
    {
        error = "the scenario must be a JSON object";
        return false;
    }
    RenderScenario parsed;
    bool framesGiven = false;
    for (auto item = root.begin(); item != root.end(); ++item)
    {
        const std::string& key = item.key();
        const Json& value = item.value();
        int64_t number = 0;
        if (key == "sample_rate")
        {
            if (!ReadNumber(value, key, parsed.sampleRate, error)) return false;
        }
        else if (key == "block")
        {
            if (!ReadInteger(value, key, 1, RenderScenario::kMaxBlockFrames, number, error)) return false;
            parsed.blockFrames = static_cast<int32_t>(number);
        }
        else if (key == "frames")
        {
            if (!ReadInteger(value, key, 1, INT64_MAX, number, error)) return false;
            parsed.frames = number;
            framesGiven = true;
        }
        else if (key == "tempo")
        {
            if (!ReadNumber(value, key, parsed.tempoBpm, error)) return false;
        }
        else if (key == "params")
        {
            if (!value.is_object())
            {
                error = "params must be an object of parameter names and values";
                return false;
            }
            for (auto param = value.begin(); param != value.end(); ++param)
            {
                double paramValue = 0.0;
                if (!ReadNumber(param.value(), "params." + param.key(), paramValue, error)) return false;
                parsed.params.emplace_back(param.key(), paramValue);
            }
        }
        else if (key == "events")
        {
            if (!value.is_array())
            {
                error = "events must be an array";
                return false;
            }
            for (size_t i = 0; i < value.size(); ++i)
            {
                ScenarioEvent event;
                if (!ReadEvent(value[i], i, event, error)) return false;
                parsed.events.push_back(event);
            }
        }
    }
    if (!framesGiven) parsed.frames = RenderScenario::DefaultFrames(parsed.sampleRate);
    if (!parsed.Validate(error)) return false;
    scenario = std::move(parsed);
    return true;
}
