#include "crypto/PiWords.h"

namespace gs::crypto {

namespace {

// A fixed-point number: word 0 the integer part, then the fraction in base 2^32.
using Fixed = std::vector<std::uint32_t>;

// The operations below work from word `from` on: the words before it are zero.
void divide(Fixed& a, std::uint32_t d, std::size_t from) {
    std::uint64_t rem = 0;
    std::uint32_t* w = a.data();
    for (std::size_t i = from, n = a.size(); i < n; ++i) {
        std::uint64_t cur = rem << 32 | w[i];
        w[i] = std::uint32_t(cur / d);
        rem = cur % d;
    }
}

void multiply(Fixed& a, std::uint32_t m, std::size_t from) {
    std::uint64_t carry = 0;
    for (std::size_t i = a.size(); i-- > from;) {
        std::uint64_t cur = std::uint64_t(a[i]) * m + carry;
        a[i] = std::uint32_t(cur);
        carry = cur >> 32;
    }
}

void add(Fixed& a, const Fixed& b, std::size_t from) {
    std::uint64_t carry = 0;
    for (std::size_t i = a.size(); i-- > 0 && (i >= from || carry);) {
        std::uint64_t cur = std::uint64_t(a[i]) + (i >= from ? b[i] : 0) + carry;
        a[i] = std::uint32_t(cur);
        carry = cur >> 32;
    }
}

void subtract(Fixed& a, const Fixed& b) {
    std::int64_t borrow = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        std::int64_t cur = std::int64_t(a[i]) - std::int64_t(b[i]) - borrow;
        borrow = cur < 0;
        a[i] = std::uint32_t(cur);
    }
}

// Euler's series, all of whose terms are positive and each one division from the last:
// arctan(1/m) = sum of t(n), t(0) = m / (m^2 + 1), t(n) = t(n-1) * 2n / ((2n + 1) (m^2 + 1)).
Fixed arctanOfInverse(std::uint32_t m, std::size_t words) {
    const std::uint32_t m2 = m * m + 1;
    Fixed term(words, 0);
    term[0] = m;
    divide(term, m2, 0);
    Fixed sum = term;
    std::size_t first = 0;
    for (std::uint32_t n = 1;; ++n) {
        while (first < words && term[first] == 0) ++first;
        if (first == words) break;
        const std::size_t from = first ? first - 1 : 0;  // the product may reach one word higher
        multiply(term, 2 * n, from);
        divide(term, (2 * n + 1) * m2, from);
        add(sum, term, from);
    }
    return sum;
}

}  // namespace

std::vector<std::uint32_t> PiFractionWords(std::size_t count) {
    // pi = 16 arctan(1/5) - 4 arctan(1/239); four guard words absorb the truncations.
    const std::size_t words = count + 1 + 4;
    Fixed pi = arctanOfInverse(5, words), second = arctanOfInverse(239, words);
    multiply(pi, 16, 0);
    multiply(second, 4, 0);
    subtract(pi, second);
    return std::vector<std::uint32_t>(pi.begin() + 1, pi.begin() + 1 + std::ptrdiff_t(count));
}

}  // namespace gs::crypto
