#pragma once
// What a data file was when it was loaded, so a save can tell whether something else
// wrote it since: size, modification time to the nanosecond and inode. Where the file
// system keeps whole seconds only (network shares, FAT), two writes within a second
// look alike, so a hash of the bytes is kept as well.
#include <QString>

#include <cstddef>
#include <cstdint>

namespace sharedfile {

struct FileIdentity {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t mtimeSeconds = 0;
    std::int64_t mtimeNanoseconds = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool hashed = false;
    std::uint64_t hash = 0;
};

// The hash hashFile() gives, over bytes handed in piece by piece in file order: four
// independent lanes over 64-byte stripes, each folding 16 bytes into one 64 x 64 -> 128
// bit multiply, so a load that hashes what it reads costs little more than the read.
class ByteHasher {
public:
    void add(const char* data, std::size_t size);
    std::uint64_t total() const { return total_; }
    std::uint64_t finish() const;

private:
    void stripe(const unsigned char* p);
    std::uint64_t lanes_[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                               0x082EFA98EC4E6C89ull};
    std::uint64_t total_ = 0;
    unsigned char tail_[64] = {};
    std::size_t tailSize_ = 0;
};

// True when the time carries no fraction of a second: the file system is taken to
// keep whole seconds only.
bool coarseTime(const FileIdentity& identity);

// The file's identity now; its bytes are hashed only when its time is coarse.
FileIdentity identityOf(const QString& path);
// Size, time and inode only, as taken before the file is read.
FileIdentity statOf(const QString& path);
// Where the time is coarse, the hash of the bytes: those `read` saw when it saw the whole
// file, else read again from `path`.
void addHash(FileIdentity& identity, const QString& path, const ByteHasher* read = nullptr);

// The identity kept at load differs from `now`: a missing or different file, another
// size, time or inode, or other bytes where both were hashed.
bool changedSince(const FileIdentity& atLoad, const FileIdentity& now);

// 64-bit hash of a file's bytes, read in pieces; false when it cannot be read.
bool hashFile(const QString& path, std::uint64_t& hash);

} // namespace sharedfile
