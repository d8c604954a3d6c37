// Runs a fuzz target over every file of the folders it is given (the kept regression inputs), so
// what the fuzzer once found stays fixed in every regular test run. An input that takes longer than
// the limit (5 s, or KIVIC_FUZZ_REPLAY_LIMIT seconds) fails the run: some inputs were kept because
// a reader took seconds over them.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const char* limitText = std::getenv("KIVIC_FUZZ_REPLAY_LIMIT");
    const double limit = limitText && std::atof(limitText) > 0 ? std::atof(limitText) : 5.0;
    int inputs = 0, slow = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (!fs::is_directory(argv[i], ec))
            continue;
        for (const auto& entry : fs::directory_iterator(argv[i])) {
            if (!entry.is_regular_file() || entry.path().filename().string().starts_with("README"))
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
            std::printf("%s (%zu bytes)\n", entry.path().c_str(), bytes.size());
            std::fflush(stdout);
            const auto start = std::chrono::steady_clock::now();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            if (took.count() > limit) {
                std::printf("  too slow: %.1f s (limit %.1f s)\n", took.count(), limit);
                ++slow;
            }
            ++inputs;
        }
    }
    // Also the empty input, so the target's code runs at least once.
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::printf("%d inputs replayed, %d too slow\n", inputs, slow);
    return slow == 0 ? 0 : 1;
}
