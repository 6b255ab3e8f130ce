#include "graphics/raster/LiceReduce.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

// Along one axis: for every target index the first source index it covers, how many, and
// their weights (the covered share of each source pixel over the target's extent), all in
// one array.
struct Coverage
{
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset; // into weights
    std::vector<float> weights;
};

Coverage CoverageOf(int sourceLength, int targetLength)
{
    Coverage c;
    const double ratio = static_cast<double>(sourceLength) / targetLength;
    for (int i = 0; i < targetLength; ++i)
    {
        const double begin = i * ratio;
        const double end = (i + 1) * ratio;
        const int first = static_cast<int>(std::floor(begin));
        c.first.push_back(first);
        c.offset.push_back(static_cast<int>(c.weights.size()));
        int n = 0;
        for (int s = first; s < sourceLength && s < end; ++s, ++n)
        {
            const double covered = std::fmin(end, s + 1.0) - std::fmax(begin, static_cast<double>(s));
            c.weights.push_back(static_cast<float>(covered / ratio));
        }
        c.count.push_back(n);
    }
    return c;
}

// Premultiplied channels, so that averaging never lets a transparent pixel's colour in.
struct Premultiplied
{
    float a = 0, r = 0, g = 0, b = 0;
};

Premultiplied FromStraight(LICE_pixel p)
{
    const float a = static_cast<float>(p >> 24);
    return {a, static_cast<float>((p >> 16) & 0xFF) * a, static_cast<float>((p >> 8) & 0xFF) * a,
            static_cast<float>(p & 0xFF) * a};
}

LICE_pixel ToStraight(const Premultiplied& p)
{
    if (p.a <= 0.0f)
        return 0;
    const auto channel = [](float v)
    {
        const int c = static_cast<int>(v + 0.5f);
        return static_cast<LICE_pixel>(c < 0 ? 0 : (c > 255 ? 255 : c));
    };
    const float inverse = 1.0f / p.a;
    return (channel(p.a) << 24) | (channel(p.r * inverse) << 16) | (channel(p.g * inverse) << 8) |
           channel(p.b * inverse);
}

// One frame: each source row is turned into premultiplied pixels and shrunk across once, then
// the shrunk rows are summed down into the target rows they cover.
void ReduceFrame(const LICE_IBitmap& source, int sourceTop, int sourceHeight, LICE_MemBitmap& target,
                 int targetTop, const Coverage& columns, const Coverage& rows)
{
    const int sourceWidth = source.GetWidth();
    const int width = static_cast<int>(columns.first.size());
    std::vector<Premultiplied> sourceRow(static_cast<size_t>(sourceWidth));
    // Shrunk rows by source row index; a source row serves at most the two target rows its
    // edges fall in, so only the last one is kept.
    std::vector<Premultiplied> shrunk(static_cast<size_t>(width));
    int shrunkRow = -1;
    std::vector<Premultiplied> sum(static_cast<size_t>(width));
    for (size_t y = 0; y < rows.first.size(); ++y)
    {
        std::fill(sum.begin(), sum.end(), Premultiplied());
        for (int k = 0; k < rows.count[y]; ++k)
        {
            const int sy = rows.first[y] + k;
            if (sy >= sourceHeight)
                break;
            if (sy != shrunkRow)
            {
                const LICE_pixel* in =
                    source.GetBits() + static_cast<size_t>(sourceTop + sy) * source.GetRowSpan();
                for (int x = 0; x < sourceWidth; ++x)
                    sourceRow[static_cast<size_t>(x)] = FromStraight(in[x]);
                for (int x = 0; x < width; ++x)
                {
                    Premultiplied across;
                    const Premultiplied* from = &sourceRow[static_cast<size_t>(columns.first[x])];
                    const float* w = &columns.weights[static_cast<size_t>(columns.offset[x])];
                    for (int j = 0; j < columns.count[x]; ++j)
                    {
                        across.a += from[j].a * w[j];
                        across.r += from[j].r * w[j];
                        across.g += from[j].g * w[j];
                        across.b += from[j].b * w[j];
                    }
                    shrunk[static_cast<size_t>(x)] = across;
                }
                shrunkRow = sy;
            }
            const float weight = rows.weights[static_cast<size_t>(rows.offset[y] + k)];
            for (int x = 0; x < width; ++x)
            {
                Premultiplied& s = sum[static_cast<size_t>(x)];
                const Premultiplied& p = shrunk[static_cast<size_t>(x)];
                s.a += p.a * weight;
                s.r += p.r * weight;
                s.g += p.g * weight;
                s.b += p.b * weight;
            }
        }
        LICE_pixel* out =
            target.GetBits() + static_cast<size_t>(targetTop + static_cast<int>(y)) * target.GetRowSpan();
        for (int x = 0; x < width; ++x)
            out[x] = ToStraight(sum[static_cast<size_t>(x)]);
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
    const Coverage columns = CoverageOf(source.GetWidth(), width);
    const Coverage rows = CoverageOf(sourceFrameHeight, frameHeight);
    for (int f = 0; f < frames; ++f)
        ReduceFrame(source, f * sourceFrameHeight, sourceFrameHeight, *target, f * frameHeight, columns,
                    rows);
    return target;
}
