// How long reading the command line takes: a typical line, and one at
// Windows's limit of 32,767 code units holding one-letter arguments.
#include <benchmark/benchmark.h>

#include "command_line.h"

static void TypicalLine(benchmark::State& state)
{
    const wchar_t* line =
        L"\"C:\\Tools\\Quillborne.exe\" wordpad.exe \"C:\\Some Folder\\Document.rtf\"";
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTargetCommand(line));
}
BENCHMARK(TypicalLine);

static void LongestLine(benchmark::State& state)
{
    std::wstring line = L"Quillborne.exe";
    while (line.size() + 2 <= 32767)
        line += L" a";
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTargetCommand(line.c_str()));
    state.counters["arguments"] = double(ArgumentCount(line.c_str()));
}
BENCHMARK(LongestLine)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
