# SPDX-License-Identifier: MIT
# Glimmerdel: the two everyday commands are `make run` and `make test`.
# Both install what is missing (Debian packages, as root), configure and build first.

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
WIN_BUILD ?= build-win
FUZZ_BUILD ?= build-fuzz
CMAKE_FLAGS ?=
SECONDS ?= 30

.PHONY: all deps configure build run test unit asan e2e fuzz analyse valgrind long-run bench \
	install uninstall clean format werror build-types deb package-test windows windows-test

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
# Our own checks treat every warning as an error (GLIMMERDEL_WERROR); the builds that users and
# packagers make are built as they would build them, warnings shown but not fatal: the package's
# Release build with GCC, and a Release build with clang.
test: werror
	$(MAKE) --no-print-directory unit asan e2e windows-test long-run valgrind fuzz analyse \
	    package-test build-types TYPES=clang:Release

werror: deps
	cmake -S . -B $(BUILD) -G Ninja -DGLIMMERDEL_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# A Release build of the program with GCC, as a packager makes it (`make build-types
# TYPES=all` builds every build type with GCC and with clang).
TYPES ?= gcc:Release
build-types: deps
	./scripts/build-types.sh $(TYPES)

unit: build
	cd $(BUILD) && ctest -L unit -j $(JOBS) --output-on-failure

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLIMMERDEL_SANITIZE=ON \
	    -DGLIMMERDEL_WERROR=ON $(CMAKE_FLAGS)

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target unit_tests
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest -L unit -j $(JOBS) --output-on-failure

e2e: build
	cd $(BUILD) && ctest -L e2e --output-on-failure

# The Windows program, cross-built with MinGW-w64 into $(WIN_BUILD): glimmerdel.scr,
# GlimmerdelEmail.exe, the settings file and the data folder, the zip file of that folder and
# the installer. The pictures come from the Linux build's painter.
$(WIN_BUILD)/build.ninja: | build
	@./scripts/install-deps.sh --windows
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DGLIMMERDEL_HOST_PAINTER=$(abspath $(BUILD))/art/glimmerdel-art $(CMAKE_FLAGS)

windows: build $(WIN_BUILD)/build.ninja
	@./scripts/install-deps.sh --windows
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The Windows build's unit tests and end-to-end tests under Wine; warnings are errors here.
windows-test: build $(WIN_BUILD)/build.ninja
	@./scripts/install-deps.sh --windows
	cmake -S . -B $(WIN_BUILD) -DGLIMMERDEL_WERROR=ON
	cmake --build $(WIN_BUILD) -j $(JOBS)
	cmake --build $(BUILD) -j $(JOBS) --target wine_e2e_tests
	./scripts/windows-test.sh $(BUILD) $(WIN_BUILD)

# The fuzz targets (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer), one after
# another, each for SECONDS seconds from its seeds and what earlier runs found:
# `make fuzz SECONDS=1800` for a long run.
$(FUZZ_BUILD)/build.ninja: | deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DGLIMMERDEL_SANITIZE=ON -DGLIMMERDEL_FUZZ=ON -DGLIMMERDEL_PROGRAM_ONLY=ON \
	    -DGLIMMERDEL_WERROR=ON $(CMAKE_FLAGS)

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

# Installs what was built (`make build` first, as yourself) under $(PREFIX) (and $(DESTDIR)):
# the program folder in lib/glimmerdel, the program in bin/ and as an xscreensaver hack, its
# xscreensaver settings, a man page, a desktop entry. It neither builds nor installs packages,
# so `sudo make install` runs nothing as root in the source tree but the copying.
install:
	@[ -x $(BUILD)/glimmerdel ] || { echo "nothing built in $(BUILD): run make (as yourself) first, then sudo make install"; exit 1; }
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package glimmerdel_<version>_amd64.deb, here: a Release build of the program
# (build-deb/) packed by CPack, its dependencies worked out by dpkg-shlibdeps.
DEB_BUILD ?= build-deb
deb: deps
	cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLIMMERDEL_PROGRAM_ONLY=ON \
	    -DGLIMMERDEL_DEB=ON $(CMAKE_FLAGS)
	cmake --build $(DEB_BUILD) -j $(JOBS)
	rm -f $(DEB_BUILD)/glimmerdel_*.deb
	cd $(DEB_BUILD) && cpack -G DEB
	cp $(DEB_BUILD)/glimmerdel_*_amd64.deb .
	@ls glimmerdel_*_amd64.deb

# The package inspected (its files, lintian, the AppStream file), installed with apt-get, run by
# the real xscreensaver, and removed again with nothing left behind.
package-test: deb build
	./scripts/package-test.sh $(BUILD)

# Removes what install put there (the user's own settings files stay).
uninstall:
	@[ -f $(BUILD)/install_manifest.txt ] || { echo "nothing was installed from $(BUILD)"; exit 1; }
	sed 's|^|$(DESTDIR)|' $(BUILD)/install_manifest.txt | xargs -d '\n' rm -f
	[ ! -f $(BUILD)/install_links.txt ] || sed 's|^|$(DESTDIR)|' $(BUILD)/install_links.txt | \
	    xargs -d '\n' rm -f
	rm -f $(BUILD)/install_links.txt
	rm -rf "$(DESTDIR)$(PREFIX)/lib/glimmerdel"
	-rmdir "$(DESTDIR)$(PREFIX)/libexec/xscreensaver" "$(DESTDIR)$(PREFIX)/share/xscreensaver/config" \
	    "$(DESTDIR)$(PREFIX)/share/metainfo" 2>/dev/null

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD) build-types $(DEB_BUILD) glimmerdel_*.deb
