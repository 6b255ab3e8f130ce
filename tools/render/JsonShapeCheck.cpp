#include "tools/render/JsonShapeCheck.h"

#include <vector>

#include <nlohmann/json.hpp>

#include "tools/render/ErrorText.h"

namespace
{

using Json = nlohmann::json;

// Longest part of the parser's own message that an error repeats; the message quotes the
// last token read, which can be the whole rest of a large file.
constexpr size_t kMaxParserMessageBytes = 160;

// Counts depth, keys and elements as the parser meets them; stops it at the first limit.
class ShapeCounter : public nlohmann::json_sax<Json>
{
public:
    explicit ShapeCounter(const JsonShapeLimits& limits) : mLimits(limits) {}

    const std::string& Error() const { return mError; }

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override { return Value() && Open(false); }
    bool key(string_t&) override
    {
        if (++mOpen.back().count <= mLimits.maxObjectKeys)
            return true;
        mError = "an object has more than " + std::to_string(mLimits.maxObjectKeys) + " keys";
        return false;
    }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Value() && Open(true); }
    bool end_array() override { return Close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override
    {
        // Drop the library's "[json.exception.parse_error.101] " tag; keep where and why.
        std::string message = ex.what();
        const size_t tagEnd = message.find("] ");
        if (message.rfind("[json.exception", 0) == 0 && tagEnd != std::string::npos)
            message.erase(0, tagEnd + 2);
        mError = "malformed JSON: " + EscapedExcerpt(message, kMaxParserMessageBytes);
        return false;
    }

private:
    struct Container
    {
        bool isArray;
        size_t count;
    };

    // Every value, scalar or not, counts as an element of the array that holds it.
    bool Value()
    {
        if (mOpen.empty() || !mOpen.back().isArray || ++mOpen.back().count <= mLimits.maxArrayElements)
            return true;
        mError = "an array has more than " + std::to_string(mLimits.maxArrayElements) + " elements";
        return false;
    }
    bool Open(bool isArray)
    {
        if (mOpen.size() >= mLimits.maxDepth)
        {
            mError = "values are nested more than " + std::to_string(mLimits.maxDepth) + " levels deep";
            return false;
        }
        mOpen.push_back({isArray, 0});
        return true;
    }
    bool Close()
    {
        mOpen.pop_back();
        return true;
    }

    const JsonShapeLimits mLimits;
    std::vector<Container> mOpen;
    std::string mError;
};

} // namespace

bool CheckJsonShape(const std::string& text, const JsonShapeLimits& limits, std::string& error)
{
    ShapeCounter counter(limits);
    if (Json::sax_parse(text, &counter, nlohmann::detail::input_format_t::json, true))
        return true;
    error = counter.Error().empty() ? "malformed JSON: cannot parse" : counter.Error();
    return false;
}
