// CSV files from property records, laid out by a CsvLayout.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

class TextList;
struct CsvLayout;
struct ProgramState;

// "YYYY/MM/DD" from "2012/3/5", "2012年3月", "平成23年10月" ...; empty when it is no date.
std::string NormaliseDate(std::string_view text);
// Appends the value as the column's type code writes it, then the layout's separator.
void FormatValue(std::string_view value, std::string_view typeCode, const CsvLayout& layout,
                 std::string& out);
// The bytes of the CSV file for the records (PropertyRecord lines), CR LF line ends.
std::string BuildCsv(const ProgramState& state, const TextList& records, const CsvLayout& layout);
// Replaces the file at path atomically; false when it could not be written.
bool WriteCsv(const ProgramState& state, const TextList& records, const std::string& path,
              const CsvLayout& layout);
// "\\csv_total\\TotalData_csvdata.csv" and "\\csv_total\\TotalData_kanri_csvdata.csv".
void WriteTotalCsv(const ProgramState& state);
// "\\csv_total\\TotalData_kako_csvdata.csv" and "\\csv_total\\TotalData_kanri_kako_csvdata.csv".
void WritePastCsv(const ProgramState& state);

}  // namespace kestrova
