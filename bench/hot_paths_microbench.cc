// Micro-benchmarks of the hot paths of a whole run at project scale, as profiling found them:
// looking texts up by address index (hash index against the sorted search), the cell work of the
// section page builder (wildcards, address and index formulas, code-page re-decoding) and the
// UTF-16 encoding of page lines. The texts have the shape make_big_project generates.

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "inputs/text_table.h"
#include "support/error_sink.h"
#include "support/string_helpers.h"
#include "support/text_codec.h"
#include "templates/address_formulas.h"

namespace {

using orvano::Cell;
using orvano::Table;
using orvano::TextTable;

// Address indices of two dots, as the generated projects have most of them.
std::string Address(long i) {
  return "Area" + std::to_string(i % 23) + ".Group" + std::to_string((i / 23) % 41) + ".Text" +
         std::to_string(i);
}

TextTable MakeTexts(long count, bool indexed) {
  std::array<Table, 5> depths;
  Table& table = depths[1];
  table = Table(2, 0);
  for (long i = 0; i < count; ++i)
    table.AddRow({Cell(Address(i)), Cell("Motor " + std::to_string(i))});
  orvano::SortRowsByFirstColumn(table);
  return orvano::MakeTextTable(std::move(depths), indexed);
}

// Look-ups in a table of `range(0)` texts, in a scattered order as the sheets make them.
void LookUp(benchmark::State& state, bool indexed) {
  const long count = state.range(0);
  const TextTable texts = MakeTexts(count, indexed);
  std::vector<std::string> keys;
  for (long i = 0; i < 4096; ++i) keys.push_back(Address((i * 7919) % count));
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orvano::FindText(texts, keys[k++ % keys.size()]));
  }
}
void BM_FindTextIndexed(benchmark::State& state) { LookUp(state, true); }
void BM_FindTextSortedSearch(benchmark::State& state) { LookUp(state, false); }
BENCHMARK(BM_FindTextIndexed)->Arg(25000)->Arg(100000);
BENCHMARK(BM_FindTextSortedSearch)->Arg(25000)->Arg(100000);

void BM_CompareCodeUnitsSharedPrefix(benchmark::State& state) {
  const std::string a = "Area12.Group33.Group7.Text104711";
  const std::string b = "Area12.Group33.Group7.Text104712";
  for (auto _ : state) benchmark::DoNotOptimize(orvano::CompareCodeUnits(a, b));
}
BENCHMARK(BM_CompareCodeUnitsSharedPrefix);

// The texts and the factors of a machine page: machine 3, position 2, control type 1.
struct Page {
  TextTable texts = MakeTexts(100000, true);
  std::optional<int> code_page = 1252;
  orvano::FormulaFactors factors{3, "2", 0, 1};
  orvano::WildcardTable wildcards = {
      {{"MNR", "Machine3"}, {"FLD", "2"}, {"OVERVIEW", ""}, {"MAIN", ""}}};
  orvano::IgnoringErrorSink errors;
};

void BM_ReplaceWildcards(benchmark::State& state) {
  Page c;
  const std::string cells[] = {"###INDEX:" + Address(4711) + ":INDEX",
                               "A###ADDR:12+16[MNR]+2[FLDNULL]:ADDR.3",
                               "Group 4 of ###MNR, position ###FLD###MAIN"};
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orvano::ReplaceWildcards(c.wildcards, cells[k++ % 3]));
  }
}
BENCHMARK(BM_ReplaceWildcards);

void BM_ExpandAddressFormulas(benchmark::State& state) {
  Page c;
  const std::string cell = "A###ADDR:12+16[MNR]+2[FLDNULL]:ADDR.3";
  for (auto _ : state) {
    benchmark::DoNotOptimize(orvano::ExpandAddressFormulas(c.factors, cell, c.errors));
  }
}
BENCHMARK(BM_ExpandAddressFormulas);

void BM_ExpandIndexFormulas(benchmark::State& state) {
  Page c;
  std::vector<std::string> cells;
  for (long i = 0; i < 4096; ++i)
    cells.push_back("###INDEX:" + Address((i * 7919) % 100000) + ":INDEX");
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        orvano::ExpandIndexFormulas(c.texts, c.code_page, cells[k++ % cells.size()], c.errors));
  }
}
BENCHMARK(BM_ExpandIndexFormulas);

void BM_RecodeThroughCodePage(benchmark::State& state) {
  const std::pair<const char*, int> texts[] = {
      {"Motor temperature limit 4711", 1252},
      {"Z\xC3\xA4hler F\xC3\xB6rderer St\xC3\xB6rung", 1252},
      {"Motor temperature limit 4711", 1251},
      {"\xD0\xB4\xD0\xB0\xD1\x82\xD1\x87\xD0\xB8\xD0\xBA 4711", 1251}};
  const auto& [text, code_page] = texts[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(orvano::RecodeThroughCodePage(text, code_page));
}
BENCHMARK(BM_RecodeThroughCodePage)->DenseRange(0, 3);

void BM_Utf8ToUtf16Le(benchmark::State& state) {
  const std::string line =
      "<tr><td class=\"c12\">A12.3</td><td class=\"c12\">Z\xC3\xA4hler F\xC3\xB6rderer "
      "St\xC3\xB6rung 4711</td></tr>";
  for (auto _ : state) benchmark::DoNotOptimize(orvano::Utf8ToUtf16Le(line));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_Utf8ToUtf16Le);

}  // namespace

BENCHMARK_MAIN();
