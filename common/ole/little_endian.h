#pragma once
// Little-endian fields, as every structure of the compound file, the macro
// project and the workbook stream stores them: appended to a buffer being
// written, and read one after another from outside bytes by a cursor that
// never reads past its end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kq::ole {

inline void appendLe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

inline void appendBytes(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

inline void appendText(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

inline void storeLe16(std::span<std::uint8_t> at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void storeLe32(std::span<std::uint8_t> at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

inline std::uint16_t loadLe16(std::span<const std::uint8_t> at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t loadLe32(std::span<const std::uint8_t> at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

// Reads fields in order. Once a read runs past the end the cursor is spent:
// every later read gives zero or nothing, so that a structure can be read
// whole and checked once.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    std::size_t left() const { return bytes_.size() - pos_; }
    std::size_t position() const { return pos_; }

    std::uint8_t u8() {
        const auto field = take(1);
        return field.empty() ? 0 : field[0];
    }
    std::uint16_t u16() {
        const auto field = take(2);
        return field.empty() ? 0 : loadLe16(field);
    }
    std::uint32_t u32() {
        const auto field = take(4);
        return field.empty() ? 0 : loadLe32(field);
    }
    // `n` bytes, or nothing (and the cursor spent) when fewer are left.
    std::span<const std::uint8_t> take(std::size_t n) {
        if (!ok_ || n > left()) {
            ok_ = false;
            return {};
        }
        const auto field = bytes_.subspan(pos_, n);
        pos_ += n;
        return field;
    }
    std::string text(std::size_t n) {
        const auto field = take(n);
        return std::string(field.begin(), field.end());
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace kq::ole
