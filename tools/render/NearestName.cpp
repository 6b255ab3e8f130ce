#include "tools/render/NearestName.h"

#include <algorithm>
#include <cctype>

namespace
{

// Names longer than this are no mistyped parameter name; they are not compared at all.
constexpr size_t kMaxComparedBytes = 64;

bool SameLetter(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// Insertions, deletions and substitutions that turn a into b.
size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
    {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j)
        {
            const size_t above = row[j];
            row[j] =
                std::min({above + 1, row[j - 1] + 1, diagonal + (SameLetter(a[i - 1], b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string NearestName(const std::string& name, const std::vector<std::string>& candidates)
{
    if (name.empty() || name.size() > kMaxComparedBytes)
        return std::string();
    const std::string* nearest = nullptr;
    size_t nearestDistance = 0;
    for (const std::string& candidate : candidates)
    {
        const size_t distance = EditDistance(name, candidate);
        if (!nearest || distance < nearestDistance)
        {
            nearest = &candidate;
            nearestDistance = distance;
        }
    }
    if (!nearest || nearestDistance > std::max<size_t>(2, nearest->size() / 3))
        return std::string();
    return *nearest;
}
