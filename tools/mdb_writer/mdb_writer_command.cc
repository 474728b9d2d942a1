#include "mdb_writer_command.h"

#include <ostream>

#include "mdb_writer.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "table_file.h"

namespace orvano::tools {

namespace {

constexpr const char kUsage[] =
    "Usage: mdb_writer <out.mdb> <table-file>...\n"
    "Writes a Jet 4 database (.mdb or .vws) holding one table per table file.\n"
    "\n"
    "Table file (UTF-8, lines end at LF or CR LF):\n"
    "  line 1    the table name\n"
    "  line 2    the columns, tab-separated, each Name:Type with Type one of\n"
    "            Long (32-bit), Integer (16-bit), Text (up to 255 characters), Memo, Boolean\n"
    "  line 3..  one row per line, values tab-separated in column order:\n"
    "            \\N for null (not for Boolean), true/false or 1/0 for Boolean,\n"
    "            decimal whole numbers, texts with the escapes \\t \\n \\r \\\\\n"
    "\n"
    "Example:\n"
    "  Tlanguages\n"
    "  Id:Long<TAB>Name:Text<TAB>Active:Boolean\n"
    "  1<TAB>Deutsch<TAB>true\n"
    "  2<TAB>\\N<TAB>false\n"
    "\n"
    "Exit status: 0 written, 1 bad table file or write failure, 2 wrong arguments.\n";

}  // namespace

int RunMdbWriter(const std::vector<std::string>& args, FileSystem& fs, std::ostream& out,
                 std::ostream& err) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  if (args.size() < 2) {
    err << "mdb_writer: expected an output file and at least one table file\n" << kUsage;
    return 2;
  }
  try {
    std::vector<MdbTable> tables;
    for (std::size_t i = 1; i < args.size(); ++i) {
      std::string contents;
      std::string message;
      if (fs.ReadFile(args[i], &contents, &message) != ReadStatus::kOkay) {
        err << "mdb_writer: " << message << "\n";
        return 1;
      }
      tables.push_back(ParseTableFile(contents, args[i]));
    }
    WriteMdb(fs, args[0], tables);
    return 0;
  } catch (const OrvanoError& e) {
    err << "mdb_writer: " << e.description() << "\n";
    return 1;
  }
}

}  // namespace orvano::tools
