// Runs a harness outside libFuzzer: every file named, or found in a folder
// named, on the command line goes through LLVMFuzzerTestOneInput once. The
// ordinary test suite replays the seeds and every input that ever broke a
// reader this way. A single allocation above 256 MiB fails the run, so a
// buffer sized from a header shows here even without a memory limit.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

void* operator new(std::size_t n)
{
    if (n > (std::size_t {256} << 20)) {
        std::fprintf(stderr, "replay: an allocation of %zu bytes\n", n);
        std::abort();
    }
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> inputs;
        if (fs::is_directory(argv[i]))
            for (const auto& entry : fs::directory_iterator(argv[i]))
                inputs.push_back(entry.path());
        else if (fs::exists(argv[i]))
            inputs.emplace_back(argv[i]);
        for (const auto& path : inputs) {
            std::ifstream in(path, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 ? 0 : 1;
}
