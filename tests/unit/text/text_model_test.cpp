#include "tests/unit/text/text_model.h"

// Random edits, moves, selections, pastes, conversions and undos applied to
// the editor and to the reference model, compared after every operation.
TEST(TextModel, HundredThousandRandomOperations) {
    stx::test::RunTextModel(20261206, 100000, true);
}
