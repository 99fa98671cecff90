#include "platform/hostlib/core/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/fd_io.h"
#include "platform/system/file_replace.h"

namespace hostlib {

TClass TStream::StaticClass()
{
    return DefineClass<TStream, TObject>("TStream");
}
TClass TCustomMemoryStream::StaticClass()
{
    return DefineClass<TCustomMemoryStream, TStream>("TCustomMemoryStream");
}
TClass TMemoryStream::StaticClass()
{
    return DefineClass<TMemoryStream, TCustomMemoryStream>("TMemoryStream");
}
TClass TStringStream::StaticClass()
{
    return DefineClass<TStringStream, TMemoryStream>("TStringStream");
}
TClass TFileStream::StaticClass()
{
    return DefineClass<TFileStream, TStream>("TFileStream");
}

// ---- TStream ---------------------------------------------------------------------

std::int64_t TStream::Size()
{
    const std::int64_t pos = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t)
{
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, std::int64_t count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError(messages::SReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError(messages::SWriteError);
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0) throw EReadError(messages::SReadError);
    const std::int64_t total = count;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(count, 61440)) + 1);
    while (count > 0) {
        const std::int64_t n = std::min<std::int64_t>(count, static_cast<std::int64_t>(buffer.size()));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return total;
}

// ---- memory streams --------------------------------------------------------------------

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count)
{
    const std::int64_t size = static_cast<std::int64_t>(data_.size());
    if (count <= 0 || position_ >= size) return 0;
    const std::int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    if (origin == soCurrent) base = position_;
    else if (origin == soEnd) base = static_cast<std::int64_t>(data_.size());
    const std::int64_t target = base + offset;
    if (target < 0) throw EStreamError("Invalid stream position");
    position_ = target;
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream)
{
    if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName)
{
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count)
{
    if (count <= 0) return 0;
    const std::int64_t end = position_ + count;
    if (end > static_cast<std::int64_t>(data_.size())) data_.resize(static_cast<std::size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

void TMemoryStream::SetSize(std::int64_t newSize)
{
    if (newSize < 0) throw EStreamError("Invalid stream size");
    data_.resize(static_cast<std::size_t>(newSize));
    if (position_ > newSize) position_ = newSize;
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const std::int64_t n = stream.Size();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    if (n) stream.ReadBuffer(bytes.data(), n);
    data_ = std::move(bytes);
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

TStringStream::TStringStream(std::string_view text)
{
    data_.assign(text.begin(), text.end());
}

std::string TStringStream::ReadString(std::int64_t count)
{
    std::string s(static_cast<std::size_t>(std::max<std::int64_t>(0, std::min(count, Size() - Position()))), '\0');
    const std::int64_t n = Read(s.data(), static_cast<std::int64_t>(s.size()));
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void TStringStream::WriteString(std::string_view text)
{
    Write(text.data(), static_cast<std::int64_t>(text.size()));
}

// ---- file stream ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, std::uint16_t mode) : fileName_(fileName)
{
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) throw EFCreateError(Format(messages::SFCreateError, fileName, std::string(std::strerror(errno))));
        return;
    }
    int flags = O_CLOEXEC;
    switch (mode & 3) {
    case fmOpenWrite: flags |= O_WRONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    fd_ = ::open(fileName.c_str(), flags);
    if (fd_ < 0) throw EFOpenError(Format(messages::SFOpenError, fileName, std::string(std::strerror(errno))));
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError(Format(messages::SFOpenError, fileName, std::string(std::strerror(EISDIR))));
    }
    // Sharing: exclusive modes take an advisory lock others honour; deny-none
    // and compatibility modes take none.
    const int share = mode & 0xF0;
    if (share == fmShareExclusive || share == fmShareDenyWrite) {
        const int lock = share == fmShareExclusive ? LOCK_EX : LOCK_SH;
        if (::flock(fd_, lock | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd_);
            fd_ = -1;
            throw EFOpenError(Format(messages::SFOpenError, fileName, std::string(std::strerror(err))));
        }
    }
}

TFileStream::~TFileStream()
{
    if (fd_ >= 0) ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    if (count <= 0) return 0;
    return static_cast<std::int64_t>(quelvo::sys::ReadFully(fd_, buffer, static_cast<std::size_t>(count)));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    if (count <= 0) return 0;
    return static_cast<std::int64_t>(quelvo::sys::WriteFully(fd_, buffer, static_cast<std::size_t>(count)));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == soBeginning ? SEEK_SET : (origin == soCurrent ? SEEK_CUR : SEEK_END);
    const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (r < 0) throw EStreamError("Invalid stream position");
    return r;
}

void TFileStream::SetSize(std::int64_t newSize)
{
    if (newSize < 0 || ::ftruncate(fd_, static_cast<off_t>(newSize)) != 0) throw EStreamError("Invalid stream size");
    if (Position() > newSize) Seek(newSize, soBeginning);
}

bool ReadFileBytes(const std::string& fileName, std::string& content)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string out;
    char buf[65536];
    bool failed = false;
    std::size_t n = 0;
    do {
        n = quelvo::sys::ReadFully(fd, buf, sizeof buf, &failed);
        out.append(buf, n);
    } while (n == sizeof buf && !failed);
    ::close(fd);
    if (failed) return false;
    content = std::move(out);
    return true;
}

bool WriteFileBytesAtomic(const std::string& fileName, std::string_view content)
{
    return quelvo::sys::ReplaceFileContents(fileName, content);
}

}  // namespace hostlib
