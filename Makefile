# Tavimo: `make demo` shows the magnifier at work, `make test` runs every test.
# Both install what is missing first (Debian, apt-get).

PRESETS := native native-asan fuzz win32

.PHONY: all plugin deps test format lint demo run dist bench fuzz soak hands mutate clean distclean

all: plugin

deps:
	@bash scripts/install-deps.sh

plugin: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32
	@echo "built build/win32/quorvex.auf"

# One Wine session (one display, one Wine server booted once) for every Wine
# run of the suites (scripts/wine-run).
test: deps
	@bash scripts/wine-run --session bash scripts/test.sh $(PRESETS)

# clang-format over our C++ files (.clang-format); CHECK=1 only names the files
# it would change and fails (`make test` runs that as the ctest `format`).
CHECK ?=
format:
	@bash scripts/format.sh $(if $(CHECK),--check)

# clang-tidy (.clang-tidy) over the compile commands of the native and win32
# builds (configured, not built); `make test` runs it as the ctest `lint`.
lint: deps
	@cmake --preset native >/dev/null && cmake --preset win32 >/dev/null
	@bash scripts/lint.sh build/native && bash scripts/lint.sh build/win32

# Prints what it does and the pictures' paths.
demo: deps
	@bash scripts/wine-run --session bash scripts/demo.sh

run: deps
	@bash scripts/run.sh

# The release zip a user downloads, and its SHA-256: dist/tavimo-r10.zip.
dist: deps
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 --target dist >/dev/null
	@rm -rf dist && mkdir -p dist && cp build/win32/dist/*.zip build/win32/dist/*.zip.sha256 dist/
	@cd dist && for f in *.zip *.zip.sha256; do echo "dist/$$f"; done && cat *.zip.sha256

# Timing table of the real DLL under Wine against the work its design requires
# (docs/PERFORMANCE.md); BREAKDOWN=1 adds where a large drag step's time goes
# and what drawings the plug-in does not use would cost; TINY=1 times one small
# frame a few times (a check that the bench runs, not figures).
BREAKDOWN ?=
TINY ?=
bench: plugin
	@bash scripts/bench.sh $(if $(TINY),--tiny,$(if $(BREAKDOWN),--breakdown))

# 10,000 frames and 10,000 random interaction events; fails on growing GDI or
# USER objects or memory. SOAK_N and SOAK_SEED change the run.
SOAK_N ?= 10000
SOAK_SEED ?= 1
soak: plugin
	@bash scripts/bench.sh --soak $(SOAK_N) $(SOAK_SEED)

# The real-input monkey: N random gestures through the X server while the host
# plays a folder of frames (make test runs a short one as e2e.hands.monkey).
# ATTEMPTS=2 allows a second run when a loaded machine loses an event.
N ?= 10000
SEED ?= 1
ATTEMPTS ?= 1
hands: plugin
	bash scripts/wine-run --session python3 tests/hands/hands.py --wine-run scripts/wine-run \
	  --refhost build/win32/refhost.exe --out build/win32/hands-long \
	  --folder tests/e2e/images/sequence --monkey $(N) --seed $(SEED) --attempts $(ATTEMPTS)

# Mutation testing of the plug-in's code against the fast native tests
# (docs/TESTING.md): every mutant, or a seeded sample with MUTANTS=N SEED=S.
MUTANTS ?= 0
mutate: deps
	@python3 tools/mutate.py --mutants $(MUTANTS) --seed $(SEED)

# The shared Wine prefix (scripts/wine-run) serves every clone: clean keeps it,
# distclean stops its shared session and make run's, and removes both prefixes.
clean:
	rm -rf build out

distclean: clean
	@bash scripts/wine-run --stop
	@bash scripts/wine-run --window --stop
	prefix="$${TAVIMO_WINEPREFIX:-$${XDG_CACHE_HOME:-$$HOME/.cache}/tavimo/wineprefix}" && \
	  rm -rf "$$prefix" "$$prefix.session" "$$prefix"-window-*

# A long fuzz run (FUZZ_SECONDS, default one hour) that adds what it finds to a
# scratch corpus under build/fuzz; copy real findings into tests/fuzz/corpus.
FUZZ_SECONDS ?= 3600
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	mkdir -p build/fuzz/long-corpus
	build/fuzz/tests/fuzz/host_stream_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=512 -print_final_stats=1 \
	  -artifact_prefix=build/fuzz/ \
	  build/fuzz/long-corpus tests/fuzz/corpus
