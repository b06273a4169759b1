// The randomized model test at length: 10 million operations over 100
// seeds. Not part of CI; run it by hand after changing the text engine.
#include <cstdlib>

#include "tests/unit/text/text_model.h"

TEST(TextSoak, TenMillionRandomOperations) {
    const uint64_t kPerSeed = 100000;
    for (uint32_t seed = 1; seed <= 100 && !HasFailure(); ++seed)
        stx::test::RunTextModel(seed * 7919u, kPerSeed, seed % 10 == 0);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
