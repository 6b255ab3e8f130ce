#pragma once
// Which host application loaded the instance, as a small number. Hosts are recognised by
// their self-reported product name; a few need their channel layout adapted.

#include <cstdint>

using HostId = int32_t;

constexpr HostId kHostUnidentified = -1; // not asked yet
constexpr HostId kHostUnknown = 0;       // asked, but no known name matched

// Case-insensitive substring match of the name against a fixed, ordered list; the first text
// found decides. Only the first 255 characters of the name are looked at. Null or empty: 0.
HostId IdentifyHost(const char* hostName);
