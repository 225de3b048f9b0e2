# Two entry points that do all set-up on a fresh Debian 12 machine:
#   make run   - install missing packages, build the programs (not the tests), start the program
#   make test  - the same, then build and run every test
#   make test-sanitize - every test again under ASan and UBSan (build-sanitize/)
# and make install PREFIX=DIR (default /usr/local) to install the built tree.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

.PHONY: all deps configure build programs run test test-sanitize install bench clean

# What a user runs and what an install copies: the tests are built by `make test` only.
PROGRAMS = quillmark quillmark-cli rmsfit quillmark_manuals

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

programs: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target $(PROGRAMS)

run: programs
	./$(BUILD_DIR)/quillmark

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer, in a Debug build of its own
# (build-sanitize); without the GUI, whose Qt libraries would drown our reports in theirs. Any
# report fails the test that caused it.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUILLMARK_GUI=OFF \
	      -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_C_FLAGS="$(SANITIZE_FLAGS)" \
	      -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)"
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

install: programs
	cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

clean:
	rm -rf $(BUILD_DIR)

bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -DCMAKE_BUILD_TYPE=Release -DQUILLMARK_BENCH=ON \
	      -DQUILLMARK_GUI=OFF -DQUILLMARK_TESTS=OFF
	cmake --build $(BUILD_DIR)-bench -j $(JOBS) --target quillmark_bench quillmark-cli rmsfit floors
	./$(BUILD_DIR)-bench/bench/quillmark_bench
	python3 bench/g98_convert_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/data
	python3 bench/ev_extract_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/td-data
	python3 bench/tdm_fit_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench
	python3 bench/line_extract_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/line-data
	python3 bench/char_extract_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/char-data
	python3 bench/replace_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/replace-data
	python3 bench/mdcrd_strip_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/mdcrd-data
	python3 bench/mdcrd_strip_gz_bench.py $(BUILD_DIR)-bench/quillmark-cli /tmp/quillmark-bench-mdcrd-gz
	python3 bench/mdcrd_strip_netcdf_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/mdcrd-nc-data
	python3 bench/correlation_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/corr-data
	python3 bench/floors_bench.py $(BUILD_DIR)-bench/quillmark-cli $(BUILD_DIR)-bench/bench/floors \
	        $(BUILD_DIR)-bench/floors-data
