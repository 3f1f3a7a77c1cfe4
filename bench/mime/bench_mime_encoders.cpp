// base64 and quoted-printable encoding of 100 MB of random data, in memory and file to file
// through the path composition uses. The data is also left in $MV_BENCH_DATA (default
// /tmp/mv-bench-100m.bin) so that coreutils base64 and Python's quopri can be timed on the
// same bytes.
#include "mime/Base64Encoder.h"
#include "mime/MessageComposer.h"
#include "mime/MimePart.h"
#include "mime/PartFiles.h"
#include "mime/QuotedPrintableEncoder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kSize = 100u * 1000u * 1000u;

const std::string& data() {
    static const std::string bytes = [] {
        std::string out(kSize, '\0');
        std::mt19937_64 rng(42);
        for (std::size_t i = 0; i + 8 <= out.size(); i += 8) {
            const std::uint64_t v = rng();
            std::memcpy(out.data() + i, &v, 8);
        }
        return out;
    }();
    return bytes;
}

const std::string& dataFile() {
    static const std::string path = [] {
        const char* named = std::getenv("MV_BENCH_DATA");
        std::string p = named != nullptr ? named : "/tmp/mv-bench-100m.bin";
        std::ofstream(p, std::ios::binary)
            .write(data().data(), static_cast<std::streamsize>(data().size()));
        return p;
    }();
    return path;
}

template <class Encoder> void encodeInMemory(benchmark::State& state) {
    const std::string& in = data();
    std::string out(Encoder::maxOutput(in.size()) + Encoder::maxOutput(0), '\0');
    for (auto _ : state) {
        Encoder encoder;
        std::size_t n = encoder.update(reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                       out.data());
        n += encoder.finish(out.data() + n);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void encodeFile(benchmark::State& state, mailvane::mime::Encoding encoding) {
    mailvane::mime::MimePart part;
    part.path = dataFile();
    part.size = kSize;
    part.encoding = encoding;
    for (auto _ : state) {
        auto out = mailvane::mime::OutputFile::createTemporary();
        mailvane::mime::writeEncodedPart(part, out);
        out.close();
        ::unlink(out.path().c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}

void BM_Base64Memory(benchmark::State& state) {
    encodeInMemory<mailvane::mime::Base64Encoder>(state);
}
void BM_QuotedPrintableMemory(benchmark::State& state) {
    encodeInMemory<mailvane::mime::QuotedPrintableEncoder>(state);
}
void BM_Base64File(benchmark::State& state) {
    encodeFile(state, mailvane::mime::Encoding::Base64);
}
void BM_QuotedPrintableFile(benchmark::State& state) {
    encodeFile(state, mailvane::mime::Encoding::QuotedPrintable);
}

BENCHMARK(BM_Base64Memory)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_QuotedPrintableMemory)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Base64File)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_QuotedPrintableFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
