#include "runtime/Conversions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vantorel {
namespace {

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when the
// bytes there are not a well-formed sequence.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > text.size())
        return 0;
    cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

char32_t foldCodePoint(char32_t cp)
{
    if (cp >= 0xFF01 && cp <= 0xFF5D && cp != 0xFF04)
        return cp - 0xFEE0;
    switch (cp) {
    case 0xFFE5: return U'$';
    case 0xFFE3:
    case 0xFF5E: return U'~';
    case 0x3000: return U' ';
    case 0x2606:
    case 0x2605: return U'*';
    default: return cp;
    }
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipBlanks(std::string_view s, std::size_t i)
{
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

} // namespace

std::string foldFullWidth(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(text, i, cp);
        if (len == 0) { // stray byte: keep it, it can never form part of a number
            out.push_back(text[i++]);
            continue;
        }
        const char32_t folded = len > 1 ? foldCodePoint(cp) : cp;
        if (folded < 0x80)
            out.push_back(static_cast<char>(folded));
        else
            out.append(text.substr(i, len));
        i += len;
    }
    return out;
}

double textToNumber(std::string_view text)
{
    const std::string s = foldFullWidth(text);
    std::size_t i = skipBlanks(s, 0);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';

    std::string intDigits, fracDigits;
    while (i < s.size() && isDigit(s[i]))
        intDigits.push_back(s[i++]);
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            fracDigits.push_back(s[i++]);
    }
    if (intDigits.empty() && fracDigits.empty())
        return 0.0;

    // Exponent: only taken when digits follow the marker (and its sign).
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            expNegative = s[j++] == '-';
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j)
                if (exponent < 1000000) // far beyond any double; stops overflow of the count
                    exponent = exponent * 10 + (s[j] - '0');
            if (expNegative)
                exponent = -exponent;
        }
    }

    std::string canonical = intDigits.empty() ? "0" : intDigits;
    if (!fracDigits.empty())
        canonical += "." + fracDigits;
    canonical += "e" + std::to_string(exponent);

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal magnitude.
        const auto firstNonZero = intDigits.find_first_not_of('0');
        long magnitude;
        if (firstNonZero != std::string::npos) {
            magnitude = static_cast<long>(intDigits.size() - firstNonZero) - 1 + exponent;
        } else {
            const auto fracNonZero = fracDigits.find_first_not_of('0');
            magnitude = fracNonZero == std::string::npos ? -1000000 : -static_cast<long>(fracNonZero) - 1 + exponent;
        }
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int32_t textToInteger(std::string_view text)
{
    const std::string s = foldFullWidth(text);
    std::size_t i = skipBlanks(s, 0);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::uint32_t value = 0; // unsigned: the wrap-around is intended and defined
    for (; i < s.size() && isDigit(s[i]); ++i)
        value = value * 10u + static_cast<std::uint32_t>(s[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::int32_t numberToInteger(double number)
{
    constexpr double two63 = 9223372036854775808.0;
    // NaN fails both comparisons; infinities and out-of-range values fail one.
    if (!(number >= -two63 && number < two63))
        return 0; // low 32 bits of -2^63
    const auto wide = static_cast<std::int64_t>(std::trunc(number));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

std::string integerToText(std::int32_t value) { return std::to_string(value); }

int compareText(std::string_view a, std::string_view b)
{
    const int c = a.compare(b); // char_traits<char>::compare orders bytes as unsigned
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string concatText(std::initializer_list<std::string_view> pieces)
{
    std::string out;
    for (auto piece : pieces)
        out.append(piece);
    return out;
}

} // namespace vantorel
