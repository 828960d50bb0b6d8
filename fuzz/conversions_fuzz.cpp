// Fuzzes the text/number conversions: they must never crash or hit undefined
// behaviour, full-width text must convert as its ASCII twin does, and integer
// texts must read back as the integer they came from.

#include "runtime/Conversions.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The full-width twin of ASCII text: printable characters become their
// U+FF01.. forms (the dollar sign has no folding twin) and blanks the ideographic space.
std::string fullWidthTwin(const std::string& ascii)
{
    std::string out;
    for (unsigned char c : ascii) {
        char32_t cp = c;
        if (c == ' ')
            cp = 0x3000;
        else if (c >= 0x21 && c <= 0x7E && c != '$')
            cp = c == '~' ? 0xFF5E : c + 0xFEE0;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool sameNumber(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantorel;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const double number = textToNumber(text);
    const std::int32_t integer = textToInteger(text);
    if (std::isnan(number))
        std::abort(); // a text never converts to NaN
    (void)numberToInteger(number);

    bool ascii = true;
    for (unsigned char c : text)
        ascii = ascii && c < 0x80;
    if (ascii) {
        const std::string twin = fullWidthTwin(text);
        if (!sameNumber(textToNumber(twin), number) || textToInteger(twin) != integer)
            std::abort();
    }

    if (size >= 8) {
        double d;
        std::memcpy(&d, data, sizeof d);
        (void)numberToInteger(d); // any bit pattern: NaN, infinities, huge values
    }
    if (size >= 4) {
        std::int32_t n;
        std::memcpy(&n, data, sizeof n);
        const std::string t = integerToText(n);
        if (textToInteger(t) != n || numberToInteger(textToNumber(t)) != n)
            std::abort();
    }
    return 0;
}
