#include "crypto/PiWords.h"

namespace gs::crypto {

namespace {

// A fixed-point number: word 0 the integer part, then the fraction in base 2^32.
using Fixed = std::vector<std::uint32_t>;

void divide(Fixed& a, std::uint32_t d) {
    std::uint64_t rem = 0;
    for (std::uint32_t& w : a) {
        std::uint64_t cur = rem << 32 | w;
        w = std::uint32_t(cur / d);
        rem = cur % d;
    }
}

void multiply(Fixed& a, std::uint32_t m) {
    std::uint64_t carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        std::uint64_t cur = std::uint64_t(a[i]) * m + carry;
        a[i] = std::uint32_t(cur);
        carry = cur >> 32;
    }
}

void add(Fixed& a, const Fixed& b, bool subtract) {
    std::int64_t carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        std::int64_t cur = std::int64_t(a[i]) + (subtract ? -std::int64_t(b[i]) : std::int64_t(b[i])) + carry;
        a[i] = std::uint32_t(cur);
        carry = cur >> 32;  // -1, 0 or 1
    }
}

bool isZero(const Fixed& a) {
    for (std::uint32_t w : a)
        if (w) return false;
    return true;
}

// arctan(1/x) = 1/x - 1/(3x^3) + 1/(5x^5) - ...
Fixed arctanOfInverse(std::uint32_t x, std::size_t words) {
    Fixed power(words, 0), sum, term;
    power[0] = 1;
    divide(power, x);
    sum = power;
    for (std::uint32_t k = 1;; ++k) {
        divide(power, x * x);
        if (isZero(power)) break;
        term = power;
        divide(term, 2 * k + 1);
        add(sum, term, k % 2 == 1);
    }
    return sum;
}

}  // namespace

std::vector<std::uint32_t> PiFractionWords(std::size_t count) {
    // pi = 16 arctan(1/5) - 4 arctan(1/239); four guard words absorb the truncations.
    const std::size_t words = count + 1 + 4;
    Fixed pi = arctanOfInverse(5, words), second = arctanOfInverse(239, words);
    multiply(pi, 16);
    multiply(second, 4);
    add(pi, second, true);
    return std::vector<std::uint32_t>(pi.begin() + 1, pi.begin() + 1 + std::ptrdiff_t(count));
}

}  // namespace gs::crypto
