#pragma once
// The function numbers of the engine tests' function library (built as WoxTestFunctions into
// the test function directory). Each evaluates over the tree list it is given.

enum ETestFunction : int
{
    TEST_FUNCTION_STEMS = 1,                // number of trees, as an integer value
    TEST_FUNCTION_BASAL_AREA = 2,           // sum of tree basal areas (m2) times trees per hectare, real
    TEST_FUNCTION_MEAN_HEIGHT = 3,          // mean height, real (0 for no trees)
    TEST_FUNCTION_FIRST_SPECIES = 4,        // the first tree's species code as a text the caller frees
    TEST_FUNCTION_FIRST_SPECIES_SHARED = 5, // the same text, borrowed from the enumerator
    TEST_FUNCTION_FIRST_CROWN_RATIO = 6,    // the first tree's crown ratio, real (not a number for no trees)
    TEST_FUNCTION_MAX_DBH = 7,              // largest diameter, real (0 for no trees)
};

// Exports besides "CreateFuncEnum", for tests to watch the enumerators' lifetimes.
typedef int (*PFN_TestFuncEnumCount)();
#define TEST_FUNCTIONS_CREATED "TestFuncEnumCreated"
#define TEST_FUNCTIONS_LIVE "TestFuncEnumLive"
// Makes every enumerator's Initialize answer 0 (non-zero) or 1 (0).
typedef void (*PFN_TestFuncEnumRefuseInitialize)(int bRefuse);
#define TEST_FUNCTIONS_REFUSE_INITIALIZE "TestFuncEnumRefuseInitialize"
