// Opening an input: plain, compressed or zipped text, damaged or oversized input refused.
#include "platform/input_stream.h"
#include "platform/line_reader.h"
#include "platform/whole_file_reader.h"

#include "read_all.h"
#include "support/as_text.h"
#include "support/td_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <zstd.h>

namespace qm {
namespace {

using test::error_of;

// The text as it stands and in every compressed form, each file named after its form.
void write_every_form(const test::temp_dir& dir, const std::string& text) {
    test::write_file(dir / "plain", text);
    test::write_compressed(dir / "gz", text, archive_write_add_filter_gzip);
    test::write_compressed(dir / "bz2", text, archive_write_add_filter_bzip2);
    test::write_compressed(dir / "xz", text, archive_write_add_filter_xz);
    test::write_compressed(dir / "zst", text, archive_write_add_filter_zstd);
    test::write_zip(dir / "zip", text);
}

// Whatever a file is called, its first bytes say how it is read; outputs of other tools come
// in every one of these forms. A damaged or ambiguous one is refused, naming it.
TEST(CompressedInput, EachFormReadsAsItsTextOrIsRefusedNamingTheFile) {
    test::temp_dir dir;
    const std::string text = "first line\nsecond\n";
    write_every_form(dir, text);
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

// A damaged gzip file read as good data: every member's CRC-32 and length are checked, so a
// single flipped bit anywhere after the header (whose time stamp and flags carry no data) is an
// error naming the file, never a changed text.
TEST(CompressedInput, DamagedGzipIsRefusedNeverReadAsOtherData) {
    test::temp_dir dir;
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += " Excited State   " + std::to_string(i) + ":  Singlet-A  8.4709 eV\n";
    test::write_compressed(dir / "td.gz", text, archive_write_add_filter_gzip);
    const std::string good = test::read_file(dir / "td.gz");
    const std::string expected = read_all(dir / "td.gz", last_line::must_end_with_lf);
    int refused = 0;
    for (std::size_t byte = 10; byte < good.size(); byte += 7) {
        std::string bad = good;
        bad[byte] = static_cast<char>(bad[byte] ^ (1 << (byte % 8)));
        test::write_file(dir / "flip.gz", bad);
        const std::string read = read_all(dir / "flip.gz", last_line::may_end_without_lf);
        EXPECT_TRUE(read == expected || read.ends_with("[flip.gz]")) << "byte " << byte;
        refused += read != expected;
    }
    EXPECT_GT(refused, 0);
    // Members one after the other are one text; after the last one only zero bytes may follow.
    test::write_file(dir / "two.gz", good + good);
    EXPECT_EQ(read_all(dir / "two.gz", last_line::must_end_with_lf), expected + expected);
    std::string crc_flipped = good;
    crc_flipped[good.size() - 8] = static_cast<char>(crc_flipped[good.size() - 8] ^ 1);
    const std::string damaged = "75 Path/File access error - damaged gzip data (";
    const std::pair<std::string, std::string> cases[] = {
        {crc_flipped, "incorrect data check"},
        {good.substr(0, good.size() - 3), "the file ends inside the data"},
        {good + "garbage", "incorrect header check"},
        {good + std::string(10, '\0') + good, "data after the zero bytes that end it"},
    };
    for (const auto& [bytes, why] : cases) {
        test::write_file(dir / "case.gz", bytes);
        EXPECT_EQ(read_all(dir / "case.gz", last_line::must_end_with_lf),
                  damaged + why + ") [case.gz]");
    }
}

// Garbage read as text: binary data, or an archive inside another one, holds NUL bytes a text
// never has; the first block tells, and the file is refused naming it.
TEST(CompressedInput, DataWithNulBytesInItsFirstBlockIsNoText) {
    test::temp_dir dir;
    test::write_zip(dir / "inner.zip", "text\n");
    test::write_compressed(dir / "zip.gz", test::read_file(dir / "inner.zip"),
                           archive_write_add_filter_gzip);
    test::write_compressed(dir / "inner.gz", "text\n", archive_write_add_filter_gzip);
    test::write_zip(dir / "gz.zip", test::read_file(dir / "inner.gz"));
    test::write_file(dir / "garbage", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\nmore\n", 16));
    for (const char* name : {"zip.gz", "gz.zip", "garbage"})
        EXPECT_EQ(read_all(dir / name, last_line::may_end_without_lf),
                  "75 Path/File access error - not a text file (NUL bytes in its first block) [" +
                      std::string(name) + "]");
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

// One zstd frame that states the size of its data and ends with its checksum, as the zstd tool
// writes a file.
std::string zstd_frame(const std::string& text) {
    ZSTD_CCtx* context = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
    std::string frame(ZSTD_compressBound(text.size()), '\0');
    frame.resize(ZSTD_compress2(context, frame.data(), frame.size(), text.data(), text.size()));
    ZSTD_freeCCtx(context);
    return frame;
}

// The worker's own reader gives a file's data exactly as input_stream does, or declines the
// file and leaves it to input_stream: never other data, and nothing damaged read as good.
TEST(WholeFileReader, readsWhatInputStreamReadsOrDeclines) {
    test::temp_dir dir;
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += " Excited State   " + std::to_string(i) + ":  Singlet-A  8.4709 eV\r\n";
    write_every_form(dir, text);
    const std::string gz = test::read_file(dir / "gz");
    const std::string zst = test::read_file(dir / "zst");
    std::string crc_flipped = gz;
    crc_flipped[gz.size() - 8] = static_cast<char>(crc_flipped[gz.size() - 8] ^ 1);
    const std::string sized = zstd_frame(text);
    std::string sized_flipped = sized;
    sized_flipped[sized.size() / 2] = static_cast<char>(sized_flipped[sized.size() / 2] ^ 0x10);
    const std::pair<std::string, std::string> written[] = {
        {"two.gz", gz + gz},
        {"padded.gz", gz + std::string(512, '\0')},
        {"two.zst", zst + zst},
        {"crc.gz", crc_flipped},
        {"cut.gz", gz.substr(0, gz.size() - 3)},
        {"garbage.gz", gz + "garbage"},
        {"zeros-then-member.gz", gz + std::string(10, '\0') + gz},
        {"cut.zst", zst.substr(0, zst.size() - 3)},
        {"padded.zst", zst + std::string(512, '\0')},
        {"sized.zst", sized},
        {"two-sized.zst", sized + sized},
        {"sized-then-streamed.zst", sized + zst},
        {"sized-cut.zst", sized.substr(0, sized.size() - 3)},
        {"sized-flipped.zst", sized_flipped},
        {"sized-padded.zst", sized + std::string(512, '\0')},
    };
    for (const auto& [name, bytes] : written)
        test::write_file(dir / name, bytes);
    using outcome = whole_file_reader::outcome;
    const std::pair<const char*, outcome> cases[] = {
        {"plain", outcome::plain},        {"gz", outcome::decompressed},
        {"zst", outcome::decompressed},   {"two.gz", outcome::decompressed},
        {"padded.gz", outcome::decompressed}, {"two.zst", outcome::decompressed},
        {"bz2", outcome::declined},       {"xz", outcome::declined},
        {"zip", outcome::declined},       {"crc.gz", outcome::declined},
        {"cut.gz", outcome::declined},    {"garbage.gz", outcome::declined},
        {"zeros-then-member.gz", outcome::declined}, {"cut.zst", outcome::declined},
        {"padded.zst", outcome::declined}, {"missing", outcome::declined},
        {"sized.zst", outcome::decompressed}, {"two-sized.zst", outcome::decompressed},
        {"sized-then-streamed.zst", outcome::decompressed},
        {"sized-cut.zst", outcome::declined}, {"sized-flipped.zst", outcome::declined},
        {"sized-padded.zst", outcome::declined},
    };
    whole_file_reader reader;
    std::string read;
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(reader.read(dir / name, read, max_text_bytes), expected) << name;
        if (expected == outcome::declined)
            continue;
        std::string streamed;
        input_stream in(dir / name);
        read_whole_input(in, streamed);
        EXPECT_EQ(read, streamed) << name;
    }
    // A single flipped bit anywhere in a gzip file: declined, or (a time stamp, a flag) the
    // same text.
    for (std::size_t byte = 4; byte < gz.size(); byte += 3) {
        std::string bad = gz;
        bad[byte] = static_cast<char>(bad[byte] ^ (1 << (byte % 8)));
        test::write_file(dir / "flip.gz", bad);
        const outcome seen = reader.read(dir / "flip.gz", read, max_text_bytes);
        EXPECT_TRUE(seen == outcome::declined || read == text) << "byte " << byte;
    }
}

TEST(WholeFileReader, refusesMoreThanItsLimitOfDecompressedText) {
    test::temp_dir dir;
    test::write_compressed(dir / "bomb.gz", std::string(3 << 20, 'x'),
                           archive_write_add_filter_gzip);
    test::write_compressed(dir / "bomb.zst", std::string(3 << 20, 'x'),
                           archive_write_add_filter_zstd);
    test::write_file(dir / "sized-bomb.zst", zstd_frame(std::string(3 << 20, 'x')));
    test::write_file(dir / "long", std::string((1 << 20) + 1, 'x'));
    whole_file_reader reader;
    for (const char* name : {"bomb.gz", "bomb.zst", "sized-bomb.zst"}) {
        std::string text;
        EXPECT_EQ(error_of([&] { reader.read(dir / name, text, 1 << 20); }),
                  "14 Out of string space - more than 1 MB of text in one file [" +
                      std::string(name) + "]");
        EXPECT_LT(text.capacity(), std::size_t{2} << 20) << name; // held no more than the limit
        EXPECT_EQ(reader.read(dir / name, text, 3 << 20), whole_file_reader::outcome::decompressed);
        EXPECT_EQ(text, std::string(3 << 20, 'x')) << name;
    }
    // A plain file beyond the limit is left to input_stream, which says so as it reads.
    std::string text;
    EXPECT_EQ(reader.read(dir / "long", text, 1 << 20), whole_file_reader::outcome::declined);
}

// One reader and one text for files of every size and form one after the other, as a worker
// reads a series: each is read whole, however long the one before (the buffers pass between
// the text and the reader, keeping their lengths).
TEST(WholeFileReader, filesOfEverySizeAndFormOneAfterTheOther) {
    test::temp_dir dir;
    const std::pair<std::size_t, const char*> files[] = {
        {100000, "plain"}, {0, "plain"},   {1, "gz"},       {70000, "zst"}, {4096, "plain"},
        {4095, "gz"},      {150000, "gz"}, {3, "plain"},    {65536, "zst"}, {200000, "plain"},
        {10, "zst"},       {0, "gz"},      {99999, "plain"}};
    whole_file_reader reader;
    std::string text;
    int n = 0;
    for (const auto& [size, form] : files) {
        std::string data(size, ' ');
        for (std::size_t i = 0; i < size; ++i)
            data[i] = static_cast<char>('a' + (i * 7 + static_cast<std::size_t>(n)) % 26);
        const auto path = dir / ("f" + std::to_string(++n));
        if (std::string_view(form) == "plain")
            test::write_file(path, data);
        else
            test::write_compressed(path, data,
                                   std::string_view(form) == "gz" ? archive_write_add_filter_gzip
                                                                  : archive_write_add_filter_zstd);
        const auto expected = std::string_view(form) == "plain"
                                  ? whole_file_reader::outcome::plain
                                  : whole_file_reader::outcome::decompressed;
        EXPECT_EQ(reader.read(path, text, 1 << 20), expected) << n;
        EXPECT_EQ(text, data) << n << " " << form << " " << size;
    }
}

// The text keeps its length from the file before; a zstd stream (no size stated) whose data
// fill that length exactly ends there, rather than waiting for a frame after it.
TEST(WholeFileReader, zstdStreamFillingTheTextExactlyIsRead) {
    test::temp_dir dir;
    const std::string data(5000, 'x');
    test::write_file(dir / "plain", data);
    test::write_compressed(dir / "zst", data, archive_write_add_filter_zstd);
    whole_file_reader reader;
    std::string text;
    EXPECT_EQ(reader.read(dir / "plain", text, 1 << 20), whole_file_reader::outcome::plain);
    EXPECT_EQ(reader.read(dir / "zst", text, 1 << 20), whole_file_reader::outcome::decompressed);
    EXPECT_EQ(text, data);
}

} // namespace
} // namespace qm
