# A thin front for the CMake presets. `make test` and `make run` install what is missing first.
PRESETS := native native-sanitize win64 win32
JOBS ?= $(shell nproc)

.PHONY: all deps build test run screenshot clean $(addprefix build-,$(PRESETS))

all: build

deps:
	@scripts/install-deps

build: $(addprefix build-,$(PRESETS))

$(addprefix build-,$(PRESETS)): build-%: deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -j $(JOBS)

# Every preset's tests, after every build: the native unit tests judge the executables that the
# Windows builds made, and each Windows build's tests read the other's. Both Windows builds run every
# test under Wine, the x86 one on Wine's 32-bit side. All of them run even when one fails, and any
# failure fails `make test`, named at the end.
test: build
	@failed=""; \
	ctest --preset native -j $(JOBS) || failed="$$failed native"; \
	ctest --preset native-sanitize -j $(JOBS) || failed="$$failed native-sanitize"; \
	scripts/check-x86 build/win32 || failed="$$failed check-x86"; \
	scripts/with-xvfb ctest --preset win64 -j $(JOBS) || failed="$$failed win64"; \
	scripts/with-xvfb ctest --preset win32 -j $(JOBS) || failed="$$failed win32"; \
	if [ -n "$$failed" ]; then echo "make test: failed:$$failed" >&2; exit 1; fi; \
	echo "make test: native, native-sanitize, win64 and win32 passed"

run: build-win64
	scripts/run-app

screenshot: build-win64
	scripts/run-app --screenshot docs/screenshot.png

clean:
	rm -rf build
