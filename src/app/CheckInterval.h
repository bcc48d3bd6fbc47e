#pragma once

// The period of timed mail checks in milliseconds for a "Pop Settings" /
// "Interval" in minutes. The timer takes a signed 32-bit count of
// milliseconds, so the longest period is 35791 minutes; a longer one is held
// at that limit. Zero or a negative value means no timed checks.
namespace checkinterval {

inline constexpr int kMaxMinutes = 35791;

int Milliseconds(int minutes);

}  // namespace checkinterval
