// Settings are read from the file whenever they are needed, so a read must
// stay cheap on a configuration of realistic size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <fstream>

#include "config/IniFile.h"

namespace {
std::string MakeConfig() {
    const std::string path = "/tmp/skfp-bench-" + std::to_string(::getpid()) + ".ini";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int s = 0; s < 20; ++s) {
        out << "[Section " << s << "]\r\n";
        for (int k = 0; k < 20; ++k) out << "Key " << k << "=" << (s * 100 + k) << "\r\n";
    }
    return path;
}

void BM_ReadInteger(benchmark::State& state) {
    const std::string path = MakeConfig();
    TIniFile ini(path);
    for (auto _ : state) benchmark::DoNotOptimize(ini.ReadInteger("Section 19", "Key 19", 0));
    ::unlink(path.c_str());
}
BENCHMARK(BM_ReadInteger);

void BM_WriteInteger(benchmark::State& state) {
    const std::string path = MakeConfig();
    TIniFile ini(path);
    int i = 0;
    for (auto _ : state) ini.WriteInteger("Section 10", "Key 10", ++i);
    ::unlink(path.c_str());
}
BENCHMARK(BM_WriteInteger);
}  // namespace
