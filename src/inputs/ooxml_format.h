// Names of the Office Open XML workbook format (.xlsx, .xlsm) that the workbook reader in
// src/inputs/ looks for: package parts, content types, relationship types, element and attribute
// names, and the grid limits. docs/formats/ooxml.md describes the subset we read.

#ifndef ORVANO_INPUTS_OOXML_FORMAT_H_
#define ORVANO_INPUTS_OOXML_FORMAT_H_

#include <cstdint>
#include <string_view>

namespace orvano::ooxml {

// The four bytes a ZIP archive (its first local file header) starts with.
inline constexpr std::string_view kZipSignature = "PK\x03\x04";

// The one part whose name is fixed: it maps part names to content types.
inline constexpr std::string_view kContentTypesPart = "[Content_Types].xml";
// The package's own relationships, which lead to its main part (the workbook).
inline constexpr std::string_view kRootRelationshipsPart = "_rels/.rels";
// A part's relationships live in <folder>/_rels/<name>.rels.
inline constexpr std::string_view kRelationshipsFolder = "_rels/";
inline constexpr std::string_view kRelationshipsSuffix = ".rels";

// Content types of the main workbook part: workbook, macro-enabled workbook and their templates.
inline constexpr std::string_view kWorkbookContentTypes[] = {
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
    "application/vnd.ms-excel.sheet.macroEnabled.main+xml",
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml",
    "application/vnd.ms-excel.template.macroEnabled.main+xml",
};
// The binary workbook (.xlsb), which is a ZIP archive too but is not read.
inline constexpr std::string_view kBinaryWorkbookContentType =
    "application/vnd.ms-excel.sheet.binary.macroEnabled.main";

// Relationship types end with these names (the transitional and the strict form differ only in
// the namespace before them).
inline constexpr std::string_view kOfficeDocumentRelationship = "/officeDocument";
inline constexpr std::string_view kWorksheetRelationship = "/worksheet";
inline constexpr std::string_view kSharedStringsRelationship = "/sharedStrings";
inline constexpr std::string_view kExternalTargetMode = "External";

// [Content_Types].xml: a Default gives the type of every part with its extension, an Override
// that of one part, and wins over the Default.
inline constexpr std::string_view kDefaultElement = "Default";
inline constexpr std::string_view kExtensionAttribute = "Extension";
inline constexpr std::string_view kOverrideElement = "Override";
inline constexpr std::string_view kPartNameAttribute = "PartName";
inline constexpr std::string_view kContentTypeAttribute = "ContentType";

// *.rels
inline constexpr std::string_view kRelationshipElement = "Relationship";
inline constexpr std::string_view kIdAttribute = "Id";
inline constexpr std::string_view kTypeAttribute = "Type";
inline constexpr std::string_view kTargetAttribute = "Target";
inline constexpr std::string_view kTargetModeAttribute = "TargetMode";

// workbook.xml: <sheets><sheet name="..." r:id="..."/></sheets>; the id attribute carries the
// relationships namespace, under whatever prefix the writer chose.
inline constexpr std::string_view kWorkbookPropertiesElement = "workbookPr";
inline constexpr std::string_view kDate1904Attribute = "date1904";
inline constexpr std::string_view kSheetElement = "sheet";
inline constexpr std::string_view kSheetNameAttribute = "name";
inline constexpr std::string_view kRelationshipIdAttribute = "id";

// sharedStrings.xml: <sst><si><t>text</t></si><si><r><t>run</t></r><rPh><t>reading</t></rPh></si>
inline constexpr std::string_view kStringItemElement = "si";
inline constexpr std::string_view kTextElement = "t";
inline constexpr std::string_view kPhoneticRunElement = "rPh";

// Worksheets: <sheetData><row r="1"><c r="A1" t="s"><f>..</f><v>0</v></c></row></sheetData>
inline constexpr std::string_view kSheetDataElement = "sheetData";
inline constexpr std::string_view kRowElement = "row";
inline constexpr std::string_view kCellElement = "c";
inline constexpr std::string_view kValueElement = "v";
inline constexpr std::string_view kInlineStringElement = "is";
inline constexpr std::string_view kReferenceAttribute = "r";
inline constexpr std::string_view kCellTypeAttribute = "t";

// Values of a cell's t attribute; no attribute means a number.
inline constexpr std::string_view kTypeNumber = "n";
inline constexpr std::string_view kTypeSharedString = "s";
inline constexpr std::string_view kTypeFormulaString = "str";
inline constexpr std::string_view kTypeInlineString = "inlineStr";
inline constexpr std::string_view kTypeBoolean = "b";
inline constexpr std::string_view kTypeError = "e";
inline constexpr std::string_view kTypeDate = "d";

// The grid: rows 1..1 048 576, columns A..XFD.
inline constexpr std::uint32_t kMaxRows = 1048576;
inline constexpr std::uint32_t kMaxColumns = 16384;

}  // namespace orvano::ooxml

#endif  // ORVANO_INPUTS_OOXML_FORMAT_H_
