// libFuzzer's entry point for one target; PKIVO_FUZZ_BODY names its body.
#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pkivo::fuzz::PKIVO_FUZZ_BODY(data, size);
    return 0;
}
