# Tavimo: `make demo` shows the magnifier at work, `make test` runs every test.
# Both install what is missing first (Debian, apt-get).

PRESETS := native native-asan fuzz win32

.PHONY: all plugin deps test demo run bench fuzz soak clean

all: plugin

deps:
	@bash scripts/install-deps.sh

plugin: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32
	@echo "built build/win32/quorvex.auf"

test: deps
	@set -e; for p in $(PRESETS); do \
	  echo "== $$p"; \
	  cmake --preset $$p >/dev/null; \
	  cmake --build --preset $$p; \
	  ctest --preset $$p; \
	done

demo: plugin
	@bash scripts/demo.sh

run: plugin
	@bash scripts/run.sh

# Timing table of the real DLL under Wine against the GDI work its picture
# requires (docs/PERFORMANCE.md); BREAKDOWN=1 adds where a large drag step's
# time goes and what drawings the plug-in does not use would cost.
BREAKDOWN ?=
bench: plugin
	@bash scripts/bench.sh $(if $(BREAKDOWN),--breakdown)

# 10,000 frames and 10,000 random interaction events; fails on growing GDI or
# USER objects or memory. SOAK_N and SOAK_SEED change the run.
SOAK_N ?= 10000
SOAK_SEED ?= 1
soak: plugin
	@bash scripts/bench.sh --soak $(SOAK_N) $(SOAK_SEED)

clean:
	rm -rf build out

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
