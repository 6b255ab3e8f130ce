#include "graphics/raster/LiceReduce.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

// The source pixels a target pixel covers along one axis, with their weights.
struct Span
{
    int first = 0;
    std::vector<float> weights;
};

// For every target index, the source range [i * ratio, (i + 1) * ratio) as weighted pixels.
std::vector<Span> CoverageSpans(int sourceLength, int targetLength)
{
    std::vector<Span> spans(static_cast<size_t>(targetLength));
    const double ratio = static_cast<double>(sourceLength) / targetLength;
    for (int i = 0; i < targetLength; ++i)
    {
        const double begin = i * ratio;
        const double end = (i + 1) * ratio;
        Span& span = spans[static_cast<size_t>(i)];
        span.first = static_cast<int>(std::floor(begin));
        for (int s = span.first; s < sourceLength && s < end; ++s)
        {
            const double covered = std::fmin(end, s + 1.0) - std::fmax(begin, static_cast<double>(s));
            span.weights.push_back(static_cast<float>(covered / ratio));
        }
    }
    return spans;
}

// Premultiplied channels, so that averaging never lets a transparent pixel's colour in.
struct Premultiplied
{
    float a = 0, r = 0, g = 0, b = 0;

    void Add(LICE_pixel p, float weight)
    {
        const float alpha = static_cast<float>(p >> 24) * weight;
        a += alpha;
        r += static_cast<float>((p >> 16) & 0xFF) * alpha;
        g += static_cast<float>((p >> 8) & 0xFF) * alpha;
        b += static_cast<float>(p & 0xFF) * alpha;
    }
    void Add(const Premultiplied& p, float weight)
    {
        a += p.a * weight;
        r += p.r * weight;
        g += p.g * weight;
        b += p.b * weight;
    }
    LICE_pixel ToStraight() const
    {
        if (a <= 0.0f)
            return 0;
        const auto channel = [](float v)
        {
            const int c = static_cast<int>(v + 0.5f);
            return static_cast<LICE_pixel>(c < 0 ? 0 : (c > 255 ? 255 : c));
        };
        return (channel(a) << 24) | (channel(r / a) << 16) | (channel(g / a) << 8) | channel(b / a);
    }
};

void ReduceFrame(const LICE_IBitmap& source, int sourceTop, int sourceHeight, LICE_MemBitmap& target,
                 int targetTop, const std::vector<Span>& columns, const std::vector<Span>& rows)
{
    const int width = static_cast<int>(columns.size());
    std::vector<Premultiplied> line(static_cast<size_t>(width));
    for (size_t y = 0; y < rows.size(); ++y)
    {
        std::fill(line.begin(), line.end(), Premultiplied());
        const Span& rowSpan = rows[y];
        for (size_t k = 0; k < rowSpan.weights.size(); ++k)
        {
            const int sy = rowSpan.first + static_cast<int>(k);
            if (sy >= sourceHeight)
                break;
            const LICE_pixel* in =
                source.GetBits() + static_cast<size_t>(sourceTop + sy) * source.GetRowSpan();
            for (int x = 0; x < width; ++x)
            {
                Premultiplied column;
                const Span& columnSpan = columns[static_cast<size_t>(x)];
                for (size_t j = 0; j < columnSpan.weights.size(); ++j)
                    column.Add(in[columnSpan.first + static_cast<int>(j)], columnSpan.weights[j]);
                line[static_cast<size_t>(x)].Add(column, rowSpan.weights[k]);
            }
        }
        LICE_pixel* out =
            target.GetBits() + static_cast<size_t>(targetTop + static_cast<int>(y)) * target.GetRowSpan();
        for (int x = 0; x < width; ++x)
            out[x] = line[static_cast<size_t>(x)].ToStraight();
    }
}

} // namespace

std::unique_ptr<LICE_MemBitmap> ReduceFrames(const LICE_IBitmap& source, int frames, int width,
                                             int frameHeight)
{
    if (frames < 1 || width < 1 || frameHeight < 1 || !source.GetBits())
        return nullptr;
    const int sourceFrameHeight = source.GetHeight() / frames;
    if (width > source.GetWidth() || frameHeight > sourceFrameHeight || sourceFrameHeight < 1)
        return nullptr;
    auto target = std::make_unique<LICE_MemBitmap>(width, frameHeight * frames);
    if (target->GetWidth() != width || !target->GetBits())
        return nullptr;
    const std::vector<Span> columns = CoverageSpans(source.GetWidth(), width);
    const std::vector<Span> rows = CoverageSpans(sourceFrameHeight, frameHeight);
    for (int f = 0; f < frames; ++f)
        ReduceFrame(source, f * sourceFrameHeight, sourceFrameHeight, *target, f * frameHeight, columns,
                    rows);
    return target;
}
