# SPDX-License-Identifier: GPL-3.0-or-later
# One command to start the program, one to pass every test; both install
# whatever Debian packages are missing first: building and running need fewer
# than the tests (scripts/install-deps.sh).
BUILD ?= build
JOBS ?= $(shell nproc)

# The second build of `make test`: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, plus the fuzz target. Any report ends the test
# that caused it, with a stack trace; leaks are reported too.
ASAN_BUILD ?= build-asan
SANITIZER_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_stacktrace=1 \
                UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# The tests of the real binary and of what gets installed (tests/) are
# registered in the normal build only.
# The on-demand fuzz run: `make fuzz FUZZ_SECONDS=3600`.
FUZZ_SECONDS ?= 600

# Which group of Debian packages `deps` installs: `build` for building and
# running, `test` when the tests or the sanitizer build come next.
DEPS ?= build

.PHONY: all deps build build-asan run test fuzz bundle bundle-test clean

all: build

deps:
	bash scripts/install-deps.sh $(DEPS)

test build-asan: DEPS = test
bundle bundle-test: DEPS = bundle

configure = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps
	$(configure)
	cmake --build $(BUILD) -j$(JOBS)

build-asan: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DDROBI_SANITIZE=ON -DDROBI_FUZZ=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

# The program alone: not the tests, nor the icons and manual page that
# installing needs.
run: deps
	$(configure)
	cmake --build $(BUILD) -j$(JOBS) --target drobi
	./$(BUILD)/drobi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	$(MAKE) --no-print-directory build-asan
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

# New inputs go to $(ASAN_BUILD)/fuzz/corpus-long; fuzz/corpus is only read.
fuzz: build-asan
	mkdir -p $(ASAN_BUILD)/fuzz/corpus-long
	$(SANITIZER_ENV) ./$(ASAN_BUILD)/fuzz/fuzz_answer -max_total_time=$(FUZZ_SECONDS) -max_len=1024 \
	  -artifact_prefix=$(ASAN_BUILD)/fuzz/ $(ASAN_BUILD)/fuzz/corpus-long fuzz/corpus

# The offline installation folder $(BUILD)/bundle: drobi's package, the Debian
# 12 packages a minimal system lacks, their index and install.sh. Needs root
# and Debian's mirror.
bundle: build
	bash scripts/make-bundle.sh $(BUILD)

# On demand, minutes: the bundle installed with no network into a fresh
# minimal Debian 12, and drobi started there.
bundle-test: deps
	bash scripts/test-bundle.sh $(BUILD)/bundle

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
