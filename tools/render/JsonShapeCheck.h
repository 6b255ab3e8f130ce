#pragma once
// A first pass over untrusted JSON text that builds no document: it checks the syntax and
// refuses shapes that would cost too much to hold or to print. Nesting that is too deep
// would overflow the stack wherever a value is handled recursively; the count limits bound
// what a reader may have to keep of any one object or array.

#include <cstddef>
#include <string>

struct JsonShapeLimits
{
    size_t maxDepth = 0;         // objects and arrays inside each other
    size_t maxObjectKeys = 0;    // keys of any one object
    size_t maxArrayElements = 0; // elements of any one array
};

// True when the text is well-formed JSON within the limits; otherwise error holds one
// line naming the problem.
bool CheckJsonShape(const std::string& text, const JsonShapeLimits& limits, std::string& error);
