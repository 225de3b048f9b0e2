// The layer every tool reads and writes through: lines and fields of text, number forms, run
// errors. Results are compared as one text each, so a table of cases is one expected string.
#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/text.h"
#include "platform/val.h"

#include "support/as_text.h"
#include "support/td_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <new>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace qm {
namespace {

using test::each;
using test::error_of;

// Every line the reader gives, each followed by '|', or the run error the reading ends in.
template <class Source> std::string read_all(Source&& source, last_line rule) {
    std::string lines;
    const std::string error = error_of([&] {
        line_reader reader(source, rule);
        for (std::string line; reader.next(line);)
            lines += line + "|";
    });
    return error == "no error" ? lines : error;
}

TEST(LineReader, LinesKeepTheirCarriageReturnWholeHoweverLongUnterminatedLastByRule) {
    const auto must = last_line::must_end_with_lf;
    EXPECT_EQ(read_all(std::istringstream("a\r\nb\n\n"), must), "a\r|b||");
    EXPECT_EQ(read_all(std::istringstream(""), must), "");
    EXPECT_EQ(read_all(std::istringstream("a\nlast"), last_line::may_end_without_lf), "a|last|");
    EXPECT_EQ(read_all(std::istringstream("a\nlast"), must), "62 Input past end of file");
    // Lines longer than the reader's buffer; positions past each line feed.
    std::istringstream in(std::string(200000, 'x') + "\nshort\n");
    line_reader reader(in, last_line::must_end_with_lf);
    std::string read;
    for (std::string line; reader.next(line);)
        read += line.substr(0, 5) + " " + std::to_string(line.size()) + " @" +
                std::to_string(reader.position()) + "|";
    EXPECT_EQ(read, "xxxxx 200000 @200001|short 5 @200007|");
}

TEST(LineReader, OpenFailuresNameTheCause) {
    test::temp_dir dir;
    const auto may = last_line::may_end_without_lf;
    EXPECT_EQ(read_all(dir / "missing.xyz", may), "53 File not found [missing.xyz]");
    EXPECT_EQ(read_all(dir / "no-folder" / "x.xyz", may), "76 Path not found [x.xyz]");
    EXPECT_EQ(read_all(dir.path(), may).substr(0, 25), "75 Path/File access error");
    EXPECT_EQ(read_all(std::filesystem::path(), may).substr(0, 25), "75 Path/File access error");
}

// Whatever a file is called, its first bytes say how it is read; outputs of other tools come
// in every one of these forms. A damaged or ambiguous one is refused, naming it.
TEST(CompressedInput, EachFormReadsAsItsTextOrIsRefusedNamingTheFile) {
    test::temp_dir dir;
    const std::string text = "first line\nsecond\n";
    test::write_file(dir / "plain", text);
    test::write_compressed(dir / "gz", text, archive_write_add_filter_gzip);
    test::write_compressed(dir / "bz2", text, archive_write_add_filter_bzip2);
    test::write_compressed(dir / "xz", text, archive_write_add_filter_xz);
    test::write_compressed(dir / "zst", text, archive_write_add_filter_zstd);
    test::write_zip(dir / "zip", text);
    for (const char* name : {"plain", "gz", "bz2", "xz", "zst", "zip"}) {
        EXPECT_EQ(read_all(dir / name, last_line::must_end_with_lf), "first line|second|") << name;
        EXPECT_EQ(open_input(dir / name)->compressed(), std::string(name) != "plain") << name;
    }
    // Progress runs over the stored file, never beyond it.
    line_reader reader(dir / "gz", last_line::must_end_with_lf);
    for (std::string line; reader.next(line);)
        EXPECT_LE(reader.position(), file_length(dir / "gz"));

    test::write_file(dir / "padded", test::read_file(dir / "gz") + std::string(512, '\0'));
    test::write_zip_entries(dir / "run.zip", {{"run/", ""},
                                              {"run/README.txt", "how this was made\n"},
                                              {"__MACOSX/run/._gap1.log", "fork"},
                                              {"run/gap1.log", "the output\n"}});
    test::write_zip_entries(dir / "two.zip", {{"a.log", "a\n"}, {"b.log", "b\n"}, {"c.log", ""}});
    test::write_zip_entries(dir / "empty.zip", {{"only/", ""}});
    const std::string xz = test::read_file(dir / "xz");
    test::write_file(dir / "cut.xz", xz.substr(0, xz.size() / 2));
    test::write_compressed(dir / "bomb.gz", std::string(max_line_bytes + 1, 'x'),
                           archive_write_add_filter_gzip);
    const std::string zip = "75 Path/File access error - the zip archive " + dir.path().string();
    const std::pair<const char*, std::string> cases[] = {
        // readsGzipWithTrailingZeroPadding: gzip itself reads past the zeros a tape leaves.
        {"padded", "first line|second|"},
        // takesTheOneFileOfAZipWhoseFirstEntriesAreAFolderAndAReadme
        {"run.zip", "the output|"},
        // refusesAZipOfSeveralFilesNamingIt
        {"two.zip", zip + "/two.zip holds several files (a.log, b.log, ...): cannot tell which "
                          "one to read [two.zip]"},
        {"empty.zip", zip + "/empty.zip holds no file to read [empty.zip]"},
        // DamagedDataIsAnErrorNeverAShortText
        {"cut.xz", "75 Path/File access error - cannot decompress [cut.xz]"},
        // refusesALineLongerThan16MBInsteadOfHoldingTheFile: a file without line feeds (a core
        // dump, a decompression bomb) must not take the machine's memory.
        {"bomb.gz",
         "14 Out of string space - more than 16 MB in one line (not a text file?) [bomb.gz]"},
    };
    for (const auto& [file, read] : cases)
        EXPECT_EQ(read_all(dir / file, last_line::may_end_without_lf), read) << file;
}

TEST(WholeInput, refusesMoreThanItsLimitOfDecompressedText) {
    test::temp_dir dir;
    test::write_compressed(dir / "bomb.gz", std::string(3 << 20, '\0'),
                           archive_write_add_filter_gzip);
    std::string text;
    input_stream in(dir / "bomb.gz");
    EXPECT_EQ(error_of([&] { read_whole_input(in, text, 1 << 20); }),
              "14 Out of string space - more than 1 MB of text in one file [bomb.gz]");
    EXPECT_LT(text.capacity(), std::size_t{2} << 20); // held no more than the limit
    input_stream again(dir / "bomb.gz");
    read_whole_input(again, text, 3 << 20);
    EXPECT_EQ(text, std::string(3 << 20, '\0'));
}

TEST(DataLineReader, CrLfLfAndCrEndLinesAlikeAndLoseNoCharacter) {
    // Each line as "<text>@<position>," ('~' before the '@' when it has no end), each data '|'.
    auto data_lines = [](const char* data) {
        std::istringstream in(data);
        data_line_reader reader(in);
        std::string t;
        for (std::string line; reader.next(line);)
            t +=
                line + (reader.line_ended() ? "@" : "~@") + std::to_string(reader.position()) + ",";
        return t;
    };
    // Empty lines are lines; a CR LF pair is one end, an LF CR pair two.
    EXPECT_EQ(each(data_lines, {"ab\r\ncd\r\n", "ab\ncd\n", "ab\rcd\r", "a\rb\r\nc\nd", "\r\n\n\r",
                                "a\r\r", ""}),
              "ab@4,cd@8,|ab@3,cd@6,|ab@3,cd@6,|a@2,b@5,c@7,d~@8,|@2,@3,@4,|a@2,@3,||");
}

TEST(BlankFields, RunsOfBlanksSeparateAndBlanksAtTheEndsGiveOneEmptyFieldEach) {
    // Each line's fields, each followed by ','; the last of one character included; only
    // blanks separate.
    auto fields = [](const char* line) {
        std::string text;
        for (const std::string_view field : blank_fields(line))
            text.append(field).append(",");
        return text;
    };
    EXPECT_EQ(each(fields,
                   {"10 20 3", "7", "a   b", " a b", "   a", "a b ", "a b   ", "", "   ", "a\tb"}),
              "10,20,3,|7,|a,b,|,a,b,|,a,|a,b,,|a,b,,|,|,,|a\tb,|");
    EXPECT_EQ(split_fields("  a  bb\tc ").size(), 2u);
    EXPECT_EQ(split_fields("  a  bb\tc ", " \t").size(), 3u);
    EXPECT_EQ(each(trim_blanks, {"  freqgap ", "   "}), "freqgap||");
}

TEST(FindIgnoringCase, LettersInAnyCase) {
    const std::string text = "xx SCF Done:  E(RHF) ... scf done: again";
    EXPECT_EQ(find_ignoring_case(text, "scf done: "), 3u);
    EXPECT_EQ(find_ignoring_case(text, "SCF DONE: ", 4), 25u);
    EXPECT_EQ(find_ignoring_case(text, "again", text.size() - 4), std::string_view::npos);
    EXPECT_EQ(find_ignoring_case("aaab", "aab"), 1u); // a partial match does not skip it
    EXPECT_EQ(find_ignoring_case("short", "much longer key"), std::string_view::npos);
}

// The general form: 15 or 7 significant digits and the classic exponent; the print form adds a
// blank for plus and one after; a pattern fixes the decimals.
TEST(NumberForms, GeneralPrintAndPatternForms) {
    // 9999999999999999 rounds to 15 digits into the next power of ten.
    EXPECT_EQ(
        each(text_form, {5.31743661705722E+15, -33592.4528073, 0.5, -0.25, 6.02213665167516E+26,
                         0.0, -0.0, 1E15, 999999999999999.0, 9999999999999999.0, 0.0001, 0.00001,
                         -1.5E-7, 1E-100, 0.1 + 0.2, 100.0, 123456789012345678.0, 2.0 / 3.0}),
        "5.31743661705722E+15|-33592.4528073|0.5|-0.25|6.02213665167516E+26|0|0|1E+15|"
        "999999999999999|1E+16|0.0001|1E-05|-1.5E-07|1E-100|0.3|100|1.23456789012346E+17|"
        "0.666666666666667|");
    EXPECT_EQ(
        each(text_form_single, {62.05833f, 1.0f / 3.0f, 9999999.0f, 10000000.0f, -0.0f, 0.00001f}),
        "62.05833|0.3333333|9999999|1E+07|0|1E-05|");
    EXPECT_EQ(each(print_form, {0.5, -0.25, -0.0, 2.0, 3.0}), " 0.5 |-0.25 | 0 | 2 | 3 |");
    EXPECT_EQ(print_form_single(62.05833f), " 62.05833 ");
    // A negative value that rounds to zero shows no sign.
    EXPECT_EQ(each([](double v) { return format_pattern(v, "##0.0000000"); },
                   {1.5, -0.123456789, 12345.6, 0.0, -0.00000001}),
              "1.5000000|-0.1234568|12345.6000000|0.0000000|0.0000000|");
    EXPECT_EQ(format_pattern(0.25, "#.00"), ".25");
    EXPECT_EQ(format_pattern(7.0, "000"), "007");
}

TEST(Val, LongestLeadingNumberAfterBlanksOrZeroAndOverflowWhenTooLarge) {
    auto read = [](const char* text) { return text_form(val(text)); };
    EXPECT_EQ(
        each(read, {".116262", "-.5",     "   42abc", "\t7",   "+3.5",      "1.5E+02", "1.5e-2x",
                    "2.5D+01", "2.5d-01", "3E",       "3E+",   "4.",        "",        "abc",
                    ".",       "-",       "- 5",      "1.2.3", "0.0000000", "12 34"}),
        "0.116262|-0.5|42|7|3.5|150|0.015|25|0.25|3|3|4|0|0|0|0|0|1.2|0|12|");
    // Too small for a double, however it is written, reads as 0; the largest double's own
    // printed form reads back as the largest double.
    const std::string tiny_written_long = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(each(read, {"1e-400", "-1e-400", tiny_written_long.c_str()}), "0|0|0|");
    EXPECT_EQ(val("1.79769313486232E+308"), std::numeric_limits<double>::max());
    // Too large is Overflow however written, even many digits before a small exponent.
    const std::string digits_before_small_exponent = "1" + std::string(400, '0') + "e-10";
    for (const std::string text :
         {"1e400", "1.79769313486233E+308", "-1e400", digits_before_small_exponent.c_str()})
        EXPECT_EQ(error_of([&] { val(text); }), "6 Overflow") << text;
}

TEST(WholeNumbers, StrictTextIsOneNumberInRangePastedTextGivesItsLeadingNumber) {
    EXPECT_DOUBLE_EQ(strict_double("  6  "), 6);
    EXPECT_DOUBLE_EQ(strict_double("-.5"), -0.5);
    for (const char* bad : {"", "  ", "C", "6x", "6 7", "1e"})
        EXPECT_EQ(error_of([&] { strict_double(bad); }), "13 Type mismatch") << bad;
    EXPECT_EQ(
        each([](const char* t) { return std::to_string(strict_long(t)); }, {"2.5", "3.5", "-2.5"}),
        "2|4|-2|");
    EXPECT_EQ(strict_integer("32767"), 32767);
    EXPECT_EQ(strict_whole("2.9"), 2);
    EXPECT_EQ(strict_whole("2147483647"), 2147483647);
    // wholeCountBeyond32BitsIsOverflowNotAWrappedInteger
    for (const auto& number : {"2147483648", "99999999999", "1e300"})
        EXPECT_EQ(error_of([&] { strict_whole(number); }), "6 Overflow") << number;
    EXPECT_EQ(error_of([] { strict_integer("32768"); }), "6 Overflow");
    EXPECT_EQ(error_of([] { strict_long("3000000000"); }), "6 Overflow");
    // Pasted texts that are not all digits give the leading number, rounded; large numbers
    // stay exact.
    EXPECT_EQ(each([](const char* t) { return std::to_string(whole_number_from_text(t)); },
                   {"", "000", "007", "4294967297", "18446744073709551615", "18446744073709551616",
                    " 2.5x", "-3", "abc"}),
              "0|0|7|4294967297|18446744073709551615|18446744073709551615|2|0|0|");
}

// The three forms, and the trap's number kept apart from a description that ends in a digit.
TEST(ErrorReport, TheThreeFormsAndATrapWithoutError) {
    const auto failure = [](const auto& e) { return std::make_exception_ptr(e); };
    const auto number = [](int n) { return std::make_exception_ptr(run_error::from_number(n)); };
    const std::tuple<report_form, std::exception_ptr, std::string, std::string> cases[] = {
        {report_form::short_form, number(53), "File not found", ""},
        {report_form::number_form, number(53), "File not found53", ""},
        {report_form::long_form, number(62), "Input past end of file",
         ".\r\nIs this definately a UNIX formated text file?"},
        {report_form::short_form, failure(run_error(0, "")), "", ""},
        {report_form::number_form, failure(std::bad_alloc()), "Out of memory7", ""},
        {report_form::number_form, failure(std::out_of_range("index 3 >= size 3")),
         "Internal error (index 3 >= size 3)51", ""}};
    for (const auto& [form, error, description, tail] : cases) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            EXPECT_EQ(error_report_text(form, as_run_error(e), "r"),
                      "Error (" + description + ") in (r) routine.\n\rReturning to main menu" +
                          tail);
        }
    }
}

TEST(OutputFile, FullDeviceIsDiskFull) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full on this machine";
    // The buffered write may succeed; the close must then report the lost bytes.
    EXPECT_EQ(error_of([] { write_whole_file("/dev/full", std::string(100000, 'x')); }),
              "61 Disk full [full]");
    EXPECT_EQ(error_of([] { write_whole_file("/dev/full", "tiny"); }), "61 Disk full [full]");
}

} // namespace
} // namespace qm
