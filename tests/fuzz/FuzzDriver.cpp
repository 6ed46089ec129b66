// Runs the fuzz target without libFuzzer: every seed of the corpus, then a few thousand inputs mutated
// from them with a fixed seed, for a few seconds at most. A crash or abort fails the test.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Run(const std::string& input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::string Mutate(const std::vector<std::string>& seeds, std::mt19937& random)
{
    static const char* const kTokens[] = {"{", "}", "[", "]", "\"", ",", ":", "null", "0", "-1", "1e999", "65537",
                                          "\"nodeId\":", "\"childNodes\":[", "\"result\":", "\"code\":", "\\u0000", "\\\""};
    std::string input = seeds[random() % seeds.size()];
    int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits; ++i) {
        std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
        switch (random() % 5) {
        case 0:
            if (at < input.size())
                input[at] = static_cast<char>(random());
            break;
        case 1:
            input.erase(at, random() % 8);
            break;
        case 2:
            input.insert(at, kTokens[random() % (sizeof kTokens / sizeof *kTokens)]);
            break;
        case 3: {  // splice in a piece of another seed
            const std::string& other = seeds[random() % seeds.size()];
            std::size_t from = other.empty() ? 0 : random() % other.size();
            input.insert(at, other.substr(from, random() % 64));
            break;
        }
        default:
            input.resize(at);  // truncate
        }
    }
    return input;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string corpus = argc > 1 ? argv[1] : KELVUE_FUZZ_CORPUS;
    std::vector<std::string> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        seeds.push_back(content.str());
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", corpus.c_str());
        return 1;
    }
    for (const std::string& seed : seeds)
        Run(seed);
    std::mt19937 random(20260105);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int runs = 0;
    for (; runs < 20000 && std::chrono::steady_clock::now() < deadline; ++runs)
        Run(Mutate(seeds, random));
    std::printf("%zu seeds and %d mutated inputs ran cleanly\n", seeds.size(), runs);
    return 0;
}
