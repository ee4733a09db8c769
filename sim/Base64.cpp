#include "Base64.hpp"

namespace Sim {

namespace {
constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}
}  // namespace

std::string EncodeBase64(const std::string& bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            value |= static_cast<unsigned char>(bytes[i + 2]);
        text += Alphabet[(value >> 18) & 63];
        text += Alphabet[(value >> 12) & 63];
        text += i + 1 < bytes.size() ? Alphabet[(value >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? Alphabet[value & 63] : '=';
    }
    return text;
}

std::optional<std::string> DecodeBase64(const std::string& text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        int values[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            const bool last = i + 4 == text.size();
            if (c == '=' && last && k >= 2 && (k == 3 || text[i + 3] == '=')) {
                values[k] = 0;
                ++padding;
                continue;
            }
            values[k] = padding > 0 ? -1 : ValueOf(c);
            if (values[k] < 0)
                return std::nullopt;
        }
        const unsigned value = (values[0] << 18) | (values[1] << 12) | (values[2] << 6) | values[3];
        bytes += static_cast<char>((value >> 16) & 0xFF);
        if (padding < 2)
            bytes += static_cast<char>((value >> 8) & 0xFF);
        if (padding < 1)
            bytes += static_cast<char>(value & 0xFF);
    }
    return bytes;
}

}  // namespace Sim
