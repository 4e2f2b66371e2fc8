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

constexpr std::uint64_t Keys[4] = {0x9E3779B185EBCA87ull, 0xC2B2AE3D27D4EB4Full,
                                   0x165667B19E3779F9ull, 0x27D4EB2F165667C5ull};

// The high and low halves of the full product, folded: every bit of both inputs moves
// both halves.
inline std::uint64_t fold(std::uint64_t a, std::uint64_t b) {
    const unsigned __int128 product = (unsigned __int128)a * b;
    return std::uint64_t(product) ^ std::uint64_t(product >> 64);
}

inline std::uint64_t load64(const unsigned char* p) {
    std::uint64_t v = 0;
    std::memcpy(&v, p, 8);
    return v;
}

// Folds `count` stripes from `p` into the lanes. The lanes stay in registers through the
// loop: stored back after each stripe, as the bytes read may alias them, the four chains
// of multiplies waited on memory instead of overlapping.
const unsigned char* foldStripes(std::uint64_t* lanes, const unsigned char* p, std::size_t count) {
    std::uint64_t a = lanes[0], b = lanes[1], c = lanes[2], d = lanes[3];
    for (; count > 0; --count, p += 64) {
        a = fold(load64(p) ^ a, load64(p + 8) ^ Keys[0]);
        b = fold(load64(p + 16) ^ b, load64(p + 24) ^ Keys[1]);
        c = fold(load64(p + 32) ^ c, load64(p + 40) ^ Keys[2]);
        d = fold(load64(p + 48) ^ d, load64(p + 56) ^ Keys[3]);
    }
    lanes[0] = a;
    lanes[1] = b;
    lanes[2] = c;
    lanes[3] = d;
    return p;
}

} // namespace

void ByteHasher::stripe(const unsigned char* p) {
    foldStripes(lanes_, p, 1);
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
    data = foldStripes(lanes_, data, size / sizeof tail_);
    size %= sizeof tail_;
    std::memcpy(tail_, data, size);
    tailSize_ = size;
}

std::uint64_t ByteHasher::finish() const {
    std::uint64_t h = fold(lanes_[0] ^ Keys[0], lanes_[1] ^ Keys[1]) ^
                      fold(lanes_[2] ^ Keys[2], lanes_[3] ^ Keys[3]) ^ total_;
    // The last bytes short of a stripe, eight at a time, zeros after the end (the total
    // already tells a zero there from no byte).
    for (std::size_t i = 0; i < tailSize_; i += 8) {
        unsigned char word[8] = {};
        std::memcpy(word, tail_ + i, std::min<std::size_t>(8, tailSize_ - i));
        h = fold(h ^ Keys[(i / 8) % 4], load64(word) ^ Keys[3 - (i / 8) % 4]);
    }
    return fold(h ^ Keys[1], total_ ^ Keys[2]);
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
