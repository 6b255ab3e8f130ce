#pragma once
// The name a user most probably meant when a name was mistyped.

#include <string>
#include <vector>

// The candidate closest to `name` by edit distance (letter case ignored), or empty when
// even the closest differs in more than about a third of its letters: then there is no
// sensible suggestion.
std::string NearestName(const std::string& name, const std::vector<std::string>& candidates);
