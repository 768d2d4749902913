#include "checksums/Sha256.h"

#include "checksums/clsCRC.h"

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <new>

namespace pellam {

struct Sha256::Context {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(ctx); }
    void Start()
    {
        if (!ctx || EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr) != 1)
            throw std::bad_alloc(); // only an exhausted library fails here
    }
};

std::string Sha256Hex(const Sha256Digest& digest)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (const std::uint8_t b : digest) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return text;
}

Sha256::Sha256() : m(std::make_unique<Context>())
{
    m->Start();
}

Sha256::~Sha256() = default;

void Sha256::Add(std::span<const std::uint8_t> bytes)
{
    if (!bytes.empty())
        EVP_DigestUpdate(m->ctx, bytes.data(), bytes.size());
}

Sha256Digest Sha256::Final()
{
    Sha256Digest digest {};
    unsigned length = 0;
    EVP_DigestFinal_ex(m->ctx, digest.data(), &length);
    m->Start();
    return digest;
}

Result<FileSums, SystemError> SumsOfFile(const std::string& path, std::stop_token stop)
{
    const auto fd = FileDescriptor::OpenForReading(path);
    if (!fd)
        return fail(fd.error());
    return SumsOfDescriptor(fd.value(), stop);
}

Result<FileSums, SystemError> SumsOfDescriptor(const FileDescriptor& fd, std::stop_token stop)
{
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    const auto block = std::make_unique_for_overwrite<std::uint8_t[]>(clsCRC::kFileBlock);
    Sha256 sha;
    clsCRC crc;
    FileSums sums;
    for (;;) {
        if (stop.stop_requested())
            return fail(SystemError(ECANCELED));
        const std::int64_t got = fd.ReadSome(block.get(), clsCRC::kFileBlock);
        if (got < 0)
            return fail(SystemError(errno != 0 ? errno : EIO));
        if (got == 0)
            break;
        const std::span<const std::uint8_t> bytes {block.get(), static_cast<std::size_t>(got)};
        sha.Add(bytes);
        crc.AddBytes(bytes);
        sums.size += static_cast<std::uint64_t>(got);
    }
    sums.sha256 = sha.Final();
    sums.crc32 = sums.size == 0 ? 0 : crc.value();
    return sums;
}

} // namespace pellam
