// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding speed: every record of a telegram, as the data table reads them
// (store, check, header, count, then each record's texts).
#include "interpret/interpreter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using quorven::Interpreter;
using Telegram = std::vector<std::uint8_t>;

std::vector<std::uint8_t> HexBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            high = -1;
            continue;
        }
        const int nibble = std::isdigit(static_cast<unsigned char>(c)) != 0
                               ? c - '0'
                               : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
        if (high < 0) {
            high = nibble;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + nibble));
            high = -1;
        }
    }
    return bytes;
}

// A variable-data RSP_UD frame around the given records.
Telegram Frame(const std::vector<std::uint8_t>& records) {
    Telegram frame = HexBytes("68 00 00 68 08 05 72 78 56 34 12 B4 09 01 07 11 00 00 00");
    frame.insert(frame.end(), records.begin(), records.end());
    const auto l = static_cast<std::uint8_t>(frame.size() - 4);
    frame[1] = frame[2] = l;
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < frame.size(); ++i) {
        sum = static_cast<std::uint8_t>(sum + frame[i]);
    }
    frame.push_back(sum);
    frame.push_back(0x16);
    return frame;
}

// Records as a heat meter sends them: BCD and binary counters, temperatures,
// a date and time, stored values with DIFEs.
Telegram TypicalTelegram(int records) {
    static const char* const kRecords[] = {
        "0C 78 78 56 34 12",    "04 06 E7 91 00 00",    "0C 14 08 11 56 00", "04 22 D9 03 00 00",
        "02 59 B9 27",          "02 5D 08 12",          "02 61 B1 15",       "04 2D 5B 01 00 00",
        "04 6D 1A 2F 65 11",    "84 10 06 00 00 00 00", "42 6C 5F 1C",       "0B 3B 43 05 00",
        "C4 40 13 00 10 00 00", "02 FD 17 00 00",       "05 5B 00 00 C0 3F",
    };
    std::vector<std::uint8_t> data;
    for (int i = 0; i < records; ++i) {
        const auto bytes = HexBytes(kRecords[i % std::size(kRecords)]);
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    return Frame(data);
}

// The most records of real data a frame holds: two bytes each, no data field.
Telegram DenseTelegram() {
    std::vector<std::uint8_t> data;
    while (data.size() + 2 <= 240) {
        data.push_back(0x00);
        data.push_back(0x13);
    }
    return Frame(data);
}

std::size_t DecodeAll(Interpreter& in, const Telegram& telegram) {
    in.StoreTelegram(telegram);
    benchmark::DoNotOptimize(in.CheckTelegram());
    benchmark::DoNotOptimize(in.IdentNumber());
    benchmark::DoNotOptimize(in.ManufacturerCode());
    benchmark::DoNotOptimize(in.MediumText());
    const int count = in.CountRecords();
    for (int i = 0; i < count; ++i) {
        in.GetRecord(i);
        const auto& record = in.CurrentRecord();
        benchmark::DoNotOptimize(record.Value.data());
        benchmark::DoNotOptimize(record.UnitText.data());
        benchmark::DoNotOptimize(record.Description.data());
        benchmark::DoNotOptimize(record.FunctionText.data());
    }
    return static_cast<std::size_t>(count);
}

void RunTelegrams(benchmark::State& state, const std::vector<Telegram>& telegrams) {
    Interpreter in;
    std::size_t records = 0;
    std::size_t decoded = 0;
    for (auto _ : state) {
        for (const Telegram& telegram : telegrams) {
            records += DecodeAll(in, telegram);
        }
        decoded += telegrams.size();
    }
    state.counters["telegrams/s"] =
        benchmark::Counter(static_cast<double>(decoded), benchmark::Counter::kIsRate);
    // Shown as time per record ("130ns").
    state.counters["per_record"] = benchmark::Counter(
        static_cast<double>(records), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["records/telegram"] =
        decoded == 0 ? 0.0 : static_cast<double>(records) / static_cast<double>(decoded);
}

void BM_TypicalTelegram(benchmark::State& state) {
    RunTelegrams(state, {TypicalTelegram(static_cast<int>(state.range(0)))});
}
BENCHMARK(BM_TypicalTelegram)->Arg(10)->Arg(30);

void BM_DenseTelegram(benchmark::State& state) {
    RunTelegrams(state, {DenseTelegram()});
}
BENCHMARK(BM_DenseTelegram);

std::vector<Telegram> LoadHexFiles(const std::filesystem::path& folder) {
    std::vector<Telegram> telegrams;
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".hex") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        telegrams.push_back(HexBytes(text));
    }
    return telegrams;
}

// Every telegram of the shared corpus: .hex files, and the one-per-line
// telegram lists (lines starting with "*" are comments).
std::vector<Telegram> LoadCorpus(const std::filesystem::path& root) {
    std::vector<Telegram> telegrams;
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        const auto name = entry.path().filename().string();
        if (entry.path().extension() == ".hex" || name == "telegrams.txt") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file);
        if (file.extension() == ".hex") {
            telegrams.push_back(HexBytes({std::istreambuf_iterator<char>(in), {}}));
            continue;
        }
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line[0] != '*' && !HexBytes(line).empty()) {
                telegrams.push_back(HexBytes(line));
            }
        }
    }
    return telegrams;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path shared = QUORVEN_SHARED_DIR;
    const auto testFrames = LoadHexFiles(shared / "corpus" / "libmbus" / "test-frames");
    const auto corpus = LoadCorpus(shared / "corpus");
    if (!testFrames.empty()) {
        benchmark::RegisterBenchmark("BM_LibmbusTestFrames", [testFrames](benchmark::State& s) {
            RunTelegrams(s, testFrames);
        });
    }
    if (!corpus.empty()) {
        benchmark::RegisterBenchmark("BM_WholeCorpus",
                                     [corpus](benchmark::State& s) { RunTelegrams(s, corpus); });
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
