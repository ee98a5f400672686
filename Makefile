# Top-level entry: installs what is missing, builds the host side (core, unit
# tests, artwork) and the Windows side (quorvel.exe), and runs or tests them.
BUILD ?= build
HOST := $(BUILD)/host
WIN := $(BUILD)/win
JOBS ?= 2

.PHONY: all deps host win test unit fuzz e2e run bench dist clean

all: win

deps:
	@tools/install-deps.sh

host: deps
	cmake -S . -B $(HOST) -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(HOST) -j $(JOBS)

win: host
	cmake -S . -B $(WIN) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUORVEL_ARTWORK_DIR=$(abspath $(HOST))/artwork >/dev/null
	cmake --build $(WIN) -j $(JOBS)

unit: host
	ctest --test-dir $(HOST) -j $(JOBS) --output-on-failure

# The MP3 reader under libFuzzer for FUZZ_SECONDS on the committed corpus (new
# inputs go to the build folder); a crash, a hang or a sanitizer report fails.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake -S tests/fuzz -B $(BUILD)/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	mkdir -p $(BUILD)/fuzz/found $(BUILD)/fuzz/artifacts
	$(BUILD)/fuzz/mp3_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=5 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(BUILD)/fuzz/artifacts/ \
	    $(BUILD)/fuzz/found tests/fuzz/corpus 2>$(BUILD)/fuzz/log.txt \
	    || { tail -n 60 $(BUILD)/fuzz/log.txt; exit 1; }
	@grep -E '^Done [0-9]+ runs|stat::number_of_executed_units' $(BUILD)/fuzz/log.txt

# The whole suite on a Chinese Windows, as most users run it; the main roads
# again on an English one. The last line counts both.
E2E_LOCALES ?= --locale zh_CN --locale en_US=startup,clock,alarm.AlarmRoad,skin

e2e: win
	python3 tests/e2e/run_e2e.py $(WIN)/src/platform/win32/quorvel-e2e.exe \
	    $(WIN)/tests/e2e/driver/qdriver.exe $(BUILD) $(E2E_LOCALES)

test: unit fuzz e2e

bench: win
	@tools/install-deps.sh valgrind
	bench/run.sh $(BUILD)

run: win
	tools/run-clock.sh $(WIN)/src/platform/win32/quorvel.exe $(BUILD)

# The release zip, dist/quorvel-VERSION-win64.zip, the same bytes on every
# build of one commit.
dist: win
	python3 tools/make-dist.py $(WIN)/src/platform/win32 dist

clean:
	rm -rf $(BUILD)
