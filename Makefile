# Glimmerdel: the two everyday commands are `make run` and `make test`.
# Both install what is missing (Debian packages, as root), configure and build first.

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
CMAKE_FLAGS ?=
SECONDS ?= 30

.PHONY: all deps configure build run test unit asan e2e fuzz analyse valgrind long-run bench \
	install uninstall clean format

# One part after another, also under `make -j`: the end-to-end tests wait for what the program
# does, and the fuzzers or the sanitizer build beside them would only make every part slower.
.NOTPARALLEL:

PREFIX ?= /usr/local

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Runs the saver full screen from the build's program folder. Without a display it renders a
# still of the running scene instead.
run: build
	@if [ -n "$${DISPLAY:-}" ]; then \
	    cd $(BUILD) && ./glimmerdel /s; \
	else \
	    echo "No display (DISPLAY is not set): rendering a still of the scene instead."; \
	    $(BUILD)/glimmerdel-snapshot --size 1920x1080 --frames 150 --out $(BUILD)/glimmerdel.png && \
	    echo "Wrote $(BUILD)/glimmerdel.png"; \
	fi

# Every test: unit tests, the same unit tests under AddressSanitizer + UndefinedBehaviorSanitizer,
# the end-to-end tests under Xvfb, a million frames on the virtual clock, memcheck, every fuzz
# target for $(SECONDS) seconds, static analysis.
test: build
	$(MAKE) --no-print-directory unit asan e2e long-run valgrind fuzz analyse

unit: build
	cd $(BUILD) && ctest -L unit -j $(JOBS) --output-on-failure

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLIMMERDEL_SANITIZE=ON $(CMAKE_FLAGS)

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target unit_tests
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest -L unit -j $(JOBS) --output-on-failure

e2e: build
	cd $(BUILD) && ctest -L e2e --output-on-failure

# The fuzz targets (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer), one after
# another, each for SECONDS seconds from its seeds and what earlier runs found:
# `make fuzz SECONDS=1800` for a long run.
$(FUZZ_BUILD)/build.ninja: | deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DGLIMMERDEL_SANITIZE=ON -DGLIMMERDEL_FUZZ=ON -DGLIMMERDEL_PROGRAM_ONLY=ON $(CMAKE_FLAGS)

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	./scripts/run-fuzzers.sh $(FUZZ_BUILD) $(SECONDS)

# clang-tidy (checks in .clang-tidy) and cppcheck over our code; fails on any finding.
analyse: build
	./scripts/analyse.sh $(BUILD) $(JOBS)

# Memcheck over the snapshot tool (100 frames) and a settings dialog round trip under Xvfb.
valgrind: build
	./scripts/valgrind.sh $(BUILD)

# One million frames headless, across both wraps of the tick count; prints the figures.
long-run: build
	GLIMMERDEL_LONG_RUN_FRAMES=1000000 $(BUILD)/tests/scene_tests --gtest_filter='LongRun.*'

# Micro benchmarks, the frame and the set-up headless, and the whole process under Xvfb beside
# its peer xsnow; prints the table of the README's Performance section. Never fails on a figure.
bench: build
	@./scripts/install-deps.sh --bench
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	./bench/run-all.sh $(BUILD)

# Installs under $(PREFIX) (and $(DESTDIR)): the program folder in lib/glimmerdel, the program
# in bin/ and as an xscreensaver hack, its xscreensaver settings, a man page, a desktop entry.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Removes what install put there (the user's own settings files stay).
uninstall:
	@[ -f $(BUILD)/install_manifest.txt ] || { echo "nothing was installed from $(BUILD)"; exit 1; }
	xargs -d '\n' rm -f < $(BUILD)/install_manifest.txt
	[ ! -f $(BUILD)/install_links.txt ] || xargs -d '\n' rm -f < $(BUILD)/install_links.txt
	rm -f $(BUILD)/install_links.txt
	rm -rf "$(DESTDIR)$(PREFIX)/lib/glimmerdel"
	-rmdir "$(DESTDIR)$(PREFIX)/libexec/xscreensaver" "$(DESTDIR)$(PREFIX)/share/xscreensaver/config" 2>/dev/null

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
