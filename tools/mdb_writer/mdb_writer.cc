#include "mdb_writer.h"

#include <cstdint>
#include <memory>

#include "header_page.h"
#include "jet/jet4_format.h"
#include "page_file.h"
#include "row_encoder.h"
#include "row_pages.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "table_definition.h"
#include "table_layout.h"
#include "usage_map.h"

namespace orvano::tools {

namespace {

using jet4::PageFile;
using jet4::RowPlacer;
using jet4::TableLayout;
using Rows = std::vector<std::vector<MdbValue>>;

// Fixed, so that equal input gives equal bytes: 2000-01-01.
constexpr double kCreationDate = 36526.0;

// The catalog (MSysObjects): the few columns readers use to list tables. libmdb refuses a
// catalog without the LvProp column (table properties), so it is there, always null.
constexpr std::int64_t kRootContainerId = 0x0F000000;
constexpr std::int64_t kTablesContainerId = 0x0F000001;
constexpr std::int64_t kObjectTypeTable = 1;
constexpr std::int64_t kObjectTypeContainer = 3;
constexpr std::int64_t kSystemObjectFlags = -2147483647 - 1;  // 0x80000000
constexpr char kCatalogName[] = "MSysObjects";

std::uint8_t TypeCode(MdbType type) {
  switch (type) {
    case MdbType::kLongInteger:
      return jet4::kTypeLongInteger;
    case MdbType::kInteger:
      return jet4::kTypeInteger;
    case MdbType::kText:
      return jet4::kTypeText;
    case MdbType::kMemo:
      return jet4::kTypeMemo;
    case MdbType::kBoolean:
      return jet4::kTypeBoolean;
  }
  return 0;
}

TableLayout CatalogLayout() {
  return jet4::MakeTableLayout({{"Id", jet4::kTypeLongInteger},
                                {"ParentId", jet4::kTypeLongInteger},
                                {"Name", jet4::kTypeText},
                                {"Type", jet4::kTypeInteger},
                                {"Flags", jet4::kTypeLongInteger},
                                {"LvProp", jet4::kTypeOle}},
                               /*is_system=*/true);
}

std::vector<MdbValue> CatalogRow(std::int64_t id, std::int64_t parent, const std::string& name,
                                 std::int64_t type, std::int64_t flags) {
  return {id, parent, name, type, flags, std::monostate{}};
}

// Writes one table: its definition on `definition_pages`, its rows on new data pages, its memo
// values on new long-value pages, and its usage maps as rows of `map_rows`. The first
// `early_rows` rows are written with `early_layout`, the table before columns were added.
void WriteTable(PageFile& file, RowPlacer& map_rows, const std::string& name,
                const TableLayout& layout, const Rows& rows,
                const std::vector<std::uint32_t>& definition_pages, const TableLayout& early_layout,
                std::size_t early_rows) {
  RowPlacer data_rows(file, jet4::RowPageOwner::Table(definition_pages.front()));
  std::vector<RowPlacer> long_values;
  for (int i = 0; i < layout.long_value_columns; ++i) {
    long_values.emplace_back(file, jet4::RowPageOwner::LongValues());
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    try {
      data_rows.Place(
          jet4::EncodeRow(r < early_rows ? early_layout : layout, rows[r], long_values));
    } catch (const ProgramError& e) {
      throw ProgramError(
          "table \"" + name + "\", row " + std::to_string(r + 1) + ": " + e.description(),
          e.source());
    }
  }
  auto maps_of = [&](const std::vector<std::uint32_t>& pages) {
    const std::string used = jet4::EncodeUsageMap(file, pages);
    return jet4::UsageMaps{map_rows.Place(used), map_rows.Place(jet4::EncodeUsageMap(file, {}))};
  };
  jet4::TableDefinition definition;
  definition.row_count = static_cast<std::uint32_t>(rows.size());
  definition.table_maps = maps_of(data_rows.pages());
  for (const RowPlacer& placer : long_values) {
    definition.long_value_maps.push_back(maps_of(placer.pages()));
  }
  jet4::WriteTableDefinition(file, definition_pages,
                             jet4::EncodeTableDefinition(layout, definition));
}

std::vector<std::uint32_t> AllocateDefinitionPages(PageFile& file, const TableLayout& layout) {
  // The definition's size does not depend on the pointers and counts filled in later.
  jet4::TableDefinition sizing;
  sizing.long_value_maps.resize(layout.long_value_columns);
  const std::size_t count =
      jet4::TableDefinitionPageCount(jet4::EncodeTableDefinition(layout, sizing).size());
  std::vector<std::uint32_t> pages;
  for (std::size_t i = 0; i < count; ++i) pages.push_back(file.Allocate());
  return pages;
}

}  // namespace

std::string BuildMdb(const std::vector<MdbTable>& tables) {
  CheckTables(tables);
  PageFile file;
  file.Allocate();  // header, filled last
  file.Allocate();  // global usage map
  file.Allocate();  // catalog definition
  RowPlacer map_rows(file, jet4::RowPageOwner::Table(0));

  Rows catalog_rows;
  catalog_rows.push_back(CatalogRow(kTablesContainerId, kRootContainerId, "Tables",
                                    kObjectTypeContainer, kSystemObjectFlags));
  catalog_rows.push_back(CatalogRow(jet4::kCatalogPage, kTablesContainerId, kCatalogName,
                                    kObjectTypeTable, kSystemObjectFlags));
  for (const MdbTable& table : tables) {
    std::vector<jet4::ColumnSpec> specs;
    std::vector<jet4::ColumnSpec> early_specs;  // before columns were added
    for (const MdbColumn& column : table.columns) {
      specs.push_back(
          {column.name, TypeCode(column.type), column.change == MdbColumnChange::kDeleted});
      if (column.change != MdbColumnChange::kAdded) early_specs.push_back(specs.back());
    }
    const TableLayout layout = jet4::MakeTableLayout(specs, /*is_system=*/false);
    const TableLayout early_layout = jet4::MakeTableLayout(early_specs, /*is_system=*/false);
    const std::vector<std::uint32_t> definition_pages = AllocateDefinitionPages(file, layout);
    WriteTable(file, map_rows, table.name, layout, table.rows, definition_pages, early_layout,
               table.rows_before_added);
    catalog_rows.push_back(
        CatalogRow(definition_pages.front(), kTablesContainerId, table.name, kObjectTypeTable, 0));
  }
  const TableLayout catalog_layout = CatalogLayout();
  WriteTable(file, map_rows, kCatalogName, catalog_layout, catalog_rows, {jet4::kCatalogPage},
             catalog_layout, 0);

  jet4::StartRowPage(file.Page(jet4::kGlobalUsagePage), jet4::RowPageOwner::Table(0));
  jet4::AddRow(file.Page(jet4::kGlobalUsagePage), jet4::EncodeGlobalFreeMap(file.page_count()));
  file.Page(0) = jet4::BuildHeaderPage(kCreationDate);
  return file.Join();
}

void WriteMdb(FileSystem& fs, const std::string& path, const std::vector<MdbTable>& tables) {
  fs.WriteFileAtomically(path, BuildMdb(tables));
}

void WriteMdb(const std::string& path, const std::vector<MdbTable>& tables) {
  const std::unique_ptr<FileSystem> fs = NewPosixFileSystem();
  WriteMdb(*fs, path, tables);
}

}  // namespace orvano::tools
