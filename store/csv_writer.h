// CSV files from property records, laid out by a CsvLayout. The writers stream the bytes to a
// temporary file and replace the file in one atomic step, so a crash never leaves a torn CSV.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

class TextList;
struct CsvLayout;
struct ProgramState;

// "YYYY/MM/DD" from "2012/3/5", "2012年3月", "平成23年10月" ...; empty when it is no date.
std::string NormaliseDate(std::string_view text);
// Appends the value as the type code writes it ("S" quoted, "N" digits, "D" date, else as is,
// with the rest of the code as the default of an empty value), then the layout's separator.
// A double quote inside a quoted value is doubled.
void FormatValue(std::string_view value, std::string_view typeCode, const CsvLayout& layout,
                 std::string& out);
// The bytes of the CSV file for the records (PropertyRecord lines), CR LF line ends.
std::string BuildCsv(const ProgramState& state, const TextList& records, const CsvLayout& layout);
// Replaces the file at path; 0 when written, -1 when it could not be (the old file then stays).
[[nodiscard]] int WriteCsv(const ProgramState& state, const TextList& records,
                           const std::string& path, const CsvLayout& layout);
// "\\csv_total\\TotalData_csvdata.csv" and "\\csv_total\\TotalData_kanri_csvdata.csv" from
// "\\dat\\TotalData.txt"; 0 when both were written, -1 otherwise (each failure logged).
[[nodiscard]] int WriteTotalCsv(ProgramState& state);
// "\\csv_total\\TotalData_kako_csvdata.csv" and "\\csv_total\\TotalData_kanri_kako_csvdata.csv"
// from "\\dat\\TotalData_Kako.txt"; 0 when both were written, -1 otherwise (each failure logged).
[[nodiscard]] int WritePastCsv(ProgramState& state);
// Both of the above, the two store files read at once on two threads; the files are put in
// place, and failures logged, in the same order: past files first. 0 when all four were written.
[[nodiscard]] int WritePastAndTotalCsv(ProgramState& state);

}  // namespace kestrova
