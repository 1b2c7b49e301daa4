# Task runner. `make test` and `make demo` install what they need, build, and run.
SHELL := /bin/bash
.DEFAULT_GOAL := test
JOBS ?= 2
FUZZ_SECONDS ?= 60
# The region of the program and library laid out in build/win32/dist.
REGION ?= KR
CMAKE_CONFIGURE = cmake -G Ninja -S . -Wno-dev

.PHONY: deps setup-test native sanitize win32 wine-build test unit sanitize-test fuzz imports dist dist-check \
  wine-test demo screenshots bench format clean fresh-check

deps:
	@scripts/install-deps.sh

# The set-up against a mirror in mid-sync, with apt stubbed.
setup-test:
	@tests/setup/install_deps_test.sh

native: deps
	@$(CMAKE_CONFIGURE) -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build/native -j $(JOBS)

sanitize: deps
	@CC=clang CXX=clang++ $(CMAKE_CONFIGURE) -B build/sanitize -DCMAKE_BUILD_TYPE=Debug \
	  -DVORN_SANITIZE=ON -DVORN_FUZZ=ON >/dev/null
	@cmake --build build/sanitize -j $(JOBS)

# The shipped 32-bit programs and resource libraries of every region; REGION's
# are laid out in build/win32/dist, the others in build/win32/regions/<R>.
win32: deps
	@$(CMAKE_CONFIGURE) -B build/win32 -DCMAKE_BUILD_TYPE=Release -DVORN_REGION=$(REGION) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build build/win32 -j $(JOBS)

# The build the Wine tests run: win32, or win64 where the kernel cannot run
# 32-bit programs (scripts/wine-build.sh decides).
wine-build: win32
	@scripts/wine-build.sh

unit: native
	@cd build/native && ctest --output-on-failure -j $(JOBS)

sanitize-test: sanitize
	@cd build/sanitize && ctest --output-on-failure -j $(JOBS)

fuzz: sanitize
	@mkdir -p build/fuzz-corpus
	@set -o pipefail; build/sanitize/tests/config_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  -print_final_stats=1 build/fuzz-corpus tests/fuzz/corpus 2>&1 | tail -n 4

# The release packages, build/dist/VornOption-<version>-<region>.zip, signed
# when SIGN_PKCS12 and SIGN_PASSWORD_FILE name a certificate and its password
# (SIGN_URL: the studio's web address in the signature; SIGN_TIMESTAMP_URL: a
# time-stamp server); and the proof that another folder builds the same bytes,
# signed and unsigned.
dist: deps
	@SIGN_PKCS12="$(SIGN_PKCS12)" SIGN_PASSWORD_FILE="$(SIGN_PASSWORD_FILE)" SIGN_URL="$(SIGN_URL)" \
	  SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)" scripts/dist.sh

dist-check: deps
	@scripts/dist-check.sh

wine-test: native wine-build dist
	@scripts/wine-tests.sh

# The shipped program's imports, and a program importing bcrypt.dll and
# comctl32.dll refused for both.
imports: win32
	@scripts/check-imports.sh
	@refused=$$(scripts/check-imports.sh build/win32/dist build/win32/e2e/imports_planted.exe | \
	  grep 'not known DLLs'); [[ $$refused == *bcrypt.dll* && $$refused == *comctl32.dll* ]] && \
	  echo "a program importing bcrypt.dll and comctl32.dll is refused for both" || \
	  { echo "check-imports.sh let a program importing bcrypt.dll or comctl32.dll pass"; exit 1; }

test: setup-test unit sanitize-test fuzz imports dist-check wine-test
	@echo "All tests passed."

# Both README commands in a pristine Debian 12 root (needs root).
fresh-check:
	@scripts/fresh-check.sh

demo: wine-build
	@scripts/demo.sh

# The README's pictures in docs/, taken again from the built programs.
screenshots: wine-build
	@scripts/screenshots.sh

# The save against a copy flushed to disk, then the start-up against
# Baseline.exe under Wine (skipped without Wine and the Windows build).
bench: native
	@build/native/bench/config_roundtrip_bench
	@scripts/bench-startup.sh

format:
	@git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | xargs -r clang-format -i

clean:
	@scripts/clean.sh
