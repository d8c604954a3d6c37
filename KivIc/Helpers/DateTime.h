// Integer helpers of the time units: divisions that round toward minus infinity.
#pragma once

namespace datetime {

long long FloorDiv(long long x, long long divisor);
long long Identity(long long x);
long long FloorSevenTenths(long long x); // floor(x * 7 / 10)
long long FloorHalf(long long x);        // floor(x / 2)
long long FloorFifth(long long x);       // floor(x / 5)
long long FloorTenth(long long x);       // floor(x / 10)
long long FloorFortieth(long long x);    // floor(x / 40)
long long FloorHundredth(long long x);   // floor(x / 100)

} // namespace datetime
