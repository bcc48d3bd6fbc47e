#include "app/CheckInterval.h"

namespace checkinterval {

int Milliseconds(int minutes) {
    if (minutes <= 0) return 0;
    if (minutes > kMaxMinutes) minutes = kMaxMinutes;
    return minutes * 60000;
}

}  // namespace checkinterval
