// The search across the incident on a generated 50 MB Main Log held in
// memory: a rare word, a common word and one letter, each as the window asks
// (the first hits up to its cap) and as pellam-cli asks (every hit). Beside
// them two floors over the same plain text: memchr through its bytes and a
// plain read of every unit. Folding the documents, done once per incident,
// is measured on its own.
#include "GeneratedLog.h"
#include "richtext/RtfReader.h"
#include "workbench/IncidentSearch.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kMB = 1000 * 1000;

std::shared_ptr<const pellam::IncidentTexts> Texts()
{
    static const auto texts = [] {
        auto t = std::make_shared<pellam::IncidentTexts>();
        pellam::IncidentDocument doc;
        doc.source = "MainLog";
        doc.text = pellam::ReadRtf(pellam::bench::GenerateMainLog(50 * kMB)).PlainText();
        doc.entries = pellam::ReadDatedEntries(doc.text);
        t->documents.push_back(std::move(doc));
        return std::shared_ptr<const pellam::IncidentTexts>(std::move(t));
    }();
    return texts;
}

const pellam::IncidentSearch& Search()
{
    static const auto search = [] {
        auto s = std::make_unique<pellam::IncidentSearch>(Texts());
        s->Prepare();
        return s;
    }();
    return *search;
}

std::size_t TextBytes()
{
    return Texts()->documents[0].text.size() * sizeof(char16_t);
}

void Bytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TextBytes()));
}

// A byte nowhere in the text: memchr reads it all.
void BM_FloorMemchr(benchmark::State& state)
{
    const std::u16string& text = Texts()->documents[0].text;
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(text.data(), 0x7F, TextBytes()));
    Bytes(state);
}
BENCHMARK(BM_FloorMemchr)->Unit(benchmark::kMillisecond);

void BM_FloorReadEveryUnit(benchmark::State& state)
{
    const std::u16string& text = Texts()->documents[0].text;
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (char16_t c : text)
            sum += c;
        benchmark::DoNotOptimize(sum);
    }
    Bytes(state);
}
BENCHMARK(BM_FloorReadEveryUnit)->Unit(benchmark::kMillisecond);

// Once per opened incident, on the window's worker.
void BM_Fold(benchmark::State& state)
{
    for (auto _ : state) {
        const pellam::IncidentSearch fresh(Texts());
        fresh.Prepare();
    }
    Bytes(state);
}
BENCHMARK(BM_Fold)->Unit(benchmark::kMillisecond);

const char16_t* const kQueries[] = {u"4711 Started", u"command post", u"e"};

// As the window asks: the first hits up to its cap.
void BM_FindCapped(benchmark::State& state)
{
    const char16_t* query = kQueries[state.range(0)];
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = Search().Find(query).hits.size();
        benchmark::DoNotOptimize(hits);
    }
    Bytes(state);
    state.counters["hits"] = static_cast<double>(hits);
    state.SetLabel(pellam::ToUtf8(query));
}
BENCHMARK(BM_FindCapped)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// As pellam-cli asks: every hit, each with its time and context.
void BM_FindEvery(benchmark::State& state)
{
    const char16_t* query = kQueries[state.range(0)];
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        Search().ForEachHit(query, [&](const pellam::SearchHit& h) {
            benchmark::DoNotOptimize(h.context.data());
            ++hits;
            return true;
        });
    }
    Bytes(state);
    state.counters["hits"] = static_cast<double>(hits);
    state.SetLabel(pellam::ToUtf8(query));
}
BENCHMARK(BM_FindEvery)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
