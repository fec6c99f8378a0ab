// Runs a fuzz target once over each input file (folders are read recursively), without libFuzzer:
// the ordinary build replays every corpus this way, so an input that once failed stays fixed.
// With --max-ms=N first, an input that costs more than N milliseconds of processor time fails the run
// (scripts/fuzz feeds 1 MB inputs to the optimised build this way; processor time, so that a busy
// machine does not fail an input that is fast).
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::string current;  // the input being run, named when it fails

void nameInput(int) {
    const char head[] = "replay: failed on ";
    ssize_t ignored = write(STDERR_FILENO, head, sizeof head - 1);
    ignored = write(STDERR_FILENO, current.data(), current.size());
    ignored = write(STDERR_FILENO, "\n", 1);
    (void)ignored;
}

void onSignal(int sig) {
    nameInput(sig);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& p) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(p)) {
        for (const auto& e : std::filesystem::recursive_directory_iterator(p))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
    } else {
        files.push_back(p);
    }
    return files;
}

long long processorMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(sig, onSignal);
    std::set_terminate([] {
        nameInput(0);
        std::abort();
    });
    long maxMs = 0;
    int first = 1;
    if (argc > 1 && std::strncmp(argv[1], "--max-ms=", 9) == 0) {
        maxMs = std::atol(argv[1] + 9);
        first = 2;
    }
    size_t count = 0, slow = 0;
    for (int i = first; i < argc; ++i) {
        for (const auto& file : inputsOf(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
                return 1;
            }
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            current = file.string();
            const long long start = processorMs();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            const long long ms = processorMs() - start;
            if (maxMs > 0 && ms > maxMs) {
                std::fprintf(stderr, "replay: %s (%zu bytes) took %lld ms\n", current.c_str(), bytes.size(), ms);
                ++slow;
            }
            ++count;
        }
    }
    if (count == 0) {
        std::fprintf(stderr, "replay: no inputs\n");
        return 1;
    }
    if (slow > 0) return 1;
    std::printf("replay: %zu inputs ran clean\n", count);
    return 0;
}
