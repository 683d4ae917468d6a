// The fuzz targets' bodies: each takes arbitrary bytes, runs them through one reader of
// outside input and aborts, naming the broken rule, when a promise that reader makes does not
// hold. libFuzzer's entry points and the corpus replay in the test suite both call them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pkivo::fuzz {

// Script bytes through both translation passes and the fixup passes.
void fuzzTranslator(const uint8_t* data, size_t size);
// A reply through every long and short reply decoder, the outcome and the status record.
void fuzzReplies(const uint8_t* data, size_t size);
// params.ovh as stored, loaded as the console loads it at start.
void fuzzSettings(const uint8_t* data, size_t size);
// A flash file's lines through the page line check, the page listing and the range boxes.
void fuzzFlashLine(const uint8_t* data, size_t size);
// Bytes from the line, in timed bursts, through the virtual controller's packet parser.
void fuzzSimParser(const uint8_t* data, size_t size);

// Stops the run with `rule` on stderr when `holds` is false.
void require(bool holds, const char* rule);

struct Target {
    const char* name; // its executable and its corpus folder fuzz/corpus/<name>
    void (*body)(const uint8_t*, size_t);
};

inline constexpr std::array<Target, 5> targets{{
    {"translator", fuzzTranslator},
    {"replies", fuzzReplies},
    {"settings", fuzzSettings},
    {"flashline", fuzzFlashLine},
    {"simparser", fuzzSimParser},
}};

} // namespace pkivo::fuzz
