# Tavimo: `make demo` shows the magnifier at work, `make test` runs every test.
# Both install what is missing first (Debian, apt-get).

PRESETS := native native-asan win32

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

clean:
	rm -rf build out
