# A thin front for the CMake presets. `make test` and `make run` install what is missing first.
PRESETS := native native-sanitize win64 win32
JOBS ?= $(shell nproc)

.PHONY: all deps build test run screenshot release bench clean $(addprefix build-,$(PRESETS))
.PHONY: fuzz build-fuzz

all: build

deps:
	@scripts/install-deps

build: $(addprefix build-,$(PRESETS))

$(addprefix build-,$(PRESETS)): build-%: deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -j $(JOBS)

# Every preset's tests, after every build: the native unit tests judge the executables that the
# Windows builds made, and each Windows build's tests read the other's. Both Windows builds run every
# test under Wine, the x86 one on Wine's 32-bit side; the fuzz targets replay their seeds. All of
# them run even when one fails, and any failure fails `make test`, named at the end.
test: build build-fuzz
	@failed=""; \
	ctest --preset native -j $(JOBS) || failed="$$failed native"; \
	ctest --preset native-sanitize -j $(JOBS) || failed="$$failed native-sanitize"; \
	ctest --preset fuzz || failed="$$failed fuzz"; \
	scripts/check-x86 build/win32 || failed="$$failed check-x86"; \
	scripts/with-xvfb ctest --preset win64 -j $(JOBS) || failed="$$failed win64"; \
	scripts/with-xvfb ctest --preset win32 -j $(JOBS) || failed="$$failed win32"; \
	if [ -n "$$failed" ]; then echo "make test: failed:$$failed" >&2; exit 1; fi; \
	echo "make test: native, native-sanitize, fuzz, win64 and win32 passed"

# The fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer). `make test` runs
# each over its checked-in seeds for a fixed number of inputs; `make fuzz` lets each search for
# FUZZ_SECONDS, keeping what it finds under build/fuzz/findings/.
FUZZ_TARGETS := classify_head replace fatal_note join
FUZZ_SECONDS ?= 60

build-fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

fuzz: build-fuzz
	@set -e; for target in $(FUZZ_TARGETS); do \
	    echo "fuzz: $$target for $(FUZZ_SECONDS) s"; \
	    dict=tests/fuzz/$$target.dict; [ -f $$dict ] && dict=-dict=$$dict || dict=; \
	    PEBITNESS_FUZZ_OUT=build/fuzz/findings/$$target tests/fuzz/run-fuzzer \
	        build/fuzz/tests/fuzz/$${target}_fuzzer tests/fuzz/corpus/$$target \
	        -max_total_time=$(FUZZ_SECONDS) $$dict; \
	done

run: build-win64
	scripts/run-app

screenshot: build-win64
	scripts/run-app --screenshot docs/screenshot.png

# dist/: the x86 and x64 executables, exactly as built (and as the end-to-end tests run them), and
# their SHA256SUMS.
release: deps
	@JOBS=$(JOBS) scripts/release

# The benchmark table: ratios against floors measured side by side, dated and naming the machine.
bench: deps
	@JOBS=$(JOBS) scripts/bench

clean:
	rm -rf build dist
