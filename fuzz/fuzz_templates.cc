// Fuzzes the template engine: the first byte picks a procedure, the rest is a cell or a template.
// Covers conditions, address and index formulas, direct cells, cell placeholders, sizes, font
// specifications, font-class markers and the section page builder.

#include <cstdint>
#include <string>

#include "fonts/font_classes.h"
#include "fuzz_support.h"
#include "support/text_codec.h"
#include "templates/address_formulas.h"
#include "templates/conditions.h"
#include "templates/section_builder.h"
#include "templates/section_fields.h"

namespace {

void Prepare(orvano::RunContext& context) {
  context.description.screen_resolution = "1280";
  context.description.control_type = 1;
  context.description.reject_count = 53;
  context.page.machine_index = 1;
  context.page.machine_name = "M1";
  context.page.position = "3";
  context.workbook.sheet_list = {{"Standard", 0}};
  context.page.sheet_index = 0;
  orvano::Table& depth = context.texts.depths[0];
  depth = orvano::Table(2, 0);
  depth.AddRow({std::string("A.B"), std::string("###INDEX:A.C:INDEX")});
  depth.AddRow({std::string("A.C"), std::string("text ###DIREKT###1,1")});
  context.direct_cells = orvano::Table(3, 2);
  context.direct_cells.At(1, 1) = std::string("cell ###DIREKT###2,1");
  context.direct_cells.At(2, 1) = std::string("###ZELLE###1");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static orvano::fuzz::FuzzContext fuzz;
  orvano::RunContext& context = fuzz.context;
  Prepare(context);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    switch (data[0] % 8) {
      case 0:
        orvano::CalculateIfBedingungen(context, text);
        break;
      case 1:
        orvano::CalculateAdressFormula(context, text);
        break;
      case 2:
        orvano::CalculateIndexFormula(context, text);
        break;
      case 3:
        orvano::GetDirectExcelCell(context, text);
        break;
      case 4: {
        orvano::Table fields(4, 2);
        fields.At(0, 1) = 12.0;
        fields.At(2, 1) = std::string("x");
        orvano::FillCellPlaceholders(context, text, fields, 1);
        break;
      }
      case 5:
        orvano::EditRelSize(context, &text, "fuzz");
        orvano::GetFontSpecs(context, text);
        break;
      case 6: {
        orvano::LineList lines = orvano::SplitLines(text);
        lines.insert(lines.begin(), "fuzz.htm");
        orvano::GetHTMLFontClasses(context, &lines);
        break;
      }
      case 7: {
        // A part table: one cell a line, in column 1 or 2 by turns, class 12 in column 0.
        orvano::LineList cells = orvano::SplitLines(text);
        orvano::Table part(4, cells.size() + 1);
        for (std::size_t i = 0; i < cells.size(); ++i) {
          part.At(0, i + 1) = 12.0;
          part.At(1 + i % 2, i + 1) = cells[i];
        }
        orvano::Table section = orvano::GetHTMLFromXL(context, part);
        orvano::GetSectionFieldXL(context, section);
        break;
      }
    }
  } catch (const orvano::EndProgram&) {
  }
  return 0;
}
