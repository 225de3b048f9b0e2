/* The floors the excited-state extraction is measured against: what the hardware and the
 * decompression libraries need for the same files in one process, with nothing parsed.
 *
 *   floors read       FILE...   each file read whole into one reused buffer
 *   floors read2      FILE...   the same in two threads of one process, each reading every
 *                               other file into its own buffer: what a second core gains
 *                               in reading alone
 *   floors zlib       FILE...   gzip files inflated by zlib with one reused inflate state
 *   floors libdeflate FILE...   gzip files decompressed whole by libdeflate, one reused
 *                               decompressor and output buffer
 *   floors zstd       FILE...   zstd files decompressed by one reused context
 *   floors rewrite    FILE...   each file read whole and written again as a new file beside
 *                               it, renamed over it: what writing the extraction's outputs
 *                               (a temporary file and a rename each) costs at the least
 *
 * Prints the bytes of data it ended with, so nothing can be optimised away and the caller can
 * check that every file was read. Exits 1 on any failure.
 */
#include <fcntl.h>
#include <libdeflate.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#include <zstd.h>

static unsigned char* in_buf;
static size_t in_cap;
static unsigned char* out_buf;
static size_t out_cap;

static void fail(const char* what, const char* path) {
    fprintf(stderr, "floors: %s: %s\n", path, what);
    exit(1);
}

static void* grow(void* buffer, size_t* capacity, size_t need) {
    if (need <= *capacity)
        return buffer;
    size_t cap = *capacity ? *capacity : 1 << 16;
    while (cap < need)
        cap *= 2;
    buffer = realloc(buffer, cap);
    if (!buffer)
        fail("out of memory", "-");
    *capacity = cap;
    return buffer;
}

