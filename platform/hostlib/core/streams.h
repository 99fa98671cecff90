#pragma once
// Byte streams: the abstract TStream and its memory, file and string forms.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/hostlib/core/object.h"

namespace hostlib {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File modes of TFileStream (an access mode or'ed with a sharing mode).
inline constexpr std::uint16_t fmCreate = 0xFF00;
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmShareCompat = 0x0000;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // Reads up to count bytes; returns how many were read.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Returns the new position; positions beyond the end are allowed.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t newSize);

    // Raise EReadError "Stream read error" / EWriteError "Stream write error"
    // when fewer bytes move than asked.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies count bytes from source's position; count 0 copies the whole
    // source from its start. Returns the number copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TCustomMemoryStream : public TStream {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    const std::uint8_t* Memory() const { return data_.data(); }
    std::uint8_t* Memory() { return data_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);

protected:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) { data_ = std::move(bytes); }

    std::int64_t Write(const void* buffer, std::int64_t count) override;
    void SetSize(std::int64_t newSize) override;
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
};

// A memory stream over text; DataString is the whole content.
class TStringStream : public TMemoryStream {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TStringStream() = default;
    explicit TStringStream(std::string_view text);
    std::string DataString() const { return std::string(data_.begin(), data_.end()); }
    // Reads up to count bytes as text.
    std::string ReadString(std::int64_t count);
    void WriteString(std::string_view text);
};

// A stream over a file. Raises EFCreateError / EFOpenError with the file
// name and the system's reason when the file cannot be created or opened.
class TFileStream : public TStream {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TFileStream(const std::string& fileName, std::uint16_t mode);
    ~TFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t newSize) override;
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    int fd_ = -1;
};

// Whole-file helpers used by the INI and registry stores.
bool ReadFileBytes(const std::string& fileName, std::string& content);
// Writes through a temporary file renamed over the target, so a failed
// write never leaves a half-written file behind; the file keeps its mode,
// and a symbolic link keeps pointing to it.
bool WriteFileBytesAtomic(const std::string& fileName, std::string_view content);

}  // namespace hostlib
