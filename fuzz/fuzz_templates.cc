// Fuzzes the template engine: the first byte picks a procedure, the rest is a cell or a template.
// Covers conditions, address and index formulas, direct cells, cell placeholders, sizes, font
// specifications, font-class markers and the section page builder, which must build the same
// section table with the part's cells prepared as without.

#include <cstdint>
#include <string>

#include "fonts/font_classes.h"
#include "support/error_sink.h"
#include "support/text_codec.h"
#include "templates/address_formulas.h"
#include "templates/conditions.h"
#include "templates/page_state.h"
#include "templates/prepared_part.h"
#include "templates/run_inputs.h"
#include "templates/section_builder.h"
#include "templates/section_fields.h"

namespace {

orvano::RunInputs Inputs() {
  orvano::RunInputs inputs;
  inputs.description.screen_resolution = "1280";
  inputs.description.control_type = 1;
  inputs.description.reject_count = 53;
  inputs.sheets.entries = {{"Standard", false}};
  std::array<orvano::Table, 5> depths;
  depths[0] = orvano::Table(2, 0);
  depths[0].AddRow({std::string("A.B"), std::string("###INDEX:A.C:INDEX")});
  depths[0].AddRow({std::string("A.C"), std::string("text ###DIREKT###1,1")});
  inputs.texts = orvano::MakeTextTable(std::move(depths));
  inputs.direct_cells = orvano::Table(3, 2);
  inputs.direct_cells.At(1, 1) = std::string("cell ###DIREKT###2,1");
  inputs.direct_cells.At(2, 1) = std::string("###ZELLE###1");
  return inputs;
}

orvano::PageState Page() {
  orvano::PageState page;
  page.machine_index = 1;
  page.machine_name = "M1";
  page.position = "3";
  page.sheet_index = 0;
  return page;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const orvano::RunInputs inputs = Inputs();
  static orvano::IgnoringErrorSink errors;
  orvano::PageState page = Page();
  const orvano::FormulaFactors factors{page.machine_index, page.position, page.block_number,
                                       inputs.description.control_type};
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    switch (data[0] % 8) {
      case 0:
        orvano::EvaluateConditions(factors, text, errors);
        break;
      case 1:
        orvano::ExpandAddressFormulas(factors, text, errors);
        break;
      case 2:
        orvano::ExpandIndexFormulas(inputs.texts, inputs.language.code_page, text, errors);
        break;
      case 3:
        orvano::ExpandDirectCellReferences(inputs.direct_cells, inputs.language.code_page, text,
                                           errors);
        break;
      case 4: {
        orvano::Table fields(4, 2);
        fields.At(0, 1) = 12.0;
        fields.At(2, 1) = std::string("x");
        orvano::CellPlaceholderLine(text).Fill(fields, 1, "Standard", errors);
        break;
      }
      case 5:
        orvano::ExpandSizePlaceholders(inputs.description.screen_resolution, &text, "fuzz", errors);
        orvano::FontFaceOfLanguage(text, "1", errors);
        break;
      case 6: {
        orvano::LineList lines = orvano::SplitLines(text);
        lines.insert(lines.begin(), "fuzz.htm");
        orvano::CollectFontClasses({"Arial", inputs.description.screen_resolution}, &lines, errors);
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
        orvano::PageState prepared_page = page;
        orvano::Table section = orvano::BuildSectionTable(inputs, page, part, errors);
        const orvano::PreparedPart prepared(part);
        const orvano::Table prepared_section =
            orvano::BuildSectionTable(inputs, prepared_page, part, errors, &prepared);
        if (prepared_section.rows() != section.rows()) __builtin_trap();
        orvano::CollectSectionFields(inputs, page, section, errors);
        break;
      }
    }
  } catch (const orvano::EndProgram&) {
  }
  return 0;
}
