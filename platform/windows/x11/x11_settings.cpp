#include "platform/windows/x11/x11_settings.h"

#include <cstdint>

namespace quelvo::win::x11 {

namespace {

class Reader {
public:
    Reader(const std::string& bytes, bool msbFirst) : bytes_(bytes), msb_(msbFirst) {}
    bool Skip(std::size_t n)
    {
        if (bytes_.size() - pos_ < n) return false;
        pos_ += n;
        return true;
    }
    bool U8(std::uint32_t& v) { return Number(1, v); }
    bool U16(std::uint32_t& v) { return Number(2, v); }
    bool U32(std::uint32_t& v) { return Number(4, v); }
    bool Text(std::size_t n, std::string& out)
    {
        if (bytes_.size() - pos_ < n) return false;
        out.assign(bytes_, pos_, n);
        pos_ += n;
        return Skip((4 - n % 4) % 4);
    }

private:
    bool Number(std::size_t n, std::uint32_t& v)
    {
        if (bytes_.size() - pos_ < n) return false;
        v = 0;
        for (std::size_t i = 0; i < n; ++i) {
            auto b = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + (msb_ ? i : n - 1 - i)]));
            v = (v << 8) | b;
        }
        pos_ += n;
        return true;
    }
    const std::string& bytes_;
    bool msb_;
    std::size_t pos_ = 0;
};

}  // namespace

std::map<std::string, int> ParseXSettingsIntegers(const std::string& bytes)
{
    std::map<std::string, int> out;
    if (bytes.size() < 12) return out;
    Reader r(bytes, bytes[0] != 0);
    std::uint32_t serial = 0, count = 0;
    if (!r.Skip(4) || !r.U32(serial) || !r.U32(count)) return out;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t type = 0, nameLength = 0, lastChange = 0;
        std::string name;
        if (!r.U8(type) || !r.Skip(1) || !r.U16(nameLength) || !r.Text(nameLength, name) || !r.U32(lastChange)) break;
        if (type == 0) {
            std::uint32_t v = 0;
            if (!r.U32(v)) break;
            out[name] = static_cast<int>(static_cast<std::int32_t>(v));
        } else if (type == 1) {
            std::uint32_t length = 0;
            std::string ignored;
            if (!r.U32(length) || !r.Text(length, ignored)) break;
        } else if (type == 2) {
            if (!r.Skip(8)) break;
        } else {
            break;  // an unknown type has an unknown size
        }
    }
    return out;
}

}  // namespace quelvo::win::x11
