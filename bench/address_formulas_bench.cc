// Times working out cells with address and index formulas against a large TextTable, the way the
// section page builder does for every cell. Usage: address_formulas_bench [cells] [texts]
// (defaults: 100000 cells, 100000 texts). Prints the best time of several rounds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "inputs/text_table.h"
#include "support/error_sink.h"
#include "support/string_helpers.h"
#include "templates/address_formulas.h"

namespace {

constexpr int kRounds = 5;

// The address index of text `i`: one to five dots, as a project's group tree gives them.
std::string Key(int i) {
  std::string key = "Alarms";
  for (int d = 0; d < i % 5; ++d) key += ".Group" + std::to_string(d);
  return key + ".Text" + std::to_string(i);
}

}  // namespace

int main(int argc, char** argv) {
  const int cell_count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int text_count = argc > 2 ? std::atoi(argv[2]) : 100000;

  orvano::IgnoringErrorSink errors;
  const orvano::FormulaFactors factors{2, "3", 4, 0};
  const std::optional<int> code_page = orvano::ParseCodePage(argc > 3 ? argv[3] : "1252");
  std::array<orvano::Table, 5> depths;
  for (auto& table : depths) table = orvano::Table(2, 0);
  for (int i = 0; i < text_count; ++i) {
    std::string key = Key(i);
    auto dots = std::count(key.begin(), key.end(), '.');
    depths[dots - 1].AddRow({key, "Text number " + std::to_string(i)});
  }
  for (auto& table : depths) orvano::SortRowsByFirstColumn(table);
  const orvano::TextTable texts = orvano::MakeTextTable(std::move(depths), false);

  std::mt19937 random(1);
  std::vector<std::string> cells;
  cells.reserve(cell_count);
  for (int i = 0; i < cell_count; ++i) {
    int text = static_cast<int>(random() % static_cast<unsigned>(text_count));
    cells.push_back("DB" + std::to_string(i % 100) +
                    ".DBX###ADDR:1000+4[FLDNULL]+1[FREJ]-2[MNR]:ADDR " + "###INDEX:" + Key(text) +
                    ":INDEX");
  }

  double best = 1e9;
  std::size_t total = 0;
  for (int round = 0; round < kRounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    total = 0;
    for (const std::string& cell : cells) {
      std::string x = orvano::ExpandAddressFormulas(factors, cell, errors);
      x = orvano::ExpandIndexFormulas(texts, code_page, x, errors);
      total += x.size();
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  std::printf("%d cells, %d texts: %.3f s (best of %d), %zu bytes out\n", cell_count, text_count,
              best, kRounds, total);
  return 0;
}
