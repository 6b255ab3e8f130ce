#pragma once
// UTF-8 as the text drawer reads it: one character at a time into a 16-bit code.
// Malformed bytes are not errors: each stands for itself, so Latin-1 text still
// draws; characters beyond 16 bits are drawn as spaces.

// Decodes the character at text (at most `remaining` bytes, stopping at a zero
// byte) into code; returns the bytes consumed, 0 at the end of the text.
int LiceDecodeUtf8Char(const char* text, int remaining, int& code);

// True when the text holds at least one well-formed multi-byte sequence, i.e.
// when it must be converted before a narrow-character call could draw it.
bool LiceHasUtf8MultiByte(const char* text, int length);

// The length of text in bytes: up to the first zero byte, at most `length` when
// length is not negative.
int LiceTextLength(const char* text, int length);
