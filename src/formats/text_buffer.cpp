// Exact printf-equivalent formatting into a fixed buffer. A double is m * 2^e with an integer m
// of at most 53 bits, so |v| * 10^6 is an exact integer product over a power of two: it is
// rounded to the nearest integer, ties to even, as glibc's printf rounds, and printed as an
// integer part and six decimals. Values beyond 2^63 go through std::to_chars, which is exact too.
#include "formats/text_buffer.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t MICRO = 1000000;

// |v| rounded to a whole number of millionths, for finite v below 2^63 in magnitude; false when
// v lies beyond that.
bool millionths(double v, Uint128& rounded)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    if (exponent > 10) return false;
    const Uint128 scaled = static_cast<Uint128>(mantissa) * MICRO;  // below 2^73
    if (exponent >= 0) {
        rounded = scaled << exponent;
        return true;
    }
    const int shift = -exponent;
    if (shift > 80) {  // below half a millionth
        rounded = 0;
        return true;
    }
    Uint128 quotient = scaled >> shift;
    const Uint128 remainder = scaled - (quotient << shift);
    const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
    rounded = quotient;
    return true;
}

// "00" to "99", so that digits are written two at a time.
constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the decimal digits of value at out; returns their number. Values below 10^4 (the
// whole parts and temperatures of the tables) take the short way.
int writeDigits(char* out, std::uint64_t value)
{
    if (value < 100) {
        if (value < 10) {
            out[0] = static_cast<char>('0' + value);
            return 1;
        }
        std::memcpy(out, DIGIT_PAIRS + 2 * value, 2);
        return 2;
    }
    if (value < 10000) {
        const auto high = static_cast<std::uint32_t>(value) / 100;
        const auto low = static_cast<std::uint32_t>(value) % 100;
        int length = 0;
        if (high < 10) {
            out[length++] = static_cast<char>('0' + high);
        } else {
            std::memcpy(out, DIGIT_PAIRS + 2 * high, 2);
            length = 2;
        }
        std::memcpy(out + length, DIGIT_PAIRS + 2 * low, 2);
        return length + 2;
    }
    char scratch[24];
    char* begin = scratch + sizeof scratch;
    do {
        *--begin = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    const int length = static_cast<int>(scratch + sizeof scratch - begin);
    std::memcpy(out, begin, static_cast<std::size_t>(length));
    return length;
}

// The six decimals of a fraction below 10^6 at out.
void writeMillionths(char* out, std::uint32_t fraction)
{
    const std::uint32_t high = fraction / 10000;
    const std::uint32_t rest = fraction % 10000;
    std::memcpy(out, DIGIT_PAIRS + 2 * high, 2);
    std::memcpy(out + 2, DIGIT_PAIRS + 2 * (rest / 100), 2);
    std::memcpy(out + 4, DIGIT_PAIRS + 2 * (rest % 100), 2);
}

// Appends the text of "%*.6f" for a value of the given sign and rounded millionths.
void appendRounded(TextBuffer& buffer, bool negative, Uint128 rounded, int width)
{
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    if (rounded >> 64 == 0) {  // the usual case, without a 128-bit division
        const auto narrow = static_cast<std::uint64_t>(rounded);
        whole = narrow / MICRO;
        fraction = narrow % MICRO;
    } else {
        whole = static_cast<std::uint64_t>(rounded / MICRO);
        fraction = static_cast<std::uint64_t>(rounded % MICRO);
    }
    char digits[24];
    const int wholeDigits = writeDigits(digits, whole);
    const int size = (negative ? 1 : 0) + wholeDigits + 7;
    char* out = buffer.data + buffer.length;
    for (int pad = width - size; pad > 0; --pad) *out++ = ' ';
    if (negative) *out++ = '-';
    std::memcpy(out, digits, static_cast<std::size_t>(wholeDigits));
    out += wholeDigits;
    *out = '.';
    writeMillionths(out + 1, static_cast<std::uint32_t>(fraction));
    buffer.length = static_cast<std::size_t>(out + 7 - buffer.data);
}

}  // namespace

void appendInt(TextBuffer& buffer, int value)
{
    char* out = buffer.data + buffer.length;
    std::uint64_t magnitude = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
    if (value < 0) {
        *out++ = '-';
        magnitude = 0 - magnitude;
    }
    out += writeDigits(out, magnitude);
    buffer.length = static_cast<std::size_t>(out - buffer.data);
}

void appendFixed(TextBuffer& buffer, double value, int width)
{
    // Fast path: |value| * 10^6 in double is within half an ulp of the exact product, so when its
    // fraction stands clear of one half by more than an ulp, rounding it rounds the exact product.
    const double magnitude = std::fabs(value);
    if (magnitude < 1e9) {
        const double scaled = magnitude * 1e6;
        const auto whole = static_cast<std::uint64_t>(scaled);
        const double offHalf = (scaled - static_cast<double>(whole)) - 0.5;
        if (std::fabs(offHalf) > scaled * 0x1p-51 + 0x1p-1000) {
            appendRounded(buffer, std::signbit(value), whole + (offHalf > 0 ? 1 : 0), width);
            return;
        }
    }
    Uint128 rounded = 0;
    if (std::isfinite(value) && millionths(value, rounded)) {
        appendRounded(buffer, std::signbit(value), rounded, width);
        return;
    }
    char text[400];
    std::size_t size = 0;
    if (std::isnan(value)) {
        const std::string_view spelling = std::signbit(value) ? "-nan" : "nan";  // glibc writes a NaN's sign
        size = spelling.size();
        std::memcpy(text, spelling.data(), size);
    } else {
        size = static_cast<std::size_t>(std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr - text);
    }
    for (int pad = width - static_cast<int>(size); pad > 0; --pad) buffer.data[buffer.length++] = ' ';
    std::memcpy(buffer.data + buffer.length, text, size);
    buffer.length += size;
}
