#pragma once
// SHA-256 over bytes and files, by the OpenSSL library (its code uses the
// processor's SHA instructions where there are any). A file is read once, in
// blocks, and can give its CRC-32 in the same read, so evidence that needs
// both is not read twice.
#include "base/FileDescriptor.h"
#include "base/Result.h"
#include "base/SystemError.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>
#include <string>

namespace pellam {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The digest in lower-case hex, as sha256sum writes it.
std::string Sha256Hex(const Sha256Digest& digest);

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(std::span<const std::uint8_t> bytes);
    // The digest of everything added since construction or the last Final;
    // the hash starts over afterwards.
    Sha256Digest Final();

private:
    struct Context;
    std::unique_ptr<Context> m;
};

// What one read of a file gives.
struct FileSums {
    std::uint64_t size = 0; // bytes read
    Sha256Digest sha256 {};
    std::int32_t crc32 = 0; // as clsCRC gives it: 0 for an empty file
};

// Reads the file to its end in clsCRC's blocks, hashing as it goes; fails
// with the system's error when it cannot be read, and with ECANCELED when
// `stop` is requested (checked between blocks).
Result<FileSums, SystemError> SumsOfFile(const std::string& path, std::stop_token stop = {});
// The same from an open file's current offset.
Result<FileSums, SystemError> SumsOfDescriptor(const FileDescriptor& fd, std::stop_token stop = {});

} // namespace pellam
