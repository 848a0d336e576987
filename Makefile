# A thin front for the CMake presets. `make test` and `make run` install what is missing first.
PRESETS := native native-sanitize win64 win32
JOBS ?= $(shell nproc)

.PHONY: all deps build test run screenshot clean $(addprefix build-,$(PRESETS))
.PHONY: fuzz build-fuzz

all: build

deps:
	@scripts/install-deps

build: $(addprefix build-,$(PRESETS))

$(addprefix build-,$(PRESETS)): build-%: deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -j $(JOBS)

# The x64 build carries every run-time test under Wine; the x86 build is inspected, not run (this
# machine's kernel runs no 32-bit code). Native tests come after the Windows builds, since they also
# judge the executables those builds made.
test: build
	ctest --preset native -j $(JOBS)
	ctest --preset native-sanitize -j $(JOBS)
	ctest --preset fuzz
	scripts/check-x86 build/win32
	scripts/with-xvfb ctest --preset win64 -j $(JOBS)

# The fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer). `make test` runs
# each over its checked-in seeds for a fixed number of inputs; `make fuzz` lets each search for
# FUZZ_SECONDS, keeping what it finds under build/fuzz/findings/.
FUZZ_TARGETS := classify_head replace fatal_note join
FUZZ_SECONDS ?= 60

test: build-fuzz

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

clean:
	rm -rf build
