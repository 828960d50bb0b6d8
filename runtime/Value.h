#pragma once
// The property value types of the GUI runtime: integer, boolean (read as 1 or
// 0), colour (0x00BBGGRR) and UTF-8 text.

#include <cstdint>
#include <string>
#include <variant>

namespace vantorel {

using Colour = std::uint32_t;
/// Stands for the system button-face colour.
inline constexpr Colour kButtonFace = 0xFF000000u;

constexpr Colour rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

class Value {
public:
    Value() : m_value(std::int32_t{0}) {}
    Value(std::int32_t integer) : m_value(integer) {}
    Value(bool flag) : m_value(std::int32_t{flag ? 1 : 0}) {}
    Value(Colour colour) : m_value(static_cast<std::int32_t>(colour)) {}
    Value(std::string text) : m_value(std::move(text)) {}
    Value(const char* text) : m_value(std::string(text)) {}

    bool isText() const { return std::holds_alternative<std::string>(m_value); }
    std::int32_t toInt() const { return isText() ? 0 : std::get<std::int32_t>(m_value); }
    Colour toColour() const { return static_cast<Colour>(toInt()); }
    bool toBool() const { return toInt() != 0; }
    const std::string& toText() const
    {
        static const std::string empty;
        return isText() ? std::get<std::string>(m_value) : empty;
    }

private:
    std::variant<std::int32_t, std::string> m_value;
};

} // namespace vantorel
