#include "sharedfile/FileIdentity.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace sharedfile {

namespace {

constexpr std::uint64_t P1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t P2 = 0xC2B2AE3D27D4EB4Full;

inline std::uint64_t rotl(std::uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

inline std::uint64_t load64(const unsigned char* p) {
    std::uint64_t v = 0;
    std::memcpy(&v, p, 8);
    return v;
}

inline std::uint64_t round(std::uint64_t lane, std::uint64_t word) {
    return rotl(lane + word * P2, 31) * P1;
}

} // namespace

void ByteHasher::stripe(const unsigned char* p) {
    lanes_[0] = round(lanes_[0], load64(p));
    lanes_[1] = round(lanes_[1], load64(p + 8));
    lanes_[2] = round(lanes_[2], load64(p + 16));
    lanes_[3] = round(lanes_[3], load64(p + 24));
}

void ByteHasher::add(const char* bytes, std::size_t size) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    total_ += size;
    if (tailSize_ > 0) {
        const std::size_t take = std::min(size, sizeof tail_ - tailSize_);
        std::memcpy(tail_ + tailSize_, data, take);
        tailSize_ += take;
        data += take;
        size -= take;
        if (tailSize_ < sizeof tail_)
            return;
        stripe(tail_);
        tailSize_ = 0;
    }
    for (; size >= 32; data += 32, size -= 32)
        stripe(data);
    std::memcpy(tail_, data, size);
    tailSize_ = size;
}

std::uint64_t ByteHasher::finish() const {
    std::uint64_t h = rotl(lanes_[0], 1) + rotl(lanes_[1], 7) + rotl(lanes_[2], 12) +
                      rotl(lanes_[3], 18) + total_;
    for (std::size_t i = 0; i < tailSize_; ++i)
        h = rotl(h ^ (tail_[i] * P1), 11) * P2;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    return h;
}

bool coarseTime(const FileIdentity& identity) {
    return identity.mtimeNanoseconds == 0;
}

bool hashFile(const QString& path, std::uint64_t& hash) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    static constexpr size_t Chunk = 1 << 17;
    std::vector<unsigned char> buffer(Chunk);
    ByteHasher hasher;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), Chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        hasher.add(reinterpret_cast<const char*>(buffer.data()), size_t(n));
    }
    ::close(fd);
    hash = hasher.finish();
    return true;
}

FileIdentity identityOf(const QString& path) {
    FileIdentity identity = statOf(path);
    addHash(identity, path);
    return identity;
}

void addHash(FileIdentity& identity, const QString& path, const ByteHasher* read) {
    if (!identity.exists || !coarseTime(identity))
        return;
    if (read && read->total() == std::uint64_t(identity.size)) {
        identity.hash = read->finish();
        identity.hashed = true;
    } else {
        identity.hashed = hashFile(path, identity.hash);
    }
}

FileIdentity statOf(const QString& path) {
    FileIdentity identity;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return identity;
    identity.exists = true;
    identity.size = std::int64_t(st.st_size);
    identity.mtimeSeconds = std::int64_t(st.st_mtim.tv_sec);
    identity.mtimeNanoseconds = std::int64_t(st.st_mtim.tv_nsec);
    identity.device = std::uint64_t(st.st_dev);
    identity.inode = std::uint64_t(st.st_ino);
    return identity;
}

bool changedSince(const FileIdentity& atLoad, const FileIdentity& now) {
    if (atLoad.exists != now.exists)
        return true;
    if (!atLoad.exists)
        return false;
    if (atLoad.size != now.size || atLoad.mtimeSeconds != now.mtimeSeconds ||
        atLoad.mtimeNanoseconds != now.mtimeNanoseconds || atLoad.device != now.device ||
        atLoad.inode != now.inode)
        return true;
    return atLoad.hashed && now.hashed && atLoad.hash != now.hash;
}

} // namespace sharedfile
