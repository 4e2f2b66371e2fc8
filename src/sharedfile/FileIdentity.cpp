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

// Four independent multiply-rotate lanes over 32-byte stripes, so the processor keeps
// them all busy: several GB/s, far cheaper than a cryptographic hash, the same on every run.
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

struct Hasher {
    std::uint64_t lanes[4] = {P1 + P2, P2, 0, 0 - P1};
    std::uint64_t total = 0;
    unsigned char tail[32];
    size_t tailSize = 0;

    void add(const unsigned char* data, size_t size) {
        total += size;
        if (tailSize > 0) {
            const size_t take = std::min(size, sizeof tail - tailSize);
            std::memcpy(tail + tailSize, data, take);
            tailSize += take;
            data += take;
            size -= take;
            if (tailSize < sizeof tail)
                return;
            stripe(tail);
            tailSize = 0;
        }
        for (; size >= 32; data += 32, size -= 32)
            stripe(data);
        std::memcpy(tail, data, size);
        tailSize = size;
    }
    void stripe(const unsigned char* p) {
        lanes[0] = round(lanes[0], load64(p));
        lanes[1] = round(lanes[1], load64(p + 8));
        lanes[2] = round(lanes[2], load64(p + 16));
        lanes[3] = round(lanes[3], load64(p + 24));
    }
    std::uint64_t finish() const {
        std::uint64_t h =
            rotl(lanes[0], 1) + rotl(lanes[1], 7) + rotl(lanes[2], 12) + rotl(lanes[3], 18) + total;
        for (size_t i = 0; i < tailSize; ++i)
            h = rotl(h ^ (tail[i] * P1), 11) * P2;
        h ^= h >> 33;
        h *= P2;
        h ^= h >> 29;
        return h;
    }
};

} // namespace

bool coarseTime(const FileIdentity& identity) {
    return identity.mtimeNanoseconds == 0;
}

bool hashFile(const QString& path, std::uint64_t& hash) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    static constexpr size_t Chunk = 1 << 17;
    std::vector<unsigned char> buffer(Chunk);
    Hasher hasher;
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
        hasher.add(buffer.data(), size_t(n));
    }
    ::close(fd);
    hash = hasher.finish();
    return true;
}

FileIdentity identityOf(const QString& path) {
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
    if (coarseTime(identity))
        identity.hashed = hashFile(path, identity.hash);
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
