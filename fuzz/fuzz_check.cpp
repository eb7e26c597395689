// A project file through the hand-over into the design checker, as karveno-check runs it.
#include "check/handover.h"
#include "fuzzinput.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"

#include <new>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzing::quietDebugChannels();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const fuzzing::ProjectInput input(data, size);
    if (!input.read.volumsRead)
        return 0;
    const CheckVerdict verdict = checkDesign(input.design, input.registry);
    if (verdict.checked && verdict.line.isEmpty())
        std::abort(); // every check ends with a verdict line
    return 0;
}
