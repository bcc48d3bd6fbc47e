# The two commands of the README: `make run` and `make test`. Both install
# what is missing, configure and build first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 20

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

# The suites whose code runs on more than one thread, also run under
# ThreadSanitizer.
TSAN_SUITES = store incoming transport mail search

.PHONY: all deps build build-asan build-tsan install uninstall package package-check run test test-fast test-tsan bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DSKFP_SANITIZE=ON -DSKFP_BENCH=OFF

$(TSAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKFP_TSAN=ON -DSKFP_GUI=OFF -DSKFP_BENCH=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(addprefix test_,$(TSAN_SUITES))

# Installs into PREFIX (default /usr/local) and registers the desktop entries
# for the user running it; AUTOSTART=1 also starts the client with the session.
PREFIX ?= /usr/local
AUTOSTART ?= 0
install: build
	SKFP_AUTOSTART=$(AUTOSTART) cmake --install $(BUILD) --prefix $(PREFIX)

# Takes away the files `make install` put into PREFIX (the list CMake kept
# in build/install_manifest.txt) and the links in PREFIX/bin. The user's
# own registrations go first, with skfp-uninstall.
uninstall:
	@[ -f $(BUILD)/install_manifest.txt ] || { echo "uninstall: nothing installed from $(BUILD)"; exit 1; }
	@while read -r f; do d=$$(dirname "$$f"); [ -w "$$d" ] || chmod u+w "$$d"; rm -fv "$$f"; \
	  case "$$f" in */lib/skiffpost/*) rm -fv "$${f%/lib/skiffpost/*}/bin/$${f##*/}";; esac; \
	  done < $(BUILD)/install_manifest.txt
	@sed -n 's#/lib/skiffpost/skfp-tool$$##p' $(BUILD)/install_manifest.txt | while read -r p; do \
	  rmdir -v "$$p/lib/skiffpost" "$$p/share/skiffpost" "$$p/share/doc/skiffpost" 2>/dev/null || true; done
	rm -f $(BUILD)/install_manifest.txt

# The Debian package, build/package/skiffpost_VERSION_ARCH.deb, from the
# programs of the plain build (only what the package holds is built), and
# its checks (scripts/check-package.sh: fields, contents, desktop entry,
# AppStream, lintian, the programs run from the unpacked package). Neither
# installs anything into the machine.
PACKAGE_TARGETS = skfp skfp-tool skfp-uninstall dictionary desktop_files
package: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target $(PACKAGE_TARGETS)
	rm -rf $(BUILD)/package
	cd $(BUILD) && cpack --config CPackConfig.cmake

package-check: package
	scripts/check-package.sh $(BUILD)

run: build
	$(BUILD)/skfp

# The suite runs whole under AddressSanitizer and UndefinedBehaviorSanitizer
# and its threaded parts under ThreadSanitizer; the package is made and
# checked from the programs of the plain build (its suite is not built:
# `make test-fast` runs the suite there); the ASan run comes last so that
# its CTest summary closes the output.
test: test-tsan package-check build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest -j $(JOBS) --output-on-failure --timeout 600

test-tsan: build-tsan
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest -j $(JOBS) --output-on-failure --timeout 600 -L '^($(subst $(eval) ,|,$(TSAN_SUITES)))$$'

# The plain build's suite alone, for a quick check while working.
test-fast: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 600

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DSKFP_GUI=ON -DBUILD_TESTING=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@set -e; for b in $(BENCH_BUILD)/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; "$$b"; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKFP_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@set -e; for f in $(FUZZ_BUILD)/fuzz/fuzz_*; do [ -x "$$f" ] || continue; \
	  name=$$(basename $$f); corpus=fuzz/corpus/$${name#fuzz_}; mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  "$$f" -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$name $$( [ -d $$corpus ] && echo $$corpus ); done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
