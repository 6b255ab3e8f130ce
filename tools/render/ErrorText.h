#pragma once
// Pieces of user input inside the renderer's one-line error messages. Input can be
// megabytes long or hold line breaks and control bytes; a message shows only a short,
// escaped excerpt, so it stays one readable line whatever the input was.

#include <cstddef>
#include <string>

// Paths are quoted up to this many bytes; longer ones are cut.
constexpr size_t kPathExcerptBytes = 200;

// The text with printable ASCII kept (\" and \\ escaped) and every other byte as \xNN,
// cut after maxBytes input bytes with "..." appended.
std::string EscapedExcerpt(const std::string& text, size_t maxBytes);

// The escaped excerpt of the text in double quotes.
std::string QuotedExcerpt(const std::string& text, size_t maxBytes = 40);
