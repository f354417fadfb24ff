#include "main/style/Scaling.h"

#include <cmath>
#include <cstdint>

int Scaled(double scaleFactor, int n) {
    return int(std::trunc(scaleFactor * n));
}

int ScalePercent(double scaleFactor) {
    return Scaled(scaleFactor, 100);
}

int ScaleValue(int value, int p) {
    std::int64_t product = std::int64_t(value) * p;
    std::int64_t half = product >= 0 ? 50 : -50;
    return int((product + half) / 100);
}
