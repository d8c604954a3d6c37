#include "KivIc/Helpers/DateTime.h"

namespace datetime {

long long FloorDiv(long long x, long long divisor) {
    long long q = x / divisor;
    if (x % divisor != 0 && ((x < 0) != (divisor < 0)))
        --q;
    return q;
}

long long Identity(long long x) {
    return x;
}
long long FloorSevenTenths(long long x) {
    return FloorDiv(x * 7, 10);
}
long long FloorHalf(long long x) {
    return FloorDiv(x, 2);
}
long long FloorFifth(long long x) {
    return FloorDiv(x, 5);
}
long long FloorTenth(long long x) {
    return FloorDiv(x, 10);
}
long long FloorFortieth(long long x) {
    return FloorDiv(x, 40);
}
long long FloorHundredth(long long x) {
    return FloorDiv(x, 100);
}

} // namespace datetime
