# A thin front for the CMake presets. `make test` and `make run` install what is missing first.
PRESETS := native native-sanitize win64 win32
JOBS ?= $(shell nproc)

.PHONY: all deps build test run screenshot release bench clean $(addprefix build-,$(PRESETS))

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
	scripts/check-x86 build/win32
	scripts/with-xvfb ctest --preset win64 -j $(JOBS)

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