/* The whole file into *buf (of *cap bytes, grown as needed); its length. */
static size_t read_into(const char* path, unsigned char** buf, size_t* cap) {
    int fd = open(path, O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
        fail("cannot open", path);
    *buf = grow(*buf, cap, (size_t)st.st_size + 1);
    size_t got = 0;
    for (;;) {
        ssize_t n = read(fd, *buf + got, *cap - got);
        if (n < 0)
            fail("read error", path);
        if (n == 0)
            break;
        got += (size_t)n;
        if (got == *cap)
            *buf = grow(*buf, cap, *cap + 1);
    }
    close(fd);
    return got;
}

/* The whole file into in_buf; its length. */
static size_t read_whole(const char* path) {
    return read_into(path, &in_buf, &in_cap);
}

/* One of the two readers of read2: files first, first + 2, ... */
struct reader {
    char** files;
    int count;
    int first;
    uint64_t total;
};

static void* read_every_other(void* argument) {
    struct reader* r = argument;
    unsigned char* buf = NULL;
    size_t cap = 0;
    for (int i = r->first; i < r->count; i += 2)
        r->total += read_into(r->files[i], &buf, &cap);
    free(buf);
    return NULL;
}

static uint64_t read_in_two_threads(char** files, int count) {
    struct reader readers[2] = {{files, count, 0, 0}, {files, count, 1, 0}};
    pthread_t second;
    if (pthread_create(&second, NULL, read_every_other, &readers[1]) != 0)
        fail("pthread_create", "-");
    read_every_other(&readers[0]);
    pthread_join(second, NULL);
    return readers[0].total + readers[1].total;
}

static uint64_t zlib_file(z_stream* z, const char* path) {
    size_t len = read_whole(path);
    uint64_t total = 0;
    out_buf = grow(out_buf, &out_cap, 1 << 20);
    z->next_in = in_buf;
    z->avail_in = (uInt)len;
    while (z->avail_in > 0) { /* every member */
        if (inflateReset2(z, 31) != Z_OK)
            fail("inflateReset2", path);
        int rc;
        do {
            z->next_out = out_buf;
            z->avail_out = (uInt)out_cap;
            rc = inflate(z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END)
                fail("inflate", path);
            total += out_cap - z->avail_out;
        } while (rc != Z_STREAM_END);
    }
    return total;
}

static uint64_t libdeflate_file(struct libdeflate_decompressor* d, const char* path) {
    size_t len = read_whole(path);
    if (len < 18)
        fail("not gzip", path);
    /* ISIZE, the last four bytes: the data's length modulo 2^32 (one member) */
    size_t isize = (size_t)in_buf[len - 4] | (size_t)in_buf[len - 3] << 8 |
                   (size_t)in_buf[len - 2] << 16 | (size_t)in_buf[len - 1] << 24;
    out_buf = grow(out_buf, &out_cap, isize + 1);
    size_t used_in = 0, out = 0;
    if (libdeflate_gzip_decompress_ex(d, in_buf, len, out_buf, out_cap, &used_in, &out) !=
        LIBDEFLATE_SUCCESS)
        fail("libdeflate_gzip_decompress_ex", path);
    return out;
}

static uint64_t zstd_file(ZSTD_DCtx* d, const char* path) {
    size_t len = read_whole(path);
    unsigned long long size = ZSTD_getFrameContentSize(in_buf, len);
    if (size == ZSTD_CONTENTSIZE_ERROR || size == ZSTD_CONTENTSIZE_UNKNOWN)
        fail("zstd frame size", path);
    out_buf = grow(out_buf, &out_cap, (size_t)size + 1);
    size_t out = ZSTD_decompressDCtx(d, out_buf, out_cap, in_buf, len);
    if (ZSTD_isError(out))
        fail(ZSTD_getErrorName(out), path);
    return out;
}

/* The file written again through a new file renamed over it; its length. */
static size_t rewrite_file(const char* path) {
    size_t len = read_whole(path);
    char temporary[4096];
    if (snprintf(temporary, sizeof temporary, "%s.floors-tmp", path) >= (int)sizeof temporary)
        fail("name too long", path);
    int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("cannot create", temporary);
    for (size_t done = 0; done < len;) {
        ssize_t n = write(fd, in_buf + done, len - done);
        if (n <= 0)
            fail("write error", temporary);
        done += (size_t)n;
    }
    if (close(fd) != 0 || rename(temporary, path) != 0)
        fail("cannot put in place", path);
    return len;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: floors read|read2|zlib|libdeflate|zstd|rewrite FILE...\n");
        return 1;
    }
    const char* mode = argv[1];
    uint64_t total = 0;
    z_stream z;
    memset(&z, 0, sizeof z);
    struct libdeflate_decompressor* ld = NULL;
    ZSTD_DCtx* zd = NULL;
    if (strcmp(mode, "zlib") == 0 && inflateInit2(&z, 31) != Z_OK)
        fail("inflateInit2", "-");
    if (strcmp(mode, "libdeflate") == 0 && !(ld = libdeflate_alloc_decompressor()))
        fail("libdeflate_alloc_decompressor", "-");
    if (strcmp(mode, "zstd") == 0 && !(zd = ZSTD_createDCtx()))
        fail("ZSTD_createDCtx", "-");
    if (strcmp(mode, "read2") == 0) {
        printf("%llu\n", (unsigned long long)read_in_two_threads(argv + 2, argc - 2));
        return 0;
    }
    for (int i = 2; i < argc; ++i) {
        if (strcmp(mode, "read") == 0)
            total += read_whole(argv[i]);
        else if (strcmp(mode, "zlib") == 0)
            total += zlib_file(&z, argv[i]);
        else if (strcmp(mode, "libdeflate") == 0)
            total += libdeflate_file(ld, argv[i]);
        else if (strcmp(mode, "zstd") == 0)
            total += zstd_file(zd, argv[i]);
        else if (strcmp(mode, "rewrite") == 0)
            total += rewrite_file(argv[i]);
        else
            fail("unknown mode", mode);
    }
    printf("%llu\n", (unsigned long long)total);
    return 0;
}
