// The delimited data unit: separators from names and from --separator, fields cut at the separator outside
// quotes (their numbers are held to the whitespace reader in number_scan_test.cpp), and readfile on CSV files
// with their header names and missing values.
#include "data/delimited.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "data/data_reader.h"
#include "packed.h"
#include "reader_fixture.h"

namespace
{

TEST(Delimited, SeparatorsFromNamesAndFromTheOption)
{
    const std::pair<const char*, char> names[] = {
        {"a.csv", ','},      {"b.TSV", '\t'},
        {"a.CSV.gz", ','},   {"b.tsv.zst", '\t'},
        {"c.Csv.ZSTD", ','}, {"dir.csv/x.dat", 0},
        {"a.csv.bz2", 0},    {"a.gz", 0},
        {"csv", 0},          {".tsv", '\t'},
        {"a.csvx", 0},       {"a.tsv.gz.gz", 0},
        {"a.dat", 0},        {"", 0},
    };
    for (const auto& [name, separator] : names)
        EXPECT_EQ(separator_of_name(name), separator) << name;

    const std::pair<const char*, char> options[] = {
        {";", ';'}, {"tab", '\t'}, {"\\t", '\t'}, {"\t", '\t'}, {"|", '|'}, {" ", ' '}, {"", 0},   {";;", 0},
        {"5", 0},   {".", 0},      {"-", 0},      {"e", 0},     {"\"", 0},  {"TAB", 0}, {"\n", 0},
    };
    for (const auto& [text, separator] : options)
        EXPECT_EQ(separator_of_option(text), separator) << '"' << text << '"';
}

// Each line cut into fields, with the kind of each (number, missing or text) and the value of the numbers, which
// must be what strtod makes of their texts; and the same line's texts.
TEST(Delimited, FieldsKindsAndTexts)
{
    struct row {
        const char* line;
        char separator;
        const char* kinds;
        std::vector<std::string> texts;
        bool header;
    };
    const row rows[] = {
        {" 1 , 2.5 ,-3e2", ',', "nnn", {"1", "2.5", "-3e2"}, false},
        {"1,,NA,NaN,nan,null,", ',', "nmmmmmm", {"1", "", "NA", "NaN", "nan", "null", ""}, false},
        {"\"1,5\", \"2\" ,\"a\"\"b\"", ',', "tnt", {"1,5", "2", "a\"b"}, true},
        {"time\t level \t\"x y\"", '\t', "ttt", {"time", "level", "x y"}, true},
        {"1 2\t+.5\t0x10", '\t', "tnt", {"1 2", "+.5", "0x10"}, true},
        {"\"1\"x;\"open", ';', "tt", {"1", "open"}, true},
        {"1e999|1e-999|Na|inf", '|', "tntt", {"1e999", "1e-999", "Na", "inf"}, true},
        {"", ',', "m", {""}, false},
    };
    field_scan scan;
    for (const row& r : rows) {
        scan.scan(r.line, r.separator, 100);
        ASSERT_EQ(scan.fields(), std::string(r.kinds).size()) << r.line;
        for (std::uint32_t col = 1; col <= scan.fields(); ++col) {
            const field_kind kind = scan.kind(col);
            EXPECT_EQ(kind == field_kind::number    ? 'n'
                      : kind == field_kind::missing ? 'm'
                                                    : 't',
                      r.kinds[col - 1])
                << r.line << " field " << col;
            if (kind == field_kind::number) {
                EXPECT_EQ(scan.value(col), std::strtod(r.texts[col - 1].c_str(), nullptr))
                    << r.line << " field " << col;
            }
        }
        EXPECT_EQ(split_fields(r.line, r.separator), r.texts) << r.line;
        EXPECT_EQ(count_fields(r.line, r.separator), r.texts.size()) << r.line;
        for (std::uint32_t col = 1; col <= r.texts.size(); ++col) {
            EXPECT_EQ(field_text(r.line, r.separator, col), r.texts[col - 1]) << r.line;
            const auto first = std::find(r.texts.begin(), r.texts.end(), r.texts[col - 1]) - r.texts.begin() + 1;
            EXPECT_EQ(find_field(r.line, r.separator, r.texts[col - 1]), first) << r.line;
        }
        EXPECT_EQ(find_field(r.line, r.separator, "absent"), 0u) << r.line;
        EXPECT_EQ(is_header(r.line, r.separator), r.header) << r.line;
        scan.scan(r.line, r.separator, 1);
        EXPECT_EQ(scan.fields(), 1u) << "only the fields asked for: " << r.line;
    }
}

using DelimitedFile = reader_tests::ReaderTest;

// Named columns, missing values, --separator and the messages of a whole run: the case files under
// tests/cases/delimited. Here what a run does not show plainly.
TEST_F(DelimitedFile, HeaderNamesMissingValuesAndCompressedFiles)
{
    sort = 0;
    cols& c = mydata[0].cols;
    c.y_name = "level, m";
    const reader_tests::reading got =
        read_as("a.CSV", "z,\"level, m\",t\n# note\n3,2,1\n\n5,NA,4\n6,5,\n 9 , 8 ,7,NA\n");
    EXPECT_EQ(got.rows, 2u);
    EXPECT_TRUE(got.columns[0] == (std::vector<double>{3, 9}) && got.columns[1] == (std::vector<double>{2, 8}));
    EXPECT_EQ(got.block_starts, std::vector<std::size_t>{1}) << "the blank line ends a block";
    EXPECT_EQ(c.y, 2u);

    // A compressed file keeps the separator of the name before its compression suffix.
    c = {};
    for (const auto& [name, zstd] : {std::pair{"h.CSV.gz", false}, {"i.tsv.zst", true}}) {
        mydata[0].clear_rows();
        const auto packed = read_as(name, test_support::packed(zstd ? "t\tl\n4\t5\n" : "t,l\n4,5\n", zstd));
        EXPECT_EQ(packed.rows, 1u) << name;
        EXPECT_EQ(packed.columns[1], (std::vector<double>{5})) << name;
    }
}

} // namespace
