#pragma once
// Random-access byte input and sequential byte output: what the readers and
// writers of stored formats see of a file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace kq {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads exactly `n` bytes at `offset`; false when they are not all there.
    virtual bool readAt(std::uint64_t offset, void* dest, std::size_t n) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Appends the bytes; false when they could not all be written.
    virtual bool write(const void* data, std::size_t n) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, void* dest, std::size_t n) override {
        if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
        if (n != 0) std::memcpy(dest, bytes_.data() + offset, n);
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

class MemorySink final : public ByteSink {
public:
    bool write(const void* data, std::size_t n) override {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};

}  // namespace kq
